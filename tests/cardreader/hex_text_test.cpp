// Byte data to and from the text of the card reader's fields, and the result line shapes.
#include "cardreader/hex_text.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "cardreader/card_lines.h"

namespace kvt::cardreader {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(HexTextTest, PairsReadAsHexUntilTheFirstNonDigit) {
  const struct {
    std::string text;
    Bytes bytes;
  } cases[] = {
      {"5A17C3", {0x5A, 0x17, 0xC3}},
      {"5a17c3", {0x5A, 0x17, 0xC3}},  // lower case is hex too
      {"1G2 x3", {0x01, 0x02, 0x00}},  // a non-digit ends its pair, a leading one gives 0
      {"-1+2 3", {0x00, 0x00, 0x00}},  // no signs, no blanks: garbage never turns into bytes
      {"123", {0x12, 0x30, 0x00}},     // missing digits count as zeros
      {"", {0x00, 0x00, 0x00}},
      {"FFEEDDCC", {0xFF, 0xEE, 0xDD}},  // text beyond the bytes is not read
  };
  for (const auto& c : cases) {
    Bytes out(3, 0xAB);
    HexTextToBytes(c.text, out);
    EXPECT_EQ(out, c.bytes) << c.text;
  }
}

TEST(HexTextTest, BytesPrintAsUpperCasePairs) {
  EXPECT_EQ(BytesToHex(Bytes{0x00, 0x0A, 0xBC, 0xFF}), "000ABCFF");
  EXPECT_EQ(BytesToHex(Bytes{}), "");
}

TEST(CardLinesTest, SelectLineFollowsTheKnownBits) {
  std::array<uint8_t, 12> serial{};
  for (int i = 0; i < 12; ++i) serial[i] = static_cast<uint8_t>(0x10 + i);
  EXPECT_EQ(AnticollisionSelectLine(32, 0x08, serial, 0),
            "Anticollision/Select(0x93, 0x08, 0x10111213) --> Status: 0x0000");
  EXPECT_EQ(AnticollisionSelectLine(64, 0x20, serial, 0),
            "Anticollision/Select(0x93, 0x20, 0x11121314151617) --> Status: 0x0000");
  EXPECT_EQ(AnticollisionSelectLine(96, 0x28, serial, 0),
            "Anticollision/Select(0x93, 0x28, 0x11121315161718191A1B) --> Status: 0x0000");
  // Anything else is a failed step: SAK and serial number show as zeros.
  EXPECT_EQ(AnticollisionSelectLine(0, 0x08, serial, 0x0501),
            "Anticollision/Select(0x93, 0x00, 0x00000000) --> Status: 0x0501");
  EXPECT_EQ(AnticollisionSelectLine(40, 0x08, serial, 0x0004),
            "Anticollision/Select(0x93, 0x00, 0x00000000) --> Status: 0x0004");
}

TEST(CardLinesTest, TimerRefusalLineKeepsItsShape) {
  EXPECT_EQ(TimerErrorLine(0x0101), "Timeout Setting Errornous(Status: 0x0101");
  EXPECT_EQ(HaltLine(0x0007), "Halt(0x50, 0x00) --> Status: 0x0007");
}

}  // namespace
}  // namespace kvt::cardreader
