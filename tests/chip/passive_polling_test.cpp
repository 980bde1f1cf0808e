#include "chip/passive_polling.h"

#include <gtest/gtest.h>

#include "chip/serial_bus.h"
#include "support/register_script.h"
#include "support/scripted_port.h"

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;

class PassivePollingTest : public ::testing::Test {
 protected:
  PassivePollingTest() : script(port) {
    bus.setPort(&port);
    control.Init(&bus);
    polling.Init(&control, 1);
  }

  test::ScriptedPort port;
  test::RegisterScript script;
  SerialBus bus;
  RegisterControl control;
  PassivePolling polling;
};

// The whole traffic of a poll, byte for byte. The FIFO holds an 18-byte frame cut off before
// the chip's status byte: such a frame is not trusted.
TEST_F(PassivePollingTest, FrameWithoutItsStatusByteIsDropped) {
  Bytes fifo(18, 0x33);
  fifo[0] = 18;
  fifo[1] = 0x01;
  script.modify(0x13, 0x82, 0x04, true);  // several frames per reception
  script.read(0x01, 0x00).write(0x01, 0x0C);
  script.write(0x04, 0x01).write(0x05, 0x00).write(0x0A, 0x80);
  script.read(0x02, 0x00).write(0x02, 0x63).read(0x03, 0x00).write(0x03, 0x00);
  script.writeEach(0x09, {0x06, 0x00, 0xFF, 0xFF, 0x00, 0x00});
  script.modify(0x0D, 0x00, 0x80, true);
  script.read(0x04, 0x20).read(0x05, 0x00);  // answers arrive, the timer still runs
  script.read(0x04, 0x61).read(0x05, 0x00);  // the timer expires
  script.modify(0x02, 0x63, 0x63, false).modify(0x03, 0x00, 0x00, false);
  script.read(0x0A, 18).read(0x0C, 0x00).read(0x06, 0x00).readEach(0x09, fifo);
  script.write(0x04, 0x01).write(0x05, 0x00).write(0x0A, 0x80).write(0x04, 0x01);
  script.modify(0x13, 0x86, 0x04, false).write(0x04, 0x20);
  const Bytes request{0xFF, 0xFF, 0x00, 0x00};
  uint8_t response[64] = {};
  PollingParams p{request.data(), 4, response, sizeof response, nullptr};
  EXPECT_EQ(polling.Poll(&p), status::Timeout);
  EXPECT_EQ(p.responseLength, 0);
  EXPECT_EQ(port.written(), script.expected());
}

TEST_F(PassivePollingTest, TargetModeHandsTheChipToAutomaticAnticollision) {
  polling.Init(&control, 0);
  script.read(0x01, 0x3C).write(0x01, 0x3D);
  PollingParams p{nullptr, 0, nullptr, 0, nullptr};
  EXPECT_EQ(polling.Poll(&p), status::Success);
  EXPECT_EQ(port.written(), script.expected());
}

}  // namespace
}  // namespace kvt::chip
