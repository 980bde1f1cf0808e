#include "platform/port_name.h"

#include <gtest/gtest.h>

namespace kvt::platform {
namespace {

TEST(PortNameIndex, AcceptsOnlyTheEightNames) {
  EXPECT_EQ(PortNameIndex("COM1:"), 0);
  EXPECT_EQ(PortNameIndex("COM8:"), 7);
  for (const char* name : {"COM9:", "COM0:", "COM1", "com1:"}) {
    EXPECT_EQ(PortNameIndex(name), -1) << name;
  }
}

TEST(PortNameIndex, ALooseNameMayLackItsColonAndComeInAnyCase) {
  for (const char* name : {"COM3", "com3:", "Com3"}) {
    EXPECT_EQ(PortNameIndex(name, PortNameSpelling::Loose), 2) << name;
  }
  EXPECT_EQ(PortNameIndex("COM8", PortNameSpelling::Loose), 7);
  for (const char* name : {"COM9", "COM", "COM12", "/dev/ttyUSB0", "sim", "xom3"}) {
    EXPECT_EQ(PortNameIndex(name, PortNameSpelling::Loose), -1) << name;
  }
}

}  // namespace
}  // namespace kvt::platform
