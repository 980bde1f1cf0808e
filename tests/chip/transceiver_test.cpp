#include "chip/transceiver.h"

#include <gtest/gtest.h>

#include <vector>

#include "chip/command_engine.h"
#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "support/register_script.h"
#include "support/scripted_port.h"

namespace kvt::chip {
namespace {

using test::RegisterScript;
using test::ScriptedPort;

class TransceiverTest : public ::testing::Test {
 protected:
  TransceiverTest() : script(port) {
    bus.setPort(&port);
    control.Init(&bus);
    transceiver.Init(&control, 1);
  }

  // Engine traffic before the wait for a command started through the command register.
  void commandStart(uint8_t command, uint8_t wait1, uint8_t enable1,
                    const std::vector<uint8_t>& send) {
    script.read(0x01, 0x00).write(0x01, 0x00);
    script.write(0x04, wait1).write(0x05, 0x00).write(0x0A, 0x80);
    script.read(0x02, 0x00).write(0x02, enable1).read(0x03, 0x00).write(0x03, 0x00);
    script.writeEach(0x09, send);
    script.read(0x01, 0x00).write(0x01, command);
  }
  void finish(uint8_t enable1, uint8_t fired1) {
    script.modify(0x02, enable1, enable1, false).modify(0x03, 0x00, 0x00, false);
    script.write(0x04, fired1).write(0x05, 0x00).write(0x0A, 0x80).write(0x04, 0x01);
  }
  void authenticateTraffic(const std::vector<uint8_t>& block, uint8_t status2,
                           uint8_t status2Before = 0x00) {
    script.modify(0x08, status2Before, 0x08, false);
    commandStart(0x0E, 0x11, 0x13, block);
    script.read(0x04, 0x10).read(0x05, 0x00);
    finish(0x13, 0x10);
    script.read(0x08, status2);
  }
  void expectTrafficAsScripted() {
    EXPECT_EQ(port.written(), script.expected());
    EXPECT_EQ(port.timedOutReads(), 0);
  }

  ScriptedPort port;
  RegisterScript script;
  SerialBus bus;
  RegisterControl control;
  Transceiver transceiver;
};

TransceiverRecord* const kSentinel = reinterpret_cast<TransceiverRecord*>(0x1234);

TEST_F(TransceiverTest, TransceiveReturnsTheAnswerAndRestoresTheComponentField) {
  script.read(0x01, 0x00).write(0x01, 0x0C);
  script.write(0x04, 0x21).write(0x05, 0x00).write(0x0A, 0x80);
  script.read(0x02, 0x00).write(0x02, 0x23).read(0x03, 0x00).write(0x03, 0x00);
  script.writeEach(0x09, {0x30, 0x04});
  script.modify(0x0D, 0x00, 0x80, true);
  script.read(0x04, 0x20).read(0x05, 0x00);
  script.modify(0x02, 0x23, 0x23, false).modify(0x03, 0x00, 0x00, false);
  script.read(0x0A, 0x03).read(0x0C, 0x04).read(0x06, 0x00).readEach(0x09, {1, 2, 3});
  script.write(0x04, 0x20).write(0x05, 0x00).write(0x0A, 0x80).write(0x04, 0x01);

  const uint8_t frame[] = {0x30, 0x04};
  uint8_t answer[16] = {};
  TransceiveParams p{frame, 2, answer, sizeof answer, kSentinel};
  EXPECT_EQ(transceiver.Transceive(&p), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, 2);  // complete bytes; the 4 valid bits are not returned
  EXPECT_EQ(answer[2], 3);
  EXPECT_EQ(p.component, kSentinel);
}

TEST_F(TransceiverTest, ComponentFieldIsRestoredAfterAFailure) {
  // Silent chip: the first register read fails.
  uint8_t frame[] = {0x26};
  TransceiveParams p{frame, 1, frame, 1, kSentinel};
  EXPECT_EQ(transceiver.Transceive(&p), status::SerialInterface);
  EXPECT_EQ(p.component, kSentinel);
}

TEST_F(TransceiverTest, TransmitInReaderModeUsesTheTransmitCommand) {
  commandStart(0x04, 0x40, 0x41, {0x50, 0x00});
  script.read(0x04, 0x40).read(0x05, 0x00);
  finish(0x41, 0x40);
  uint8_t frame[] = {0x50, 0x00};
  FrameParams p{frame, 2, nullptr};
  EXPECT_EQ(transceiver.Transmit(&p), status::Success);
  expectTrafficAsScripted();
}

TEST_F(TransceiverTest, ReceiveInReaderModeReplacesLengthByTheBytesReceived) {
  commandStart(0x08, 0x21, 0x23, {});
  script.read(0x04, 0x20).read(0x05, 0x00);
  script.modify(0x02, 0x23, 0x23, false).modify(0x03, 0x00, 0x00, false);
  script.read(0x0A, 0x02).read(0x0C, 0x00).read(0x06, 0x00).readEach(0x09, {0xC1, 0xC2});
  script.write(0x04, 0x20).write(0x05, 0x00).write(0x0A, 0x80).write(0x04, 0x01);
  uint8_t buffer[8] = {};
  FrameParams p{buffer, sizeof buffer, nullptr};
  EXPECT_EQ(transceiver.Receive(&p), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(p.length, 2);
  EXPECT_EQ(buffer[1], 0xC2);
}

const std::vector<uint8_t> kAuthBlock = {0x60, 0x04, 0x5A, 0x17, 0xC3, 0xE9,
                                         0x0B, 0x42, 0x11, 0x22, 0x33, 0x44};

TEST_F(TransceiverTest, AuthenticateSucceedsWhenTheChipSwitchedItsCryptoUnitOn) {
  authenticateTraffic(kAuthBlock, 0x08);
  std::vector<uint8_t> block = kAuthBlock;
  FrameParams p{block.data(), 12, nullptr};
  EXPECT_EQ(transceiver.Authenticate(&p), status::Success);
  expectTrafficAsScripted();
}

TEST_F(TransceiverTest, AuthenticateFailsWhenTheCryptoBitStaysClear) {
  authenticateTraffic(kAuthBlock, 0xF7);
  std::vector<uint8_t> block = kAuthBlock;
  FrameParams p{block.data(), 12, nullptr};
  EXPECT_EQ(transceiver.Authenticate(&p), status::AuthenticationFailed);
  expectTrafficAsScripted();
}

// After a successful authentication the crypto bit is still on; a following authentication
// with a wrong key must not read that stale bit as success.
TEST_F(TransceiverTest, AuthenticateClearsAStaleCryptoBitFirst) {
  authenticateTraffic(kAuthBlock, 0x00, 0x08);
  std::vector<uint8_t> block = kAuthBlock;
  FrameParams p{block.data(), 12, nullptr};
  EXPECT_EQ(transceiver.Authenticate(&p), status::AuthenticationFailed);
  expectTrafficAsScripted();
}

TEST_F(TransceiverTest, AuthenticateNeedsExactlyTwelveBytes) {
  uint8_t block[12] = {};
  FrameParams p{block, 11, nullptr};
  EXPECT_EQ(transceiver.Authenticate(&p), status::InvalidParameter);
  EXPECT_TRUE(port.written().empty());
}

TEST_F(TransceiverTest, TargetModeRefusesReaderOperations) {
  transceiver.Init(&control, 0);
  uint8_t block[12] = {};
  FrameParams auth{block, 12, nullptr};
  EXPECT_EQ(transceiver.Authenticate(&auth), status::WaitFailed);
  TransceiveParams t{block, 1, block, 1, nullptr};
  EXPECT_EQ(transceiver.Transceive(&t), status::WaitFailed);
  EXPECT_TRUE(port.written().empty());

  // A target transmits only while the chip is in its transceive command.
  script.read(0x01, 0x08);
  FrameParams frame{block, 1, nullptr};
  EXPECT_EQ(transceiver.Transmit(&frame), status::WaitFailed);
  expectTrafficAsScripted();
}

TEST_F(TransceiverTest, TargetTransmitSendsWithinTheRunningTransceive) {
  transceiver.Init(&control, 0);
  script.read(0x01, 0x0C);  // the transmit's own check
  script.read(0x01, 0x0C);  // the engine leaves the running transceive alone
  script.write(0x04, 0x40).write(0x05, 0x00).write(0x0A, 0x80);
  script.read(0x02, 0x00).write(0x02, 0x40).read(0x03, 0x00).write(0x03, 0x00);
  script.writeEach(0x09, {0xD5});
  script.modify(0x0D, 0x00, 0x80, true);
  script.read(0x04, 0x40).read(0x05, 0x00);
  finish(0x40, 0x40);
  uint8_t frame[] = {0xD5};
  FrameParams p{frame, 1, nullptr};
  EXPECT_EQ(transceiver.Transmit(&p), status::Success);
  expectTrafficAsScripted();
}

Status countingCallback(const WaitEventInfo* info) { return info->waitContext == 77 ? 0 : 0x0A; }

TEST_F(TransceiverTest, StoredWaitCallbackIsHandedToTheEngine) {
  WaitCallbackParams<TransceiverRecord> w{&countingCallback, 77, nullptr};
  EXPECT_EQ(transceiver.SetWaitEventCallback(&w), status::Success);
  commandStart(0x04, 0x40, 0x41, {0x01});
  script.read(0x04, 0x40).read(0x05, 0x00);  // one read pair after the callback
  finish(0x41, 0x40);
  uint8_t frame[] = {0x01};
  FrameParams p{frame, 1, nullptr};
  EXPECT_EQ(transceiver.Transmit(&p), status::Success);
  expectTrafficAsScripted();
}

// An ITransceiver that records which slot was called.
class FakeTransceiver final : public ITransceiver {
 public:
  Status SetWaitEventCallback(WaitCallbackParams<TransceiverRecord>*) override { return 0; }
  Status Transceive(TransceiveParams* p) override {
    lastLength = p->sendLength;
    return 0x0011;
  }
  Status Transmit(FrameParams*) override { return 0; }
  Status Receive(FrameParams*) override { return 0; }
  Status Authenticate(FrameParams* p) override {
    lastLength = p->length;
    return 0x0044;
  }
  uint16_t lastLength = 0;
};

TEST(TransceiverAdapterTest, FillsOnlyTransceiveAndAuthenticate) {
  TransceiverRecord adapter = MakeTransceiverAdapter();
  EXPECT_EQ(adapter.SetWaitEventCallback, nullptr);
  EXPECT_EQ(adapter.Transmit, nullptr);
  EXPECT_EQ(adapter.Receive, nullptr);
  EXPECT_EQ(adapter.members, nullptr);
  EXPECT_EQ(adapter.lower, nullptr);

  FakeTransceiver lower;
  UpperLink<ITransceiver> upper{&lower};
  adapter.callingObject = &upper;
  uint8_t frame[12] = {};
  TransceiveParams t{frame, 3, frame, 12, &adapter};
  EXPECT_EQ(adapter.Transceive(&t), 0x0011);
  EXPECT_EQ(lower.lastLength, 3);
  FrameParams f{frame, 12, &adapter};
  EXPECT_EQ(adapter.Authenticate(&f), 0x0044);
  EXPECT_EQ(lower.lastLength, 12);
}

}  // namespace
}  // namespace kvt::chip
