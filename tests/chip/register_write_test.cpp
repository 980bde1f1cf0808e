#include <gtest/gtest.h>

#include <vector>

#include "chip/bit_order.h"
#include "chip/register_control.h"

namespace kvt::chip {
namespace {

using platform::IoResult;

// Records each driver call: a register write must hand its address and data bytes over in one.
class CallRecordingPort final : public platform::SerialPort {
 public:
  IoResult writeByte(uint8_t byte) override {
    calls.push_back({byte});
    return writeResult;
  }
  IoResult writeBytes(const uint8_t* bytes, size_t count, size_t& moved) override {
    calls.emplace_back(bytes, bytes + count);
    moved = writeResult == IoResult::Ok ? count : 0;
    return writeResult;
  }
  IoResult readByte(uint8_t& byte) override {
    ++reads;
    byte = echo;
    return IoResult::Ok;
  }
  bool setLineSettings(uint32_t) override { return true; }
  void purge() override {}
  std::optional<bool> ringIndicator() override { return std::nullopt; }

  std::vector<std::vector<uint8_t>> calls;
  IoResult writeResult = IoResult::Ok;
  uint8_t echo = 0;
  int reads = 0;
};

class RegisterWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bus.setPort(&port);
    control.Init(&bus);
  }
  Status set(uint8_t address, uint8_t value) {
    RegisterParams p{address, value, nullptr};
    return control.SetRegister(&p);
  }

  CallRecordingPort port;
  SerialBus bus;
  RegisterControl control;
};

TEST_F(RegisterWriteTest, AddressAndDataLeaveInOneCallOnEitherBitOrder) {
  port.echo = 0x09;
  EXPECT_EQ(set(0x09, 0xA1), status::Success);
  bus.setBitReversed(true);
  port.echo = reverseBits(0x09);
  EXPECT_EQ(set(0x09, 0xA1), status::Success);
  const std::vector<std::vector<uint8_t>> expected = {{0x09, 0xA1},
                                                      {reverseBits(0x09), reverseBits(0xA1)}};
  EXPECT_EQ(port.calls, expected);
  port.echo = 0x00;
  EXPECT_EQ(set(0x09, 0xA1), status::SerialInterface);  // a wrong echo still fails the access
}

TEST_F(RegisterWriteTest, AFailedWriteFailsThatAccessWithoutWaitingForAnEcho) {
  const std::pair<IoResult, Status> cases[] = {{IoResult::NothingMoved, status::SerialInterface},
                                               {IoResult::Failed, status::WaitFailed}};
  for (auto [result, expected] : cases) {
    port.writeResult = result;
    EXPECT_EQ(set(0x09, 0xA1), expected);
  }
  EXPECT_EQ(port.reads, 0);
}

}  // namespace
}  // namespace kvt::chip
