#include "testlog/atp_generator.h"

#include <cstring>
#include <string>

#include "app/text_format.h"
#include "testlog/column_legend.h"
#include "testlog/pattern_text.h"
#include "testlog/pin_characters.h"

namespace kvt::testlog::atp {

namespace {

// Collects vector statements ("           > <label, 16 wide> <fields>; // <comment>") and
// other lines.
class AtpText {
 public:
  AtpText() { text_.reserve(4096); }  // a register access takes about 2 KB
  void vector(std::string_view label, std::string_view fields, std::string_view comment = {}) {
    text_ += "           > ";
    AppendPadded(text_, label, 16);
    text_ += ' ';
    text_ += fields;
    text_ += "; // ";
    text_ += comment;
    text_ += '\n';
  }
  void line(std::string_view text) { text_ += text; }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

char digit(uint8_t value, int bit) { return static_cast<char>('0' + DrivenBit(value, bit)); }

// --- I2C: only the data line (first character of the three-character field) varies.

// The fields of one vector, built in place: a long run builds dozens for every access.
struct Fields {
  char text[36];
  operator std::string_view() const { return {text, 35}; }
};

Fields fields(const char (&pattern)[36]) {
  Fields built;
  std::memcpy(built.text, pattern, sizeof built.text);
  return built;
}

Fields i2c(char data) {
  Fields built = fields("------ 1------- ?-- ------ ---- ---");
  built.text[16] = data;
  return built;
}

void i2cStart(AtpText& out) {
  out.vector("i2c_sta", i2c('0'), "Start condition");
  out.line("// ==> end start condition \n");
}

void i2cSlaveAddress(AtpText& out, uint8_t slave) {
  out.vector("i2c_slv", i2c(digit(slave, 6)), BitComment('S', 6, digit(slave, 6)));
  for (int i = 5; i >= 0; --i) {
    out.vector("-", i2c(digit(slave, i)), BitComment('S', i, digit(slave, i)));
  }
  out.line("// ==> end slave address \n");
}

void i2cReadWrite(AtpText& out, int read) {
  out.vector("-", i2c(static_cast<char>('0' + read)), "R/W ");
  out.line("// ==> end R/NW condition \n");
}

void i2cAcknowledge(AtpText& out) {
  out.vector("i2c_ack", i2c('L'), "ACK/NACK ");
  out.line("// ==> end ACK/NACK condition \n");
}

// Eight bits, most significant first: the register address ("A", label "i2c_adr") or the data
// ("D", label "i2c_data").
void i2cByte(AtpText& out, char name, std::string_view label, uint8_t value,
             std::string_view closing) {
  out.vector(label, i2c(digit(value, 7)), BitComment(name, 7, digit(value, 7)) + " ");
  for (int i = 6; i >= 0; --i) {
    out.vector("-", i2c(digit(value, i)), BitComment(name, i, digit(value, i)) + " ");
  }
  out.line(closing);
}

void i2cReadData(AtpText& out, uint8_t expected, uint8_t mask) {
  const char bit7 = CheckedBit(expected, mask, 7, 'X');
  out.vector("i2c_data", i2c(bit7), BitComment('D', 7, bit7) + " ");
  for (int i = 6; i >= 0; --i) {
    const char bit = CheckedBit(expected, mask, i, 'X');
    out.vector("i2c_data", i2c(bit), BitComment('D', i, bit) + " ");
  }
  out.line("// ==> end write data \n");
}

void i2cStop(AtpText& out, std::string_view comment) {
  out.vector("i2c_stop", i2c('0'), "STOP:  " + std::string(comment) + " ");
  out.line("// ==> end stop condition \n");
}

// --- SPI: DATA starts with the chip's serial output, the serial input and the clock.

Fields spi(char out, char in) {
  Fields built = fields("------ ??1ZZZZZ 011 UUUUUZ 0111 UUX");
  built.text[7] = out;
  built.text[8] = in;
  return built;
}

void spiReadWrite(AtpText& out, int read) {
  out.vector("", spi('U', static_cast<char>('0' + read)), "R/W");
  out.line("// ==> end R/NW condition \n");
}

void spiAddress(AtpText& out, uint8_t address) {
  out.vector("spi_adr", spi('U', digit(address, 5)), BitComment('A', 5, digit(address, 5)));
  for (int i = 4; i >= 0; --i) {
    out.vector("", spi('U', digit(address, i)), BitComment('A', i, digit(address, i)));
  }
  out.line("// ==> end write address \n");
}

void spiReserved(AtpText& out) {
  out.vector("", spi('U', '0'), "RFU");
  out.line("// ==> end RFU condition \n");
}

void spiWriteData(AtpText& out, uint8_t data, std::string_view comment) {
  out.vector("spi_data", spi('U', digit(data, 7)), BitComment('D', 7, digit(data, 7)));
  for (int i = 6; i >= 0; --i) {
    out.vector("", spi('U', digit(data, i)),
               BitComment('D', i, digit(data, i)) + " : " +
                   std::string(i == 0 ? comment : std::string_view()));
  }
  out.line("// ==> end write data \n");
}

void spiReadData(AtpText& out, uint8_t expected, uint8_t mask, std::string_view comment) {
  const char bit7 = CheckedBit(expected, mask, 7, 'U');
  out.vector("spi_data", spi(bit7, '1'), BitComment('D', 7, bit7));
  for (int i = 6; i >= 0; --i) {
    const char bit = CheckedBit(expected, mask, i, 'U');
    out.vector(
        "spi_data", spi(bit, '1'),
        BitComment('D', i, bit) + " : " + std::string(i == 0 ? comment : std::string_view()));
  }
  out.line("// ==> end read data with check \n");
}

// Start, the slave address for a write and the register address, each acknowledged: how both
// a write and a read begin.
void i2cWriteAddress(AtpText& out, uint8_t slave, uint8_t address) {
  i2cStart(out);
  i2cSlaveAddress(out, slave);
  i2cReadWrite(out, 0);
  i2cAcknowledge(out);
  i2cByte(out, 'A', "i2c_adr", address, "// ==> end write address \n");
  i2cAcknowledge(out);
}

}  // namespace

std::string I2cWrite(const TestLogSettings& settings, uint8_t address, uint8_t data,
                     std::string_view comment) {
  AtpText out;
  i2cWriteAddress(out, settings.i2cAddress, address);
  i2cByte(out, 'D', "i2c_data", data, "// ==> end write data \n");
  i2cAcknowledge(out);
  i2cStop(out, comment);
  return out.take();
}

std::string I2cRead(const TestLogSettings& settings, uint8_t address, uint8_t expected,
                    uint8_t mask, std::string_view comment) {
  AtpText out;
  i2cWriteAddress(out, settings.i2cAddress, address);
  i2cStart(out);
  i2cSlaveAddress(out, settings.i2cAddress);
  i2cReadWrite(out, 1);
  i2cAcknowledge(out);
  i2cReadData(out, expected, mask);
  i2cAcknowledge(out);
  i2cStop(out, comment);
  return out.take();
}

std::string I2cSleep(const TestLogSettings&, uint32_t cycles, std::string_view comment) {
  AtpText out;
  out.vector("", "------ UUUUUUUU U-- ------ ---- ---");
  out.line(app::Format("repeat %8u > - ; // Sleep: ", cycles));
  out.line(comment);
  out.line("\n");
  return out.take();
}

std::string SpiWrite(const TestLogSettings&, uint8_t address, uint8_t data,
                     std::string_view comment) {
  AtpText out;
  spiReadWrite(out, 0);
  spiAddress(out, address);
  spiReserved(out);
  spiWriteData(out, data, comment);
  return out.take();
}

std::string SpiRead(const TestLogSettings&, uint8_t address, uint8_t expected, uint8_t mask,
                    std::string_view comment) {
  AtpText out;
  spiReadWrite(out, 1);
  spiAddress(out, address);
  spiReserved(out);
  spiReadData(out, expected, mask, comment);
  return out.take();
}

std::string SpiSleep(const TestLogSettings&, uint32_t cycles, std::string_view comment) {
  AtpText out;
  out.vector("", spi('U', '1'), "Sleep : " + std::string(comment));
  out.line(app::Format("repeat %8u > - ; // Sleep\n", cycles));
  return out.take();
}

std::string DefaultHeader(const TestLogSettings& settings, std::string_view timeText) {
  AtpText out;
  out.line("\n\n//No file found! Default header used!\n");
  out.line("//Logging started: ");
  out.line(timeText);
  for (const char* legend : kColumnLegend) {
    out.line("//");
    out.line(legend);
  }
  if (settings.interface == kInterfaceI2C) {
    out.line("global func_i2c_glvb:\n");
    out.vector("i2c_setup", "000000 ZZZZZZZZ 111 U1UUUZ 0001 UUX");
    out.line("repeat 119 > - ; \n");
    std::string address = "000010 H";
    for (int i = 6; i >= 0; --i) address += digit(settings.i2cAddress, i);
    out.vector("-", address + " H11 U1UUUZ 0001 UUX", "Address ");
  } else if (settings.interface == kInterfaceSPI) {
    out.line("global func_spi_glvb:\n");
    out.vector("spi_setup", "000000 ZZZZZZZZ 111 U1UUUZ 0001 UUX");
    out.line("repeat 119 > - ; \n");
    out.vector("-", "000001 ZZ0ZZZZZ 111 U1UUUZ 0001 UUX");
  }
  out.vector("-", "------ -0011010 --- U----- 0101 ---");
  out.vector("-", "------ -ZZZZZZZ --- ------ 0111 ---");
  out.line("repeat 119 > - ; ");
  out.line(" ==> Header finished ");
  out.line(" \n");
  return out.take();
}

}  // namespace kvt::testlog::atp
