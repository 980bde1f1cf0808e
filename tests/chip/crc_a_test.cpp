#include "chip/crc_a.h"

#include <gtest/gtest.h>

namespace kvt::chip {
namespace {

TEST(CrcATest, KnownFrames) {
  struct Case {
    std::vector<uint8_t> data;
    uint16_t crc;
  };
  const Case cases[] = {
      {{0x30, 0x04}, 0xEE26},                          // READ block 4: frame 30 04 26 EE
      {{0x50, 0x00}, 0xCD57},                          // HLTA: 50 00 57 CD
      {{0x00, 0x00}, 0x1EA0}, {{0x12, 0x34}, 0xCF26},  // the worked example of ISO/IEC 14443-3
      {{}, 0x6363},
  };
  for (const auto& c : cases) EXPECT_EQ(crcA(c.data.data(), c.data.size()), c.crc);
}

}  // namespace
}  // namespace kvt::chip
