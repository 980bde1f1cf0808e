#include "app/serial_ports.h"

#include <gtest/gtest.h>

#include "app_fixture.h"
#include "chip/registers.h"

namespace kvt::app {
namespace {

using SerialPortsTest = test::AppFixture;

// Opening, closing and the speeds are checked by the main_window_* files of tests/app/dialogs.
TEST_F(SerialPortsTest, PurgeAndLineSettingsActOnlyOnAnOpenPort) {
  PurgePort(context);  // nothing open: nothing happens
  EXPECT_FALSE(SetLineSettings(context, 9600));
  connectScriptedPort();
  OpenPort(context);
  PurgePort(context);
  EXPECT_EQ(scripted->purges(), 2);  // the open's and this one
  EXPECT_TRUE(SetLineSettings(context, 57600));
  EXPECT_EQ(scripted->rate(), 57600u);
}

}  // namespace
}  // namespace kvt::app
