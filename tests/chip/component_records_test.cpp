// What the operation scripts cannot show: records handed back intact, adapters' slots, and
// the bit mirror.
#include <gtest/gtest.h>

#include "chip/bit_order.h"
#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "chip/transceiver.h"
#include "support/scripted_port.h"

namespace kvt::chip {
namespace {

TEST(BitOrderTest, MirrorsEveryBit) {
  const std::pair<uint8_t, uint8_t> cases[] = {{0x01, 0x80}, {0x80, 0x01}, {0x12, 0x48},
                                               {0x48, 0x12}, {0x3F, 0xFC}, {0xA5, 0xA5}};
  for (auto [in, out] : cases) EXPECT_EQ(reverseBits(in), out) << int(in);
}

// A caller's parameter record must come back with its own component pointer, whatever the
// outcome, because upper layers reuse records on their stack.
TEST(ComponentRecordTest, ComponentFieldIsRestoredAfterEveryCall) {
  test::ScriptedPort port;
  SerialBus bus;
  bus.setPort(&port);
  RegisterControl control;
  control.Init(&bus);
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

// Every slot of the adapter reaches the same slot of the object below it.
TEST(ComponentRecordTest, EveryTransceiverAdapterSlotForwardsToTheLowerObject) {
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
