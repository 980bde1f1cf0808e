#include "chip/transceiver.h"

#include <gtest/gtest.h>

#include <vector>

#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "support/scripted_port.h"
#include "transceive_script.h"

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;

class TransceiverTest : public ::testing::Test {
 protected:
  TransceiverTest() : script(port) {
    bus.setPort(&port);
    control.Init(&bus);
    transceiver.Init(&control, 1);
  }

  void expectTrafficAsScripted() {
    EXPECT_EQ(port.written(), script.expected());
    EXPECT_EQ(port.timedOutReads(), 0);
  }

  test::ScriptedPort port;
  test::TransceiveScript script;
  SerialBus bus;
  RegisterControl control;
  Transceiver transceiver;
};

TEST_F(TransceiverTest, ReaderModeTransceiveAndReceive) {
  script.transceive({0x30, 0x04}, 0x00, {1, 2, 3}, 4, 0x00, 16);
  const uint8_t frame[] = {0x30, 0x04};
  uint8_t answer[16] = {};
  TransceiveParams t{frame, 2, answer, sizeof answer, nullptr};
  EXPECT_EQ(transceiver.Transceive(&t), status::Success);
  EXPECT_EQ(t.receiveLength, 2);  // complete bytes; the 4 valid bits are not returned
  EXPECT_EQ(answer[2], 3);

  // The receive command, started through the command register once its set-up is done.
  script.read(0x01, 0x00).write(0x01, 0x00);
  script.write(0x04, 0x21).write(0x05, 0x00).write(0x0A, 0x80);
  script.read(0x02, 0x00).write(0x02, 0x23).read(0x03, 0x00).write(0x03, 0x00);
  script.read(0x01, 0x00).write(0x01, 0x08);
  script.poll(0x20).enablesOff().answer({0xC1, 0xC2}, 0, 0, 8).cleanUp(0x20);
  uint8_t buffer[8] = {};
  FrameParams receive{buffer, sizeof buffer, nullptr};
  EXPECT_EQ(transceiver.Receive(&receive), status::Success);
  EXPECT_EQ(receive.length, 2);  // the capacity is replaced by the bytes received
  EXPECT_EQ(Bytes(buffer, buffer + 2), (Bytes{0xC1, 0xC2}));
  expectTrafficAsScripted();
}

TEST_F(TransceiverTest, RefusedOperationsSendNothing) {
  uint8_t block[12] = {};
  FrameParams shortBlock{block, 11, nullptr};
  EXPECT_EQ(transceiver.Authenticate(&shortBlock), status::InvalidParameter);

  transceiver.Init(&control, 0);  // target mode: no reader operations
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
  script.poll(0x40).modify(0x02, 0x40, 0x40, false).modify(0x03, 0x00, 0x00, false);
  script.cleanUp(0x40);
  uint8_t frame[] = {0xD5};
  FrameParams p{frame, 1, nullptr};
  EXPECT_EQ(transceiver.Transmit(&p), status::Success);
  expectTrafficAsScripted();
}

// Every slot of the adapter reaches the same slot of the object below it.
TEST(TransceiverAdapterTest, EverySlotForwardsToTheLowerObject) {
  struct Recorder final : ITransceiver {
    std::vector<int> slots;
    Status SetWaitEventCallback(WaitCallbackParams<TransceiverRecord>*) override {
      return record(0);
    }
    Status Transceive(TransceiveParams*) override { return record(1); }
    Status Transmit(FrameParams*) override { return record(2); }
    Status Receive(FrameParams*) override { return record(3); }
    Status Authenticate(FrameParams*) override { return record(4); }
    Status record(int slot) {
      slots.push_back(slot);
      return static_cast<Status>(0x100 + slot);
    }
  } lower;
  UpperLink<ITransceiver> upper{&lower};
  TransceiverRecord adapter = MakeTransceiverAdapter();
  adapter.callingObject = &upper;
  WaitCallbackParams<TransceiverRecord> wait{nullptr, 0, &adapter};
  TransceiveParams transceive{nullptr, 0, nullptr, 0, &adapter};
  FrameParams frame{nullptr, 0, &adapter};
  EXPECT_EQ(adapter.SetWaitEventCallback(&wait), 0x100);
  EXPECT_EQ(adapter.Transceive(&transceive), 0x101);
  EXPECT_EQ(adapter.Transmit(&frame), 0x102);
  EXPECT_EQ(adapter.Receive(&frame), 0x103);
  EXPECT_EQ(adapter.Authenticate(&frame), 0x104);
  EXPECT_EQ(lower.slots, (std::vector<int>{0, 1, 2, 3, 4}));
}

}  // namespace
}  // namespace kvt::chip
