// The pattern text as the writers built it before they stopped using printf: kept here only as
// the "before" peer of the pattern writer benchmark (I2C register writes of both formats).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/text_format.h"
#include "testlog/pin_characters.h"
#include "testlog/test_log_settings.h"

namespace kvt::bench::before {

using testlog::DrivenBit;
using testlog::TestLogSettings;

inline char digit(uint8_t value, int bit) { return static_cast<char>('0' + DrivenBit(value, bit)); }

namespace atf {

class AtfText {
 public:
  explicit AtfText(TestLogSettings& settings) : settings_(settings) {}
  void vector(uint32_t repeat, const std::string& pins, std::string_view comment = {}) {
    text_ += app::Format("    %4u Waveset1 %8u :   %s; ! ", settings_.vectorNumber++, repeat,
                         pins.c_str());
    text_ += comment;
    text_ += '\n';
  }
  void comment(std::string_view line) { text_ += line; }
  std::string take() { return std::move(text_); }

 private:
  TestLogSettings& settings_;
  std::string text_;
};

inline std::string i2c(char clock, char data) {
  return std::string("000010 ") + clock + "UUUUUUU " + data + "11 H1UUUZ 0111 UUX";
}

inline void i2cByte(AtfText& out, char name, uint8_t value, std::string_view closing) {
  out.vector(2, i2c('0', digit(value, 7)), app::Format("%c[7]", name));
  for (int i = 7; i >= 1; --i) {
    out.vector(2, i2c('1', digit(value, i)),
               app::Format("%c[%d] : %d", name, i, DrivenBit(value, i)));
    out.vector(10, i2c('0', digit(value, i - 1)), app::Format("%c[%d]", name, i - 1));
  }
  out.vector(2, i2c('1', digit(value, 0)), app::Format("%c[0] : %d", name, DrivenBit(value, 0)));
  out.comment(closing);
}

inline void i2cAcknowledge(AtfText& out) {
  out.vector(4, i2c('0', 'U'));
  out.vector(2, i2c('1', 'L'));
  out.vector(4, i2c('0', 'U'));
  out.comment("! ==> end ACK/NACK condition \n");
}

inline std::string I2cWrite(TestLogSettings& settings, uint8_t address, uint8_t data,
                            std::string_view comment) {
  AtfText out(settings);
  out.vector(5, i2c('1', '1'));
  out.vector(2, i2c('1', '0'));
  out.vector(2, i2c('0', 'U'));
  out.comment("! ==> end start condition \n");
  const uint8_t slave = settings.i2cAddress;
  out.vector(5, i2c('0', digit(slave, 6)), "S[6]");
  for (int i = 6; i >= 1; --i) {
    out.vector(2, i2c('1', digit(slave, i)), app::Format("S[%d] : %d", i, DrivenBit(slave, i)));
    out.vector(10, i2c('0', digit(slave, i - 1)), app::Format("S[%d]", i - 1));
  }
  out.vector(2, i2c('1', digit(slave, 0)), app::Format("S[0] : %d", DrivenBit(slave, 0)));
  out.comment("! ==> end slave address \n");
  out.vector(10, i2c('0', '0'));
  out.vector(2, i2c('1', '0'));
  out.comment("! ==> end R/NW condition \n");
  i2cAcknowledge(out);
  i2cByte(out, 'A', address, "! ==> end write address \n");
  i2cAcknowledge(out);
  i2cByte(out, 'D', data, "! ==> end write data \n");
  i2cAcknowledge(out);
  out.vector(2, i2c('1', '0'));
  out.vector(5, i2c('1', '1'));
  out.vector(2, i2c('1', 'U'), std::string(comment) + " ");
  out.comment("! ==> end stop condition \n");
  return out.take();
}

}  // namespace atf

namespace atp {

class AtpText {
 public:
  void vector(std::string_view label, const std::string& fields, std::string_view comment = {}) {
    text_ += app::Format("           > %-16.*s %s; // ", static_cast<int>(label.size()),
                         label.data(), fields.c_str());
    text_ += comment;
    text_ += '\n';
  }
  void line(std::string_view text) { text_ += text; }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

inline std::string i2c(char data) {
  return std::string("------ 1------- ") + data + "-- ------ ---- ---";
}

inline void i2cAcknowledge(AtpText& out) {
  out.vector("i2c_ack", i2c('L'), "ACK/NACK ");
  out.line("// ==> end ACK/NACK condition \n");
}

inline void i2cByte(AtpText& out, char name, std::string_view label, uint8_t value,
                    std::string_view closing) {
  out.vector(label, i2c(digit(value, 7)), app::Format("%c[7] : %d ", name, DrivenBit(value, 7)));
  for (int i = 6; i >= 0; --i) {
    out.vector("-", i2c(digit(value, i)),
               app::Format("%c[%d] : %d ", name, i, DrivenBit(value, i)));
  }
  out.line(closing);
}

inline std::string I2cWrite(const TestLogSettings& settings, uint8_t address, uint8_t data,
                            std::string_view comment) {
  AtpText out;
  out.vector("i2c_sta", i2c('0'), "Start condition");
  out.line("// ==> end start condition \n");
  const uint8_t slave = settings.i2cAddress;
  out.vector("i2c_slv", i2c(digit(slave, 6)), app::Format("S[6] : %d", DrivenBit(slave, 6)));
  for (int i = 5; i >= 0; --i) {
    out.vector("-", i2c(digit(slave, i)), app::Format("S[%d] : %d", i, DrivenBit(slave, i)));
  }
  out.line("// ==> end slave address \n");
  out.vector("-", i2c('0'), "R/W ");
  out.line("// ==> end R/NW condition \n");
  i2cAcknowledge(out);
  i2cByte(out, 'A', "i2c_adr", address, "// ==> end write address \n");
  i2cAcknowledge(out);
  i2cByte(out, 'D', "i2c_data", data, "// ==> end write data \n");
  i2cAcknowledge(out);
  out.vector("i2c_stop", i2c('0'), "STOP:  " + std::string(comment) + " ");
  out.line("// ==> end stop condition \n");
  return out.take();
}

}  // namespace atp

}  // namespace kvt::bench::before
