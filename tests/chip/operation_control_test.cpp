#include "chip/operation_control.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "support/register_script.h"
#include "support/scripted_port.h"

namespace kvt::chip {
namespace {

using test::RegisterScript;

class OperationControlTest : public ::testing::Test {
 protected:
  OperationControlTest() : script(port) {
    bus.setPort(&port);
    control.Init(&bus);
    operation.Init(&control);
  }

  Status set(uint8_t group, uint8_t attribute, uint8_t value1 = 0, uint8_t value2 = 0,
             uint8_t* buffer = nullptr) {
    params = AttributeParams{group, attribute, value1, value2, buffer, nullptr};
    return operation.SetAttribute(&params);
  }
  Status get(uint8_t group, uint8_t attribute, uint8_t value1 = 0, uint8_t* buffer = nullptr) {
    params = AttributeParams{group, attribute, value1, 0, buffer, nullptr};
    return operation.GetAttribute(&params);
  }
  // Lets the component read the version (0x28) once, then forgets that traffic.
  void knowVersion() {
    port.answer({0x28, 0x00, 0x2A});  // version, timer mode read, echo
    ASSERT_EQ(set(6, 1, 1), status::Success);
    port.takeWritten();
  }
  void expectTrafficAsScripted() {
    EXPECT_EQ(port.written(), script.expected());
    EXPECT_EQ(port.timedOutReads(), 0);
  }

  test::ScriptedPort port;
  RegisterScript script;
  SerialBus bus;
  RegisterControl control;
  OperationControl operation;
  AttributeParams params{};
};

TEST_F(OperationControlTest, FirstSetAttributeReadsTheVersionOnce) {
  EXPECT_EQ(operation.version(), 0xB1);
  script.read(0x37, 0xB1).modify(0x2A, 0x00, 0x80, true);  // 0xB1: not known yet
  EXPECT_EQ(set(6, 1, 1), status::Success);
  script.read(0x37, 0x28).modify(0x2A, 0x80, 0x80, true);
  EXPECT_EQ(set(6, 1, 1), status::Success);
  script.modify(0x2A, 0x80, 0x80, false);
  EXPECT_EQ(set(6, 1, 0), status::Success);
  script.read(0x2E, 0x12).read(0x2F, 0x34);  // GetAttribute never reads it on its own behalf
  EXPECT_EQ(get(6, 6), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(operation.version(), 0x28);
}

TEST_F(OperationControlTest, TypeAProtocolOnVersion28WritesModWidthAndAppliesTableC2) {
  script.read(0x37, 0x28);
  script.modify(0x08, 0x0B, 0x08, false);  // crypto unit off
  script.read(0x12, 0xFF).write(0x12, 0x8C);
  script.read(0x13, 0x03).write(0x13, 0x80);
  script.modify(0x15, 0xFF, 0x88, false);
  script.write(0x24, 0x26);
  // Table C/2, each step a read and a write of (old AND mask) OR value.
  script.read(0x19, 0xAA).write(0x19, 0x4D);
  script.read(0x26, 0xAA).write(0x26, 0x59);
  script.read(0x15, 0x77).write(0x15, 0x77);
  script.read(0x18, 0xAA).write(0x18, 0x55);
  script.read(0x24, 0x26).write(0x24, 0x26);
  script.read(0x25, 0xFF).write(0x25, 0x8F);
  script.read(0x27, 0xAA).write(0x27, 0xF4);
  script.read(0x23, 0xAA).write(0x23, 0xF4);
  EXPECT_EQ(set(1, 3, 0, 0), status::Success);
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, RegisterTrafficOfEachAttribute) {
  // 'w': a write of `a`; 'x': a read answered `a`, then a write of `b` (read-modify-write).
  struct Step {
    char op;
    uint8_t address, a, b = 0;
  };
  struct Case {
    const char* name;
    std::array<uint8_t, 4> attribute;  // group, attribute, value1, value2
    std::vector<uint8_t> buffer;
    std::vector<Step> steps;
  };
  // clang-format off
  const Case cases[] = {
      {"type A at 848 kbit/s", {1, 3, 3, 1}, {},
       {{'x', 0x08, 0x00, 0x00}, {'x', 0x12, 0x00, 0xB0}, {'x', 0x13, 0x00, 0x90},
        {'x', 0x15, 0x00, 0x00}, {'w', 0x24, 0x05}}},
      {"card reader timer set-up", {6, 0, 1, 0}, {0xA5, 0x02, 0x64, 0x00},
       {{'x', 0x2A, 0x10, 0x90}, {'x', 0x2A, 0x90, 0x80}, {'w', 0x2B, 0xA5},
        {'x', 0x2A, 0x8F, 0x82}, {'w', 0x2D, 0x64}, {'w', 0x2C, 0x00}}},
      {"timer prescaler", {6, 4, 0xA6, 0x02}, {}, {{'w', 0x2B, 0xA6}, {'x', 0x2A, 0x85, 0x82}}},
      {"timer reload", {6, 5, 0xE8, 0x03}, {}, {{'w', 0x2D, 0xE8}, {'w', 0x2C, 0x03}}},
      {"timer gating", {6, 3, 1, 0}, {}, {{'x', 0x2A, 0xFF, 0xBF}}},
      {"timer automatic restart", {6, 2, 1, 0}, {}, {{'x', 0x2A, 0x00, 0x10}}},
      {"serial speed index 4", {2, 1, 4, 0}, {}, {{'w', 0x1F, 0x79}}},
      {"serial speed index 8", {2, 1, 8, 0}, {}, {{'w', 0x1F, 0x14}}},
      {"CRC preset", {7, 0, 1, 0}, {}, {{'x', 0x11, 0x63, 0x61}}},
      {"CRC LSB first (only 1 is MSB)", {7, 2, 2, 0}, {}, {{'x', 0x11, 0xE1, 0x61}}},
      {"CRC MSB first", {7, 2, 1, 0}, {}, {{'x', 0x11, 0x61, 0xE1}}},
      {"routing to SIGOUT", {5, 17, 0, 2}, {},
       {{'x', 0x16, 0xFF, 0xCD}, {'x', 0x17, 0xFF, 0x7F}, {'x', 0x1D, 0xFF, 0xF7},
        {'w', 0x31, 0x18}, {'x', 0x12, 0xFF, 0xFB}, {'x', 0x13, 0xFF, 0xFB}}},
      {"SAM mode both ways", {5, 17, 1, 2}, {},
       {{'x', 0x16, 0x00, 0x2E}, {'x', 0x17, 0x00, 0x80}, {'x', 0x1D, 0x08, 0x00},
        {'x', 0x12, 0x00, 0x04}, {'x', 0x13, 0x00, 0x04}, {'x', 0x1B, 0x00, 0x80}}},
  };
  // clang-format on
  knowVersion();
  for (const Case& c : cases) {
    test::RegisterScript expected(port);
    for (const Step& s : c.steps) {
      if (s.op == 'x') expected.read(s.address, s.a);
      expected.write(s.address, s.op == 'x' ? s.b : s.a);
    }
    std::vector<uint8_t> buffer = c.buffer;
    const auto [group, attribute, value1, value2] = c.attribute;
    EXPECT_EQ(set(group, attribute, value1, value2, buffer.data()), status::Success) << c.name;
    EXPECT_EQ(port.takeWritten(), expected.expected()) << c.name;
  }
  EXPECT_EQ(port.timedOutReads(), 0);
}

TEST_F(OperationControlTest, RangeErrorsComeBeforeAnyRegisterAccess) {
  knowVersion();
  uint8_t badPrescaler[] = {0xA5, 0x10, 0x64, 0x00};
  uint8_t buffer[32] = {};
  struct Case {
    uint8_t group, attribute, value1, value2;
    uint8_t* buffer;
  };
  const Case cases[] = {
      {2, 1, 9, 0, nullptr},      {2, 2, 0, 0, nullptr},  {3, 4, 0, 0, nullptr},
      {4, 0, 0, 0, nullptr},      {9, 0, 0, 0, nullptr},  {0xFF, 1, 0, 0, nullptr},
      {5, 17, 2, 0, nullptr},     {5, 17, 1, 3, nullptr}, {5, 16, 0, 0, nullptr},
      {6, 0, 1, 0, badPrescaler}, {6, 0, 2, 0, buffer},   {6, 0, 0, 2, buffer},
      {6, 0, 1, 0, nullptr},      {6, 1, 2, 0, nullptr},  {6, 2, 2, 0, nullptr},
      {6, 3, 4, 0, nullptr},      {6, 4, 0, 16, nullptr}, {6, 7, 0, 0, nullptr},
      {7, 0, 4, 0, nullptr},      {7, 3, 65, 0, buffer},  {7, 3, 2, 0, nullptr},
      {7, 4, 0, 0, nullptr},      {8, 9, 0, 5, buffer},   {8, 9, 3, 6, buffer},
      {8, 9, 0, 6, nullptr},      {8, 8, 0, 6, buffer},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(set(c.group, c.attribute, c.value1, c.value2, c.buffer), status::InvalidParameter)
        << int(c.group) << "/" << int(c.attribute) << " " << int(c.value1) << "," << int(c.value2);
  }
  EXPECT_EQ(get(8, 9, 3, buffer), status::InvalidParameter);  // only selections 0..2
  EXPECT_TRUE(port.written().empty());
  // Group 1 switches the crypto unit off before it checks its values.
  const uint8_t protocol[][3] = {{1, 3, 0}, {2, 4, 0}, {3, 0, 4}, {4, 0, 1},
                                 {4, 3, 1}, {5, 4, 0}, {0, 0, 0}, {6, 0, 0}};
  for (const auto& c : protocol) {
    script.modify(0x08, 0x08, 0x08, false);
    EXPECT_EQ(set(1, c[0], c[1], c[2]), status::InvalidParameter) << int(c[0]);
  }
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, ReadOnlySetOnlyAndUnknownAttributes) {
  knowVersion();
  using Pairs = std::vector<std::pair<int, int>>;
  for (auto [group, attribute] : Pairs{{0, 0}, {0, 7}, {6, 6}, {7, 1}}) {
    EXPECT_EQ(set(group, attribute), status::NotSupported) << group << "/" << attribute;
  }
  uint8_t buffer[32] = {};
  for (auto [group, attribute] : Pairs{{1, 3}, {2, 1}, {3, 5}, {5, 17}, {6, 0}, {7, 3}}) {
    EXPECT_EQ(get(group, attribute), status::NotSupported) << group << "/" << attribute;
  }
  EXPECT_EQ(get(8, 9, 0xFF, buffer), status::NotSupported);
  for (auto [group, attribute] : Pairs{{0, 1}, {1, 6}, {4, 0}, {6, 7}, {7, 4}, {9, 0}}) {
    EXPECT_EQ(get(group, attribute), status::InvalidParameter) << group << "/" << attribute;
  }
  EXPECT_EQ(get(8, 9, 3, buffer), status::InvalidParameter);
  EXPECT_EQ(get(8, 9, 0, nullptr), status::InvalidParameter);
  EXPECT_TRUE(port.written().empty());
}

// The self-test's preparation: each register saved (as `saved`) and set; the sweep register
// saved as 0x87. The restore writes them back, also after a failure.
void scriptSelfTestStart(RegisterScript& s, uint8_t saved) {
  const uint8_t settings[][2] = {{0x15, 0x00}, {0x14, 0x81}, {0x01, 0x00}, {0x27, 0xF0},
                                 {0x28, 0x01}, {0x29, 0x00}, {0x32, 0x12}};
  for (const auto& setting : settings) s.read(setting[0], saved).write(setting[0], setting[1]);
  s.read(0x26, 0x87);
}
void scriptSelfTestRestore(RegisterScript& s, uint8_t saved) {
  for (uint8_t address : {0x15, 0x14, 0x01, 0x27, 0x28, 0x29, 0x32}) s.write(address, saved);
  s.write(0x26, 0x87);
}

TEST_F(OperationControlTest, SelfTestFailures) {
  knowVersion();
  // The carrier stays after the sweep.
  scriptSelfTestStart(script, 0x5A);
  for (uint8_t v = 0x60; v <= 0x6A; ++v) script.write(0x26, v).read(0x35, v < 0x67 ? 0x04 : 0x00);
  script.write(0x26, 0x6F).write(0x14, 0x80).read(0x35, 0x04);
  scriptSelfTestRestore(script, 0x5A);
  EXPECT_EQ(set(3, 5), status::Success);
  EXPECT_EQ(params.value1, 0xFF);
  // The carrier vanishes at level 1, below the window 7..10: the sweep stops there.
  scriptSelfTestStart(script, 0x00);
  script.write(0x26, 0x60).read(0x35, 0x04).write(0x26, 0x61).read(0x35, 0x00);
  scriptSelfTestRestore(script, 0x00);
  EXPECT_EQ(set(3, 5), status::Success);
  EXPECT_EQ(params.value1, 0xFF);
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, SelfTestAccessFailureStillRestoresAndIsReported) {
  knowVersion();
  scriptSelfTestStart(script, 0x33);
  std::vector<uint8_t> expected = script.expected();
  port.answer({0x00});  // a wrong echo for the first sweep write
  expected.insert(expected.end(), {0x26, 0x60});
  RegisterScript restore(port);
  scriptSelfTestRestore(restore, 0x33);
  expected.insert(expected.end(), restore.expected().begin(), restore.expected().end());
  EXPECT_EQ(set(3, 5), status::SerialInterface);
  EXPECT_EQ(params.value1, 0xFF);
  EXPECT_EQ(port.written(), expected);
}

TEST_F(OperationControlTest, ShortConfigurationReadIsRefusedAndNothingIsWritten) {
  knowVersion();
  uint8_t identity[6] = {0x44, 0x00, 0x01, 0x02, 0x03, 0x40};
  uint8_t out[18] = {};
  for (bool setting : {true, false}) {
    // The configure command with an empty FIFO: the chip delivers only 3 bytes.
    script.read(0x01, 0x00).write(0x01, 0x00);
    script.write(0x04, 0x10).write(0x05, 0x00).write(0x0A, 0x80);
    script.read(0x02, 0x00).write(0x02, 0x10).read(0x03, 0x00).write(0x03, 0x00);
    script.read(0x01, 0x00).write(0x01, 0x01);
    script.read(0x04, 0x10).read(0x05, 0x00);
    script.modify(0x02, 0x10, 0x10, false).modify(0x03, 0x00, 0x00, false);
    script.read(0x0A, 3).read(0x0C, 0x00).read(0x06, 0x00).readEach(0x09, {1, 2, 3});
    script.write(0x04, 0x10).write(0x05, 0x00).write(0x0A, 0x80).write(0x04, 0x01);
    EXPECT_EQ(setting ? set(8, 9, 0, 6, identity) : get(8, 9, 0, out), status::ConfigLength);
    expectTrafficAsScripted();
  }
}

}  // namespace
}  // namespace kvt::chip
