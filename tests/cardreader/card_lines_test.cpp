// The select line of odd answers.
#include "cardreader/card_lines.h"

#include <gtest/gtest.h>

#include <array>

namespace kvt::cardreader {
namespace {

TEST(CardLinesTest, SelectWithAnUnusualBitCountIsAFailedStep) {
  std::array<uint8_t, 12> serial{};
  serial.fill(0x5A);
  EXPECT_EQ(AnticollisionSelectLine(40, 0x08, serial, 0x0004),
            "Anticollision/Select(0x93, 0x00, 0x00000000) --> Status: 0x0004");
}

}  // namespace
}  // namespace kvt::cardreader
