#include "chip/command_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "support/scripted_port.h"
#include "transceive_script.h"

namespace kvt::chip {
namespace {

using Bytes = std::vector<uint8_t>;

// ExecuteCommand runs on a RegisterControl-shaped record: here the adapter every command
// component embeds, forwarding to a real RegisterControl on a scripted line.
class CommandEngineTest : public ::testing::Test {
 protected:
  CommandEngineTest() : script(port), adapter(MakeRegisterControlAdapter()) {
    bus.setPort(&port);
    control.Init(&bus);
    link.lowerObject = &control;
    adapter.callingObject = &link;
  }

  CommandParams command(uint8_t code, const Bytes& send, uint16_t capacity) {
    sendBytes = send;
    CommandParams p{};
    p.lower = &adapter;
    p.clock = &clock;  // never advanced: only the polling rounds bound a wait here
    p.command = code;
    p.startSend = 1;
    p.sendBuffer = sendBytes.data();
    p.sendLength = static_cast<uint16_t>(sendBytes.size());
    p.receiveBuffer = receive;
    p.receiveLength = capacity;
    return p;
  }
  CommandParams transceive(const Bytes& send, uint16_t capacity) {
    return command(0x0C, send, capacity);
  }
  void expectTrafficAsScripted() {
    EXPECT_EQ(port.written(), script.expected());
    EXPECT_EQ(port.timedOutReads(), 0);
  }

  platform::ManualClock clock;
  test::ScriptedPort port;
  test::TransceiveScript script;
  SerialBus bus;
  RegisterControl control;
  UpperLink<IRegisterControl> link;
  RegisterControlRecord adapter;
  Bytes sendBytes;
  uint8_t receive[64] = {};
};

TEST_F(CommandEngineTest, TransceiveTrafficIsByteExact) {
  // Command register read and transceive entered before the FIFO is loaded; awaited requests
  // (receive done, timer) cleared, FIFO emptied, enables 0x23 set; frame loaded; start-send.
  script.start({0x30, 0x04});
  // Two polling rounds: nothing yet, then transmit done and receive done. Enables off again;
  // FIFO level, valid bits, error register and the answer read; the request that ended the
  // wait cleared, FIFO emptied, timer request cleared.
  script.poll(0x00).poll(0x60).enablesOff().answer({0xAA, 0xBB}, 0, 0, 16).cleanUp(0x20);
  CommandParams p = transceive({0x30, 0x04}, 16);
  EXPECT_EQ(ExecuteCommand(&p), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, 2);
  EXPECT_EQ(p.receiveLastBits, 0);
  EXPECT_EQ(Bytes(receive, receive + 2), (Bytes{0xAA, 0xBB}));
}

TEST_F(CommandEngineTest, TransmitNeverReadsFifoLevelOrErrorRegister) {
  script.read(0x01, 0x20).write(0x01, 0x20);  // to idle, the upper bits kept
  script.write(0x04, 0x40).write(0x05, 0x00).write(0x0A, 0x80);
  script.read(0x02, 0x00).write(0x02, 0x41).read(0x03, 0x00).write(0x03, 0x00);
  script.writeEach(0x09, {0x50, 0x00});
  script.read(0x01, 0x20).write(0x01, 0x24);  // start the transmit command
  script.read(0x04, 0x00).read(0x05, 0x00).read(0x04, 0x40).read(0x05, 0x00);
  script.modify(0x02, 0x41, 0x41, false).modify(0x03, 0x00, 0x00, false);
  script.cleanUp(0x40);
  CommandParams p = command(0x04, {0x50, 0x00}, 7);
  EXPECT_EQ(ExecuteCommand(&p), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, 0);
}

TEST_F(CommandEngineTest, CollectUntilTimerStillDeliversWhatArrived) {
  script.read(0x01, 0x00).write(0x01, 0x0C);
  script.write(0x04, 0x01).write(0x05, 0x00).write(0x0A, 0x80);
  script.read(0x02, 0x00).write(0x02, 0x63).read(0x03, 0x00).write(0x03, 0x00);
  script.writeEach(0x09, {0x06, 0x00});
  script.modify(0x0D, 0x00, 0x80, true);
  script.poll(0x60).poll(0x61);  // an answer came, but only the timer ends the wait
  script.modify(0x02, 0x63, 0x63, false).modify(0x03, 0x00, 0x00, false);
  script.answer({0x12, 0x01, 0x00}, 0, 0, 32).cleanUp(0x01);
  CommandParams p = command(0x80, {0x06, 0x00}, 32);
  p.transmitOnly = 1;
  EXPECT_EQ(ExecuteCommand(&p), status::Timeout);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, 3);
  EXPECT_EQ(p.transmitOnly, 0);
  EXPECT_EQ(Bytes(receive, receive + 3), (Bytes{0x12, 0x01, 0x00}));
}

TEST_F(CommandEngineTest, ErrorRegisterMappingAndAnswerReading) {
  struct Case {
    const char* name;
    uint8_t error;
    Bytes fifo;
    uint8_t lastBits;
    uint16_t capacity;
    Status expected;
    uint16_t length, lengthBits;
  };
  const Bytes two{0x88, 0x04};
  const Case cases[] = {
      {"temperature wins", 0x48, two, 0, 16, status::TemperatureError, 2, 0},
      {"CRC after collision", 0x0C, two, 0, 16, status::CrcError, 2, 0},
      {"other error", 0x80, two, 0, 16, status::OtherError, 2, 0},
      {"collision", 0x08, two, 0, 16, status::Collision, 2, 0},
      {"collision before parity", 0x0A, two, 0, 16, status::Collision, 2, 0},
      {"parity", 0x02, two, 0, 16, status::ParityError, 2, 0},
      {"protocol first", 0x11, two, 0, 16, status::ProtocolError, 2, 0},
      {"overflow", 0x10, two, 0, 16, status::BufferOverflow, 2, 0},
      {"CRC before RF", 0x24, two, 0, 16, status::CrcError, 2, 0},
      {"RF", 0x20, two, 0, 16, status::RfError, 2, 0},
      {"ACK nibble", 0x04, {0x0A}, 4, 16, status::AckNakNibble, 1, 4},
      {"whole byte as nibble", 0x04, {0x5A}, 0, 16, status::AckNakNibble, 1, 0},
      {"3 bits: no nibble", 0x04, {0x0A}, 3, 16, status::CrcError, 0, 3},
      {"incomplete last byte", 0x00, {0x11, 0x22, 0x03}, 4, 16, status::Success, 2, 4},
      {"longer than the buffer", 0x00, {1, 2, 3, 4, 5}, 0, 3, status::BufferTooSmall, 3, 0},
  };
  for (const Case& c : cases) {
    std::fill(std::begin(receive), std::end(receive), 0xEE);
    script.start({0x30, 0x04}).poll(0x20).enablesOff();
    script.answer(c.fifo, c.lastBits, c.error, c.capacity).cleanUp(0x20);
    CommandParams p = transceive({0x30, 0x04}, c.capacity);
    EXPECT_EQ(ExecuteCommand(&p), c.expected) << c.name;
    expectTrafficAsScripted();
    EXPECT_EQ(p.receiveLength, c.length) << c.name;
    EXPECT_EQ(p.receiveLastBits, c.lengthBits) << c.name;
    // Every byte taken from the FIFO is delivered, the incomplete last one too; the nibble
    // lands in the first byte; nothing is written beyond the capacity.
    const size_t taken = std::min<size_t>(c.fifo.size(), c.capacity);
    EXPECT_EQ(Bytes(receive, receive + taken), Bytes(c.fifo.begin(), c.fifo.begin() + taken))
        << c.name;
    EXPECT_EQ(receive[taken], 0xEE) << c.name;
  }
}

TEST_F(CommandEngineTest, PollingEndsAfterItsBoundWhenTheChipNeverRaisesTheBit) {
  // A chip whose timer does not run, on a line fast enough that the time limit is not
  // reached: 3000 polling rounds, then a timeout. An answer in the last allowed round is
  // still taken.
  for (bool answerInLastRound : {false, true}) {
    script.start({0x26});
    for (int round = 0; round < 2999; ++round) script.poll(0x00);
    if (answerInLastRound) {
      script.poll(0x20).enablesOff().answer({0x44}, 0, 0, 2).cleanUp(0x20);
    } else {
      script.poll(0x00).enablesOff().cleanUp(0x00);
    }
    CommandParams p = transceive({0x26}, 2);
    EXPECT_EQ(ExecuteCommand(&p), answerInLastRound ? status::Success : status::Timeout);
    expectTrafficAsScripted();
    EXPECT_EQ(p.receiveLength, answerInLastRound ? 1 : 0);
  }
}

TEST_F(CommandEngineTest, FailingRegisterAccessEndsTheCommandAtOnce) {
  script.start({0x26}).poll(0x00);  // then the chip falls silent while polling
  CommandParams p = transceive({0x26}, 2);
  EXPECT_EQ(ExecuteCommand(&p), status::SerialInterface);
  EXPECT_EQ(port.timedOutReads(), 1);
  Bytes expected = script.expected();
  expected.push_back(0x84);  // the read that got no answer, and nothing after it
  EXPECT_EQ(port.takeWritten(), expected);

  test::RegisterScript again(port);
  again.read(0x01, 0x00).write(0x01, 0x0C);
  port.answer({0x7F});  // a wrong echo for the write to 0x04
  p = transceive({0x26}, 2);
  EXPECT_EQ(ExecuteCommand(&p), status::SerialInterface);
  expected = again.expected();
  expected.insert(expected.end(), {0x04, 0x21});
  EXPECT_EQ(port.written(), expected);
}

TEST_F(CommandEngineTest, MissingBuffers) {
  CommandParams p = transceive({0x26}, 2);
  p.sendBuffer = nullptr;
  EXPECT_EQ(ExecuteCommand(&p), status::InvalidParameter);
  EXPECT_TRUE(port.written().empty());

  // An answer without a receive buffer counts as too long: nothing is taken from the FIFO.
  script.start({0x30, 0x04}).poll(0x20).enablesOff().answer({1, 2}, 0, 0, 0).cleanUp(0x20);
  p = transceive({0x30, 0x04}, 16);
  p.receiveBuffer = nullptr;
  EXPECT_EQ(ExecuteCommand(&p), status::BufferTooSmall);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, 0);
}

WaitEventInfo lastInfo;
Status recordingCallback(const WaitEventInfo* info) {
  lastInfo = *info;
  return status::Success;
}

TEST_F(CommandEngineTest, WaitCallbackReplacesPollingAndTheTimerBitStillCounts) {
  script.start({0x26}).poll(0x01).enablesOff().cleanUp(0x01);  // read once after the callback
  CommandParams p = transceive({0x26}, 2);
  p.waitCallback = &recordingCallback;
  p.waitContext = 0x12345678;
  EXPECT_EQ(ExecuteCommand(&p), status::Timeout);
  expectTrafficAsScripted();
  EXPECT_EQ(lastInfo.interruptEnable1, 0x23);
  EXPECT_EQ(lastInfo.waitMask1, 0x21);
  EXPECT_EQ(lastInfo.command, 0x0C);
  EXPECT_EQ(lastInfo.lower, &adapter);
  EXPECT_EQ(lastInfo.waitContext, 0x12345678u);
}

}  // namespace
}  // namespace kvt::chip
