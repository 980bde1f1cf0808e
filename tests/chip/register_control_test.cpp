#include "chip/register_control.h"

#include <gtest/gtest.h>

#include "chip/bit_order.h"
#include "support/scripted_port.h"

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;

class RegisterControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bus.setPort(&port);
    control.Init(&bus);
  }
  void useTestChip() {
    bus.setBitReversed(true);
    control.setTestChipAddressing(true);
  }
  // What the line carries for logical bytes when the test chip mirrors every byte.
  static Bytes mirrored(Bytes bytes) {
    for (auto& b : bytes) b = reverseBits(b);
    return bytes;
  }

  test::ScriptedPort port;
  SerialBus bus;
  RegisterControl control;
};

TEST(BitOrderTest, MirrorsEveryBit) {
  const std::pair<uint8_t, uint8_t> cases[] = {
      {0x01, 0x80}, {0x80, 0x01}, {0x0F, 0xF0}, {0x12, 0x48}, {0x48, 0x12}, {0x00, 0x00},
      {0xFF, 0xFF}, {0xA5, 0xA5}, {0x3F, 0xFC}};
  for (auto [in, out] : cases) EXPECT_EQ(reverseBits(in), out) << int(in);
}

TEST_F(RegisterControlTest, WriteSendsAddressDataAndChecksEcho) {
  port.answer({0x3F});
  RegisterParams p{0x3F, 0x3F, nullptr};
  EXPECT_EQ(control.SetRegister(&p), status::Success);
  EXPECT_EQ(port.written(), (Bytes{0x3F, 0x3F}));
}

TEST_F(RegisterControlTest, TestChipLayoutShiftsTheAddress) {
  control.setTestChipAddressing(true);
  port.answer({0x7E});
  RegisterParams write{0x3F, 0x3F, nullptr};
  EXPECT_EQ(control.SetRegister(&write), status::Success);
  EXPECT_EQ(port.takeWritten(), (Bytes{0x7E, 0x3F}));

  port.answer({0x55, 0x66});
  RegisterParams read0{0x00, 0, nullptr};
  EXPECT_EQ(control.GetRegister(&read0), status::Success);
  RegisterParams read9{0x09, 0, nullptr};
  EXPECT_EQ(control.GetRegister(&read9), status::Success);
  EXPECT_EQ(port.takeWritten(), (Bytes{0x80, 0x92}));
  EXPECT_EQ(read0.value, 0x55);
  EXPECT_EQ(read9.value, 0x66);
}

TEST_F(RegisterControlTest, NormalLayoutReadFlagsBitSeven) {
  port.answer({0xAB});
  RegisterParams p{0x00, 0, nullptr};
  EXPECT_EQ(control.GetRegister(&p), status::Success);
  EXPECT_EQ(port.written(), (Bytes{0x80}));
  EXPECT_EQ(p.value, 0xAB);
}

TEST_F(RegisterControlTest, BitReversalAppliesOnTheLineOnly) {
  useTestChip();
  // Logical write of 0x12 to register 0x09: address byte 0x12 (shifted), data 0x12.
  port.answer({reverseBits(0x12)});
  RegisterParams write{0x09, 0x12, nullptr};
  EXPECT_EQ(control.SetRegister(&write), status::Success);
  EXPECT_EQ(port.takeWritten(), mirrored({0x12, 0x12}));

  port.answer({0x80});  // the chip sends 0x80 on the line: logically 0x01
  RegisterParams read{0x00, 0, nullptr};
  EXPECT_EQ(control.GetRegister(&read), status::Success);
  EXPECT_EQ(port.takeWritten(), (Bytes{0x01}));  // 0x80 mirrored
  EXPECT_EQ(read.value, 0x01);
}

TEST_F(RegisterControlTest, WrongOrMissingEchoFails) {
  port.answer({0x08});
  RegisterParams p{0x09, 0x3F, nullptr};
  EXPECT_EQ(control.SetRegister(&p), status::SerialInterface);

  RegisterParams silent{0x09, 0x3F, nullptr};
  EXPECT_EQ(control.SetRegister(&silent), status::SerialInterface);
  EXPECT_EQ(port.timedOutReads(), 1);
}

TEST_F(RegisterControlTest, ReadTimeOutIsASerialInterfaceError) {
  RegisterParams p{0x01, 0, nullptr};
  EXPECT_EQ(control.GetRegister(&p), status::SerialInterface);
  EXPECT_EQ(port.timedOutReads(), 1);
}

TEST_F(RegisterControlTest, RefusedWriteFailsOnEveryPath) {
  port.refuseWritesAfter(1);
  port.answer({0x09});
  RegisterParams p{0x09, 0x3F, nullptr};
  EXPECT_EQ(control.SetRegister(&p), status::SerialInterface);
  EXPECT_EQ(port.written(), (Bytes{0x09}));
  EXPECT_EQ(port.reads(), 0);  // no echo is awaited after a refused data byte
}

TEST_F(RegisterControlTest, NoPortOpenFailsWithoutTraffic) {
  bus.setPort(nullptr);
  RegisterParams p{0x09, 0x3F, nullptr};
  EXPECT_EQ(control.SetRegister(&p), status::SerialInterface);
  EXPECT_EQ(control.GetRegister(&p), status::SerialInterface);
  EXPECT_TRUE(port.written().empty());
}

TEST_F(RegisterControlTest, LostPortFailsAtOnce) {
  port.disconnect();
  RegisterParams p{0x09, 0, nullptr};
  EXPECT_EQ(control.GetRegister(&p), status::WaitFailed);
  EXPECT_EQ(control.SetRegister(&p), status::WaitFailed);
  EXPECT_EQ(port.reads(), 0);
}

TEST_F(RegisterControlTest, ModifyWritesBackEvenWithoutChange) {
  port.answer({0xFF, 0x13});
  ModifyRegisterParams clear{0x13, 0x80, 0, nullptr};
  EXPECT_EQ(control.ModifyRegister(&clear), status::Success);
  EXPECT_EQ(port.takeWritten(), (Bytes{0x93, 0x13, 0x7F}));

  port.answer({0x81, 0x13});
  ModifyRegisterParams set{0x13, 0x80, 1, nullptr};
  EXPECT_EQ(control.ModifyRegister(&set), status::Success);
  EXPECT_EQ(port.takeWritten(), (Bytes{0x93, 0x13, 0x81}));
}

TEST_F(RegisterControlTest, ModifyStopsWhenTheReadFails) {
  ModifyRegisterParams p{0x13, 0x80, 1, nullptr};
  EXPECT_EQ(control.ModifyRegister(&p), status::SerialInterface);
  EXPECT_EQ(port.written(), (Bytes{0x93}));
}

TEST_F(RegisterControlTest, SetMultipleStopsAtTheFirstFailure) {
  port.answer({0x09, 0x09, 0x00});  // the third echo is wrong
  uint8_t data[] = {1, 2, 3, 4};
  RegisterMultipleParams p{0x09, 4, data, nullptr};
  EXPECT_EQ(control.SetRegisterMultiple(&p), status::SerialInterface);
  EXPECT_EQ(port.written(), (Bytes{0x09, 1, 0x09, 2, 0x09, 3}));
}

TEST_F(RegisterControlTest, MultipleTransfersOfLengthZeroSendNothing) {
  RegisterMultipleParams p{0x09, 0, nullptr, nullptr};
  EXPECT_EQ(control.SetRegisterMultiple(&p), status::Success);
  EXPECT_EQ(control.GetRegisterMultiple(&p), status::Success);
  EXPECT_TRUE(port.written().empty());
}

TEST_F(RegisterControlTest, GetMultipleFillsTheBuffer) {
  port.answer({0x10, 0x20});
  uint8_t data[3] = {0xEE, 0xEE, 0xEE};
  RegisterMultipleParams p{0x09, 3, data, nullptr};
  EXPECT_EQ(control.GetRegisterMultiple(&p), status::SerialInterface);
  EXPECT_EQ(port.written(), (Bytes{0x89, 0x89, 0x89}));
  EXPECT_EQ(data[0], 0x10);
  EXPECT_EQ(data[1], 0x20);
}

// A caller's parameter record must come back with its own component pointer, whatever the
// outcome, because upper layers reuse records on their stack.
TEST_F(RegisterControlTest, ComponentFieldIsRestoredAfterEveryCall) {
  auto* const marker = reinterpret_cast<RegisterControlRecord*>(0x1234);
  RegisterParams ok{0x01, 0, marker};
  port.answer({0x00});
  EXPECT_EQ(control.GetRegister(&ok), status::Success);
  EXPECT_EQ(ok.component, marker);

  RegisterParams failing{0x01, 0, marker};
  EXPECT_EQ(control.SetRegister(&failing), status::SerialInterface);
  EXPECT_EQ(failing.component, marker);

  auto* const busMarker = reinterpret_cast<SerialBusRecord*>(0x5678);
  BusByteParams byte{0x00, busMarker};
  EXPECT_EQ(bus.ReadBus(&byte), status::SerialInterface);
  EXPECT_EQ(byte.component, busMarker);
}

// An upper layer reaches RegisterControl only through an adapter; replacing the lower object
// by another implementation of its interface must be seen by the upper layer.
TEST_F(RegisterControlTest, AdapterForwardsToTheLowerObject) {
  struct Recorder final : IRegisterControl {
    Status SetRegister(RegisterParams* p) override {
      last = p->address;
      return 0x0042;
    }
    Status GetRegister(RegisterParams*) override { return 1; }
    Status ModifyRegister(ModifyRegisterParams*) override { return 2; }
    Status SetRegisterMultiple(RegisterMultipleParams*) override { return 3; }
    Status GetRegisterMultiple(RegisterMultipleParams*) override { return 4; }
    uint8_t last = 0;
  } lower;
  struct Upper : UpperLink<IRegisterControl> {
  } upper;
  upper.lowerObject = &lower;
  RegisterControlRecord adapter = MakeRegisterControlAdapter();
  adapter.callingObject = static_cast<UpperLink<IRegisterControl>*>(&upper);
  RegisterParams p{0x2A, 0, &adapter};
  EXPECT_EQ(adapter.SetRegister(&p), 0x0042);
  EXPECT_EQ(lower.last, 0x2A);
  ModifyRegisterParams m{0, 0, 0, &adapter};
  EXPECT_EQ(adapter.ModifyRegister(&m), 2);
  RegisterMultipleParams g{0, 0, nullptr, &adapter};
  EXPECT_EQ(adapter.GetRegisterMultiple(&g), 4);
}

TEST(StatusTest, EveryCodeHasADescription) {
  EXPECT_STREQ(describe(status::SerialInterface),
               "serial interface error: no byte moved or wrong echo");
  EXPECT_STREQ(describe(0x7777), "unknown status");
  EXPECT_STRNE(describe(status::BccError), "unknown status");
}

}  // namespace
}  // namespace kvt::chip
