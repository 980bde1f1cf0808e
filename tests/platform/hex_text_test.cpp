// Byte data from the text of the card reader's fields.
#include "platform/hex_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvt::platform {
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

}  // namespace
}  // namespace kvt::platform
