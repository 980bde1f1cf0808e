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
  Status set(uint8_t address, uint8_t value) {
    RegisterParams p{address, value, nullptr};
    return control.SetRegister(&p);
  }
  Status get(uint8_t address, uint8_t& value) {
    RegisterParams p{address, 0, nullptr};
    const Status s = control.GetRegister(&p);
    value = p.value;
    return s;
  }

  test::ScriptedPort port;
  SerialBus bus;
  RegisterControl control;
};

TEST(BitOrderTest, MirrorsEveryBit) {
  const std::pair<uint8_t, uint8_t> cases[] = {{0x01, 0x80}, {0x80, 0x01}, {0x12, 0x48},
                                               {0x48, 0x12}, {0x3F, 0xFC}, {0xA5, 0xA5}};
  for (auto [in, out] : cases) EXPECT_EQ(reverseBits(in), out) << int(in);
}

TEST_F(RegisterControlTest, AddressBytesOfBothLayouts) {
  struct Case {
    bool testChip;
    bool write;
    uint8_t address, value, answer;
    Bytes line;
  };
  const Case cases[] = {
      {false, true, 0x3F, 0x3F, 0x3F, {0x3F, 0x3F}},  // the echo is the address byte
      {false, false, 0x00, 0xAB, 0xAB, {0x80}},      {true, true, 0x3F, 0x3F, 0x7E, {0x7E, 0x3F}},
      {true, false, 0x00, 0x55, 0x55, {0x80}},       {true, false, 0x09, 0x66, 0x66, {0x92}},
      {true, true, 0x41, 0x12, 0x82, {0x82, 0x12}},  // a write keeps 7 address bits
  };
  for (const Case& c : cases) {
    control.setTestChipAddressing(c.testChip);
    port.answerByte(c.answer);
    uint8_t value = c.value;
    EXPECT_EQ(c.write ? set(c.address, c.value) : get(c.address, value), status::Success)
        << int(c.address) << " test chip " << c.testChip;
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(port.takeWritten(), c.line) << int(c.address) << " test chip " << c.testChip;
  }
}

TEST_F(RegisterControlTest, BitReversalAppliesOnTheLineOnly) {
  bus.setBitReversed(true);
  control.setTestChipAddressing(true);
  // Logical write of 0x12 to register 0x09: address byte 0x12 (shifted), data 0x12.
  port.answer({0x48});
  EXPECT_EQ(set(0x09, 0x12), status::Success);
  EXPECT_EQ(port.takeWritten(), (Bytes{0x48, 0x48}));

  port.answer({0x80});  // logically 0x01
  uint8_t value = 0;
  EXPECT_EQ(get(0x00, value), status::Success);
  EXPECT_EQ(port.takeWritten(), (Bytes{0x01}));  // address byte 0x80 mirrored
  EXPECT_EQ(value, 0x01);
}

TEST_F(RegisterControlTest, WrongOrMissingAnswerIsASerialInterfaceError) {
  port.answer({0x08});
  EXPECT_EQ(set(0x09, 0x3F), status::SerialInterface);  // wrong echo
  EXPECT_EQ(set(0x09, 0x3F), status::SerialInterface);  // no echo
  uint8_t value = 0;
  EXPECT_EQ(get(0x01, value), status::SerialInterface);  // read time-out
  EXPECT_EQ(port.timedOutReads(), 2);
}

TEST_F(RegisterControlTest, UnusableLineFailsAtOnce) {
  bus.setPort(nullptr);  // no port open: nothing is touched
  EXPECT_EQ(set(0x09, 0x3F), status::SerialInterface);
  uint8_t value = 0;
  EXPECT_EQ(get(0x09, value), status::SerialInterface);

  bus.setPort(&port);
  port.refuseWritesAfter(1);  // the data byte moves nothing: no echo is awaited
  port.answer({0x09});
  EXPECT_EQ(set(0x09, 0x3F), status::SerialInterface);
  EXPECT_EQ(port.takeWritten(), (Bytes{0x09}));
  EXPECT_EQ(port.reads(), 0);

  port.disconnect();  // a lost port: each transfer fails at once
  EXPECT_EQ(get(0x09, value), status::WaitFailed);
  EXPECT_EQ(set(0x09, 0x00), status::WaitFailed);
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

  EXPECT_EQ(control.ModifyRegister(&set), status::SerialInterface);  // the read fails
  EXPECT_EQ(port.takeWritten(), (Bytes{0x93}));
}

TEST_F(RegisterControlTest, MultipleTransfersStopAtTheFirstFailure) {
  port.answer({0x09, 0x09, 0x00});  // the third echo is wrong
  uint8_t data[] = {1, 2, 3, 4};
  RegisterMultipleParams p{0x09, 4, data, nullptr};
  EXPECT_EQ(control.SetRegisterMultiple(&p), status::SerialInterface);
  EXPECT_EQ(port.takeWritten(), (Bytes{0x09, 1, 0x09, 2, 0x09, 3}));

  port.answer({0x10, 0x20});  // the third read times out
  uint8_t read[3] = {0xEE, 0xEE, 0xEE};
  RegisterMultipleParams g{0x09, 3, read, nullptr};
  EXPECT_EQ(control.GetRegisterMultiple(&g), status::SerialInterface);
  EXPECT_EQ(port.takeWritten(), (Bytes{0x89, 0x89, 0x89}));
  EXPECT_EQ(Bytes(read, read + 2), (Bytes{0x10, 0x20}));
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

}  // namespace
}  // namespace kvt::chip
