#include "chip/operation_control.h"

#include <gtest/gtest.h>

#include <vector>

#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "support/register_script.h"
#include "support/scripted_port.h"

namespace kvt::chip {
namespace {

using test::RegisterScript;
using test::ScriptedPort;

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

  ScriptedPort port;
  RegisterScript script;
  SerialBus bus;
  RegisterControl control;
  OperationControl operation;
  AttributeParams params{};
};

TEST_F(OperationControlTest, FirstSetAttributeReadsTheVersionOnce) {
  EXPECT_EQ(operation.version(), 0xB1);
  script.read(0x37, 0x28).modify(0x2A, 0x00, 0x80, true);
  EXPECT_EQ(set(6, 1, 1), status::Success);
  script.modify(0x2A, 0x80, 0x80, false);
  EXPECT_EQ(set(6, 1, 0), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(operation.version(), 0x28);
  // GetAttribute never reads it on its own behalf.
  script.read(0x2E, 0x12).read(0x2F, 0x34);
  EXPECT_EQ(get(6, 6), status::Success);
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, VersionReadAsB1IsReadAgainNextTime) {
  script.read(0x37, 0xB1).modify(0x2A, 0x00, 0x80, true);
  script.read(0x37, 0x27).modify(0x2A, 0x80, 0x80, true);
  EXPECT_EQ(set(6, 1, 1), status::Success);
  EXPECT_EQ(set(6, 1, 1), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(operation.version(), 0x27);
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

TEST_F(OperationControlTest, TypeAProtocolAtHigherRatesWritesOnlyTheModWidth) {
  knowVersion();
  script.modify(0x08, 0x00, 0x08, false);
  script.read(0x12, 0x00).write(0x12, 0xB0);
  script.read(0x13, 0x00).write(0x13, 0x90);
  script.modify(0x15, 0x00, 0x88, false);
  script.write(0x24, 0x05);
  EXPECT_EQ(set(1, 3, 3, 1), status::Success);
  expectTrafficAsScripted();
}

struct VersionCase {
  uint8_t version;
  std::vector<std::pair<uint8_t, uint8_t>> table2;  // register, value of each step (old 0)
};

class VersionSelectionTest : public OperationControlTest,
                             public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionSelectionTest, VersionChoosesTheRegisterSet) {
  const VersionCase& c = GetParam();
  script.read(0x37, c.version);
  script.modify(0x08, 0x00, 0x08, false);
  script.read(0x12, 0x00).write(0x12, 0x80).read(0x13, 0x00).write(0x13, 0x80);
  script.modify(0x15, 0x00, 0x88, false).write(0x24, 0x26);
  for (const auto& [address, value] : c.table2) script.read(address, 0x00).write(address, value);
  EXPECT_EQ(set(1, 3, 0, 0), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(operation.version(), c.version);
}

const std::vector<std::pair<uint8_t, uint8_t>> kTableA2 = {
    {0x19, 0x4D}, {0x26, 0x59}, {0x15, 0x40}, {0x18, 0x55}, {0x24, 0x26},
    {0x25, 0x0F}, {0x27, 0xF4}, {0x28, 0x3F}, {0x29, 0x11}};
const std::vector<std::pair<uint8_t, uint8_t>> kTableB2 = {
    {0x15, 0x40}, {0x19, 0xAD}, {0x24, 0x26}, {0x25, 0x0F}, {0x17, 0x84},
    {0x18, 0x44}, {0x26, 0x59}, {0x27, 0xF4}, {0x23, 0xF4}, {0x1C, 0x62}};
const std::vector<std::pair<uint8_t, uint8_t>> kTableC2 = {{0x19, 0x4D}, {0x26, 0x59}, {0x15, 0x40},
                                                           {0x18, 0x55}, {0x24, 0x26}, {0x25, 0x0F},
                                                           {0x27, 0xF4}, {0x23, 0xF4}};

INSTANTIATE_TEST_SUITE_P(Sets, VersionSelectionTest,
                         ::testing::Values(VersionCase{0x28, kTableC2}, VersionCase{0x26, kTableB2},
                                           VersionCase{0x27, kTableB2},
                                           VersionCase{0x11, kTableA2}));

TEST_F(OperationControlTest, TimerSetUpOfTheCardReader) {
  knowVersion();
  uint8_t buffer[] = {0xA5, 0x02, 0x64, 0x00};
  script.modify(0x2A, 0x10, 0x80, true);       // automatic start
  script.modify(0x2A, 0x90, 0x10, false);      // no automatic restart
  script.write(0x2B, 0xA5);                    // prescaler low byte
  script.read(0x2A, 0x8F).write(0x2A, 0x82);   // prescaler high bits
  script.write(0x2D, 0x64).write(0x2C, 0x00);  // reload 0x0064
  EXPECT_EQ(set(6, 0, 1, 0, buffer), status::Success);
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, TimerPrescalerReloadAndGating) {
  knowVersion();
  script.write(0x2B, 0xA6).read(0x2A, 0x85).write(0x2A, 0x82);
  EXPECT_EQ(set(6, 4, 0xA6, 0x02), status::Success);
  script.write(0x2D, 0xE8).write(0x2C, 0x03);
  EXPECT_EQ(set(6, 5, 0xE8, 0x03), status::Success);
  script.read(0x2A, 0xFF).write(0x2A, 0xBF);
  EXPECT_EQ(set(6, 3, 1), status::Success);
  script.modify(0x2A, 0x00, 0x10, true);
  EXPECT_EQ(set(6, 2, 1), status::Success);
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, SerialSpeedIndexFourWrites0x79) {
  knowVersion();
  script.write(0x1F, 0x79);
  EXPECT_EQ(set(2, 1, 4), status::Success);
  script.write(0x1F, 0x14);
  EXPECT_EQ(set(2, 1, 8), status::Success);
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, CrcUnitPresetAndBitOrder) {
  knowVersion();
  script.read(0x11, 0x63).write(0x11, 0x61);
  EXPECT_EQ(set(7, 0, 1), status::Success);
  script.modify(0x11, 0x61, 0x80, false);
  EXPECT_EQ(set(7, 2, 2), status::Success);  // only 1 switches MSB-first on
  script.modify(0x11, 0x61, 0x80, true);
  EXPECT_EQ(set(7, 2, 1), status::Success);
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, SignalRoutingToSigOut) {
  knowVersion();
  script.read(0x16, 0xFF).write(0x16, 0xCD);
  script.read(0x17, 0xFF).write(0x17, 0x7F);
  script.modify(0x1D, 0xFF, 0x08, false);
  script.write(0x31, 0x18);
  script.modify(0x12, 0xFF, 0x04, false);
  script.modify(0x13, 0xFF, 0x04, false);
  EXPECT_EQ(set(5, 17, 0, 2), status::Success);
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, SignalRoutingSamModeBothWays) {
  knowVersion();
  script.read(0x16, 0x00).write(0x16, 0x2E);
  script.read(0x17, 0x00).write(0x17, 0x80);
  script.modify(0x1D, 0x08, 0x08, false);
  script.modify(0x12, 0x00, 0x04, true);
  script.modify(0x13, 0x00, 0x04, true);
  script.modify(0x1B, 0x00, 0x80, true);
  EXPECT_EQ(set(5, 17, 1, 2), status::Success);
  expectTrafficAsScripted();
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
  EXPECT_TRUE(port.written().empty());
}

TEST_F(OperationControlTest, ProtocolRangeErrorsOnlyClearTheCryptoUnitFirst) {
  knowVersion();
  const uint8_t cases[][3] = {{1, 3, 0}, {2, 4, 0}, {3, 0, 4}, {4, 0, 1},
                              {4, 3, 1}, {5, 4, 0}, {0, 0, 0}, {6, 0, 0}};
  for (const auto& c : cases) {
    script.modify(0x08, 0x08, 0x08, false);
    EXPECT_EQ(set(1, c[0], c[1], c[2]), status::InvalidParameter) << int(c[0]);
  }
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, ReadOnlyAndSetOnlyAttributes) {
  knowVersion();
  EXPECT_EQ(set(0, 0), status::NotSupported);
  EXPECT_EQ(set(0, 7), status::NotSupported);
  EXPECT_EQ(set(6, 6), status::NotSupported);
  EXPECT_EQ(set(7, 1), status::NotSupported);
  const uint8_t setOnly[][2] = {{1, 1}, {1, 2},  {1, 3}, {1, 4}, {1, 5}, {2, 1},
                                {3, 5}, {5, 17}, {6, 0}, {6, 1}, {6, 2}, {6, 3},
                                {6, 4}, {6, 5},  {7, 0}, {7, 2}, {7, 3}};
  for (const auto& c : setOnly) {
    EXPECT_EQ(get(c[0], c[1]), status::NotSupported) << int(c[0]) << "/" << int(c[1]);
  }
  uint8_t buffer[32] = {};
  EXPECT_EQ(get(8, 9, 0xFF, buffer), status::NotSupported);
  const uint8_t unknown[][2] = {{0, 1}, {1, 0}, {1, 6}, {2, 0}, {3, 1}, {4, 0},
                                {5, 0}, {6, 7}, {7, 4}, {8, 0}, {9, 0}};
  for (const auto& c : unknown) {
    EXPECT_EQ(get(c[0], c[1]), status::InvalidParameter) << int(c[0]) << "/" << int(c[1]);
  }
  EXPECT_EQ(get(8, 9, 3, buffer), status::InvalidParameter);
  EXPECT_EQ(get(8, 9, 0, nullptr), status::InvalidParameter);
  EXPECT_TRUE(port.written().empty());
}

TEST_F(OperationControlTest, GetReadsVersionTimerValueAndCrcResult) {
  script.read(0x37, 0x28);
  EXPECT_EQ(get(0, 0), status::Success);
  EXPECT_EQ(params.value1, 0x28);
  EXPECT_EQ(params.value2, 0x00);
  script.read(0x2E, 0x01).read(0x2F, 0x23);
  EXPECT_EQ(get(6, 6), status::Success);
  EXPECT_EQ(params.value1, 0x23);
  EXPECT_EQ(params.value2, 0x01);
  script.read(0x21, 0xEE).read(0x22, 0x26);
  EXPECT_EQ(get(7, 1), status::Success);
  EXPECT_EQ(params.value1, 0x26);
  EXPECT_EQ(params.value2, 0xEE);
  expectTrafficAsScripted();
}

// The self-test's preparation: each register saved (as `saved`) and set; the sweep register
// saved as 0x87.
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

TEST_F(OperationControlTest, SelfTestFailsWhenTheCarrierStaysAfterTheSweep) {
  knowVersion();
  scriptSelfTestStart(script, 0x5A);
  for (uint8_t v = 0x60; v <= 0x6A; ++v) script.write(0x26, v).read(0x35, v < 0x67 ? 0x04 : 0x00);
  script.write(0x26, 0x6F).write(0x14, 0x80).read(0x35, 0x04);  // still detected
  scriptSelfTestRestore(script, 0x5A);
  EXPECT_EQ(set(3, 5), status::Success);
  EXPECT_EQ(params.value1, 0xFF);
  expectTrafficAsScripted();
}

TEST_F(OperationControlTest, SelfTestStopsTheSweepWhenTheCarrierVanishesTooEarly) {
  knowVersion();
  scriptSelfTestStart(script, 0x00);
  script.write(0x26, 0x60).read(0x35, 0x04);
  script.write(0x26, 0x61).read(0x35, 0x00);  // level 1 lies below the window 7..10
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

// The configure command reading the buffer, with the chip delivering `fifo`.
void scriptConfigurationRead(RegisterScript& s, const std::vector<uint8_t>& fifo) {
  s.read(0x01, 0x00).write(0x01, 0x00);
  s.write(0x04, 0x10).write(0x05, 0x00).write(0x0A, 0x80);
  s.read(0x02, 0x00).write(0x02, 0x10).read(0x03, 0x00).write(0x03, 0x00);
  s.read(0x01, 0x00).write(0x01, 0x01);
  s.read(0x04, 0x10).read(0x05, 0x00);
  s.modify(0x02, 0x10, 0x10, false).modify(0x03, 0x00, 0x00, false);
  s.read(0x0A, static_cast<uint8_t>(fifo.size())).read(0x0C, 0x00).read(0x06, 0x00);
  s.readEach(0x09, fifo);
  s.write(0x04, 0x10).write(0x05, 0x00).write(0x0A, 0x80).write(0x04, 0x01);
}

TEST_F(OperationControlTest, ShortConfigurationReadIsRefusedAndNothingIsWritten) {
  knowVersion();
  scriptConfigurationRead(script, {1, 2, 3});
  uint8_t identity[6] = {0x44, 0x00, 0x01, 0x02, 0x03, 0x40};
  EXPECT_EQ(set(8, 9, 0, 6, identity), status::ConfigLength);
  expectTrafficAsScripted();

  port.takeWritten();
  RegisterScript again(port);
  scriptConfigurationRead(again, {1, 2, 3});
  uint8_t out[18] = {};
  EXPECT_EQ(get(8, 9, 0, out), status::ConfigLength);
  EXPECT_EQ(port.written(), again.expected());
}

TEST_F(OperationControlTest, ComponentFieldIsRestored) {
  auto* const sentinel = reinterpret_cast<OperationControlRecord*>(0x4321);
  AttributeParams p{4, 0, 0, 0, nullptr, sentinel};
  port.answer({0x28});
  EXPECT_EQ(operation.SetAttribute(&p), status::InvalidParameter);
  EXPECT_EQ(p.component, sentinel);
  EXPECT_EQ(operation.GetAttribute(&p), status::InvalidParameter);
  EXPECT_EQ(p.component, sentinel);
}

}  // namespace
}  // namespace kvt::chip
