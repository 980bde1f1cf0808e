#include "app/serial_ports.h"

#include <gtest/gtest.h>

#include "app_fixture.h"
#include "chip/registers.h"

namespace kvt::app {
namespace {

using SerialPortsTest = test::AppFixture;

TEST_F(SerialPortsTest, OpenAndCloseSwitchThePortAndTheBus) {
  app.portIndex = 3;
  connectSimulatedChip("COM4:");
  OpenPort(context);
  ASSERT_NE(app.port, nullptr);
  platform::SerialPort* first = app.port;
  OpenPort(context);  // a repeated open keeps the port it holds
  EXPECT_EQ(app.port, first);
  EXPECT_EQ(opener.opened, std::vector<std::string>{"COM4:"});
  EXPECT_EQ(serialBus.port(), app.port);
  EXPECT_EQ(main.text(id::HostSpeed), "9600");
  EXPECT_EQ(simulatedPort()->hostRate(), 9600u);
  EXPECT_EQ(logText(), "");

  SetHostSpeed115200(context);
  ClosePort(context);
  EXPECT_EQ(app.port, nullptr);
  EXPECT_EQ(app.openPort, nullptr);
  EXPECT_EQ(serialBus.port(), nullptr);
  EXPECT_EQ(main.text(id::HostSpeed), "9600");
  EXPECT_EQ(app.baudIndex, 0);
  // A register access while closed fails and reaches nothing.
  chip::RegisterParams params{0x01, 0x3F, nullptr};
  EXPECT_EQ(registerControl.SetRegister(&params), chip::status::SerialInterface);
  EXPECT_NE(chip.peek(0x01), 0x3F);
}

TEST_F(SerialPortsTest, AMissingDeviceLogsTheErrorAndLeavesTheWindowAlone) {
  ShowPortState(main, false);
  main.setText(id::OpenClosed, "C");
  const auto before = main;
  OpenPort(context);
  EXPECT_EQ(logText(), "Error opening port - Check and verify (!) settings.\r\n");
  EXPECT_EQ(app.port, nullptr);
  EXPECT_EQ(main.enabled, before.enabled);
  auto texts = main.texts;
  texts.erase(id::LogPane);
  EXPECT_EQ(texts, before.texts);
  EXPECT_EQ(main.focus, before.focus);
}

TEST_F(SerialPortsTest, AllTo115kbpsMovesChipAndPcTogether) {
  connectSimulatedChip();
  OpenPort(context);
  SwitchAllTo115200(context);
  EXPECT_EQ(logText(), "");
  EXPECT_EQ(main.text(id::HostSpeed), "115200");
  EXPECT_EQ(app.baudIndex, 2);
  EXPECT_EQ(simulatedPort()->hostRate(), 115200u);
  EXPECT_EQ(chip.lineRate(), 115200u);
  chip::RegisterParams params{0x3F, 0x5A, nullptr};
  EXPECT_EQ(registerControl.SetRegister(&params), chip::status::Success);

  // Close and reopen: the PC is back at 9600, the chip stays at 115200.
  ClosePort(context);
  OpenPort(context);
  EXPECT_EQ(main.text(id::HostSpeed), "9600");
  EXPECT_EQ(chip.lineRate(), 115200u);
  EXPECT_NE(registerControl.SetRegister(&params), chip::status::Success);
}

TEST_F(SerialPortsTest, AllTo115kbpsOnASilentChipLogsTheStatusAndKeepsTheHostSpeed) {
  connectScriptedPort();
  OpenPort(context);
  SwitchAllTo115200(context);
  EXPECT_EQ(logText(), "Error: STKSTATUS 0x0104 attempting to change Sarvel config!\r\n");
  EXPECT_EQ(main.text(id::HostSpeed), "9600");
  EXPECT_EQ(app.baudIndex, 0);
  EXPECT_EQ(scripted->rate(), 9600u);
  // The write went out: the serial speed register's address, then the 115200 value.
  EXPECT_EQ(scripted->written(), (std::vector<uint8_t>{chip::reg::SerialSpeed, 0x79}));
}

TEST_F(SerialPortsTest, HostSpeedPurgeAndLineSettingsActOnlyOnThePcSideOfAnOpenPort) {
  PurgePort(context);  // nothing open: nothing happens
  EXPECT_FALSE(SetLineSettings(context, 9600));
  connectScriptedPort();
  OpenPort(context);
  EXPECT_EQ(scripted->purges(), 1) << "a stale byte must not answer the first read";
  SetHostSpeed115200(context);
  EXPECT_EQ(main.text(id::HostSpeed), "115200");
  EXPECT_EQ(app.baudIndex, 2);
  EXPECT_EQ(scripted->rate(), 115200u);
  SetHostSpeed9600(context);
  EXPECT_EQ(main.text(id::HostSpeed), "9600");
  EXPECT_EQ(app.baudIndex, 0);
  EXPECT_EQ(scripted->rate(), 9600u);
  EXPECT_TRUE(scripted->written().empty());
  PurgePort(context);
  EXPECT_EQ(scripted->purges(), 2);
  EXPECT_TRUE(SetLineSettings(context, 57600));
  EXPECT_EQ(scripted->rate(), 57600u);
}

}  // namespace
}  // namespace kvt::app
