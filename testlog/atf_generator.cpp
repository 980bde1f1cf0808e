#include "testlog/atf_generator.h"

#include <cstring>
#include <string>

#include "app/text_format.h"
#include "testlog/column_legend.h"
#include "testlog/pattern_text.h"
#include "testlog/pin_characters.h"

namespace kvt::testlog::atf {

namespace {

// Collects vector lines ("    NNNN Waveset1 RRRRRRRR :   <pins>; ! <comment>") and comment
// lines; each vector line takes the running vector number.
class AtfText {
 public:
  // A register access takes about 5 KB.
  explicit AtfText(TestLogSettings& settings) : settings_(settings) { text_.reserve(8192); }

  void vector(uint32_t repeat, std::string_view pins, std::string_view comment = {}) {
    text_ += "    ";
    AppendNumber(text_, settings_.vectorNumber++, 4);
    text_ += " Waveset1 ";
    AppendNumber(text_, repeat, 8);
    text_ += " :   ";
    text_ += pins;
    text_ += "; ! ";
    text_ += comment;
    text_ += '\n';
  }
  void comment(std::string_view line) { text_ += line; }
  std::string take() { return std::move(text_); }

 private:
  TestLogSettings& settings_;
  std::string text_;
};

char digit(uint8_t value, int bit) { return static_cast<char>('0' + DrivenBit(value, bit)); }

// --- I2C: the clock is the first DATA character, the data line the first of the next field.

// The pins of one vector, built in place: a long run builds dozens for every access.
struct Pins {
  char text[36];
  operator std::string_view() const { return {text, 35}; }
};

Pins pins(const char (&pattern)[36]) {
  Pins built;
  std::memcpy(built.text, pattern, sizeof built.text);
  return built;
}

Pins i2c(char clock, char data) {
  Pins built = pins("000010 ?UUUUUUU ?11 H1UUUZ 0111 UUX");
  built.text[7] = clock;
  built.text[16] = data;
  return built;
}

void i2cStart(AtfText& out) {
  out.vector(5, i2c('1', '1'));
  out.vector(2, i2c('1', '0'));
  out.vector(2, i2c('0', 'U'));
  out.comment("! ==> end start condition \n");
}

void i2cSlaveAddress(AtfText& out, uint8_t slave) {
  out.vector(5, i2c('0', digit(slave, 6)), "S[6]");
  for (int i = 6; i >= 1; --i) {
    out.vector(2, i2c('1', digit(slave, i)), BitComment('S', i, digit(slave, i)));
    out.vector(10, i2c('0', digit(slave, i - 1)), BitName('S', i - 1));
  }
  out.vector(2, i2c('1', digit(slave, 0)), BitComment('S', 0, digit(slave, 0)));
  out.comment("! ==> end slave address \n");
}

void i2cReadWrite(AtfText& out, int read) {
  const char bit = static_cast<char>('0' + read);
  out.vector(10, i2c('0', bit));
  out.vector(2, i2c('1', bit));
  out.comment("! ==> end R/NW condition \n");
}

void i2cAcknowledge(AtfText& out) {
  out.vector(4, i2c('0', 'U'));
  out.vector(2, i2c('1', 'L'));
  out.vector(4, i2c('0', 'U'));
  out.comment("! ==> end ACK/NACK condition \n");
}

// Eight bits, most significant first; `name` is "A" (register address) or "D" (data).
void i2cByte(AtfText& out, char name, uint8_t value, std::string_view closing) {
  out.vector(2, i2c('0', digit(value, 7)), BitName(name, 7));
  for (int i = 7; i >= 1; --i) {
    out.vector(2, i2c('1', digit(value, i)), BitComment(name, i, digit(value, i)));
    out.vector(10, i2c('0', digit(value, i - 1)), BitName(name, i - 1));
  }
  out.vector(2, i2c('1', digit(value, 0)), BitComment(name, 0, digit(value, 0)));
  out.comment(closing);
}

void i2cReadData(AtfText& out, uint8_t expected, uint8_t mask) {
  out.vector(2, i2c('0', 'U'));
  for (int i = 7; i >= 1; --i) {
    const char bit = CheckedBit(expected, mask, i, 'U');
    out.vector(2, i2c('1', bit), BitComment('D', i, bit));
    out.vector(10, i2c('0', 'U'));
  }
  const char bit0 = CheckedBit(expected, mask, 0, 'U');
  out.vector(2, i2c('1', bit0), BitComment('D', 0, bit0));
  out.comment("! ==> end write data \n");
}

void i2cStop(AtfText& out, std::string_view comment) {
  out.vector(2, i2c('1', '0'));
  out.vector(5, i2c('1', '1'));
  out.vector(2, i2c('1', 'U'), std::string(comment) + " ");
  out.comment("! ==> end stop condition \n");
}

// --- SPI: DATA starts with the chip's serial output, serial input and clock; the chip select
// is the first character of the next field.

Pins spi(char out, char in, char clock, char select) {
  Pins built = pins("000001 ???ZZZZZ ?11 H1UUUZ 0111 UUX");
  built.text[7] = out;
  built.text[8] = in;
  built.text[9] = clock;
  built.text[16] = select;
  return built;
}

void spiSelect(AtfText& out) {
  out.vector(1, spi('U', 'Z', '0', '1'));
  out.vector(1, spi('Z', 'Z', '0', '0'));
  out.comment("! ==> end NSS Start \n");
}

void spiReadWrite(AtfText& out, int read) {
  const char bit = static_cast<char>('0' + read);
  out.vector(1, spi('U', bit, '0', '0'));
  out.vector(1, spi('U', bit, '1', '0'));
  out.comment("! ==> end R/NW condition \n");
}

// Drives bits topBit..0 of `value` on MOSI, each as a clock-low and a clock-high vector.
void spiDrivenBits(AtfText& out, char name, uint8_t value, int topBit, const char* endComment) {
  for (int i = topBit; i >= 0; --i) {
    out.vector(1, spi('U', digit(value, i), '0', '0'), BitName(name, i));
    out.vector(1, spi('U', digit(value, i), '1', '0'), BitComment(name, i, digit(value, i)));
  }
  out.comment(endComment);
}

void spiAddress(AtfText& out, uint8_t address) {
  spiDrivenBits(out, 'A', address, 5, "! ==> end write address \n");
}

void spiReserved(AtfText& out) {
  out.vector(1, spi('U', '0', '0', '0'));
  out.vector(1, spi('U', '0', '1', '0'));
  out.comment("! ==> end RFU condition \n");
}

void spiWriteData(AtfText& out, uint8_t data) {
  spiDrivenBits(out, 'D', data, 7, "! ==> end write data \n");
}

void spiReadData(AtfText& out, uint8_t expected, uint8_t mask) {
  for (int i = 7; i >= 0; --i) {
    const char bit = CheckedBit(expected, mask, i, 'U');
    out.vector(1, spi('U', '0', '0', '0'), BitName('D', i));
    out.vector(1, spi(bit, '0', '1', '0'), BitComment('D', i, bit));
  }
  out.comment("! ==> end read data with check \n");
}

void spiDeselect(AtfText& out, std::string_view comment) {
  out.vector(1, spi('U', 'Z', '0', '1'));
  out.vector(1, spi('Z', 'Z', '0', '1'), comment);
  out.comment("! ==> end NSS End \n");
}

// Start, the slave address for a write and the register address, each acknowledged: how both
// a write and a read begin.
void i2cWriteAddress(AtfText& out, uint8_t slave, uint8_t address) {
  i2cStart(out);
  i2cSlaveAddress(out, slave);
  i2cReadWrite(out, 0);
  i2cAcknowledge(out);
  i2cByte(out, 'A', address, "! ==> end write address \n");
  i2cAcknowledge(out);
}

}  // namespace

std::string I2cWrite(TestLogSettings& settings, uint8_t address, uint8_t data,
                     std::string_view comment) {
  AtfText out(settings);
  i2cWriteAddress(out, settings.i2cAddress, address);
  i2cByte(out, 'D', data, "! ==> end write data \n");
  i2cAcknowledge(out);
  i2cStop(out, comment);
  return out.take();
}

std::string I2cRead(TestLogSettings& settings, uint8_t address, uint8_t expected, uint8_t mask,
                    std::string_view comment) {
  AtfText out(settings);
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

std::string I2cSleep(TestLogSettings& settings, uint32_t cycles, std::string_view comment) {
  AtfText out(settings);
  out.vector(cycles, i2c('U', 'U'), std::string(comment) + " ");
  return out.take();
}

std::string SpiWrite(TestLogSettings& settings, uint8_t address, uint8_t data,
                     std::string_view comment) {
  AtfText out(settings);
  spiSelect(out);
  spiReadWrite(out, 0);
  spiAddress(out, address);
  spiReserved(out);
  spiWriteData(out, data);
  spiDeselect(out, comment);
  return out.take();
}

std::string SpiRead(TestLogSettings& settings, uint8_t address, uint8_t expected, uint8_t mask,
                    std::string_view comment) {
  AtfText out(settings);
  spiSelect(out);
  spiReadWrite(out, 1);
  spiAddress(out, address);
  spiReserved(out);
  spiReadData(out, expected, mask);
  spiDeselect(out, comment);
  return out.take();
}

std::string SpiSleep(TestLogSettings& settings, uint32_t cycles, std::string_view comment) {
  AtfText out(settings);
  out.vector(cycles, spi('Z', 'Z', '0', 'U'), comment);
  return out.take();
}

std::string DefaultHeader(TestLogSettings& settings, std::string_view timeText) {
  AtfText out(settings);
  out.comment("\n\n!No file found! Default header used!\n");
  out.comment("!Logging started: ");
  out.comment(timeText);
  for (const char* legend : kColumnLegend) {
    out.comment("!");
    out.comment(legend);
  }
  out.comment("PATTERN DEFINITION;\n");
  const uint8_t slave = settings.i2cAddress;
  if (settings.interface == kInterfaceI2C) {
    out.vector(120, "000000 ZZZZZZZZ 111 U1UUUZ 0001 UUX");
    std::string address = "000010 H";
    for (int i = 6; i >= 0; --i) address += digit(slave, i);
    out.vector(1, address + " H11 U1UUUZ 0001 UUX", "I2C Address");
    out.vector(1, "000010 H0011010 H11 U1UUUZ 0101 UUX");
    out.vector(120, "000010 HZZZZZZZ H11 H1UUUZ 0111 UUX", " ==> Header finished ");
  } else if (settings.interface == kInterfaceSPI) {
    out.vector(120, "000000 ZZZZZZZZ 111 U1UUUZ 0001 UUX");
    out.vector(1, "000001 UZ0ZZZZZ 111 H1UUUZ 0001 UUX");
    out.vector(1, "000001 UZ0ZZZZZ 111 H1UUUZ 0101 UUX");
    out.vector(120, "000001 ZZ0ZZZZZ 111 H1UUUZ 0111 UUX", " ==> Header finished ");
  }
  return out.take();
}

}  // namespace kvt::testlog::atf
