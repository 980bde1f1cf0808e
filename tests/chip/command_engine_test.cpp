#include "chip/command_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "support/register_script.h"
#include "support/scripted_port.h"

namespace kvt::chip {
namespace {

using test::RegisterScript;
using test::ScriptedPort;

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

  CommandParams transceive(const std::vector<uint8_t>& send, uint16_t capacity) {
    sendBytes = send;
    CommandParams p{};
    p.lower = &adapter;
    p.command = 0x0C;
    p.startSend = 1;
    p.sendBuffer = sendBytes.data();
    p.sendLength = static_cast<uint16_t>(sendBytes.size());
    p.receiveBuffer = receive;
    p.receiveLength = capacity;
    return p;
  }

  // Everything a transceive with start-send does before its wait.
  void transceiveStart(const std::vector<uint8_t>& send) {
    script.read(0x01, 0x00).write(0x01, 0x0C);
    script.write(0x04, 0x21).write(0x05, 0x00).write(0x0A, 0x80);
    script.read(0x02, 0x00).write(0x02, 0x23).read(0x03, 0x00).write(0x03, 0x00);
    script.writeEach(0x09, send);
    script.modify(0x0D, 0x00, 0x80, true);
  }
  // The clean-up after the wait: enables off, then (after any answer) requests and FIFO.
  void disableEnables(uint8_t enable1, uint8_t enable2 = 0) {
    script.modify(0x02, enable1, enable1, false).modify(0x03, enable2, enable2, false);
  }
  void cleanUp(uint8_t fired1, uint8_t fired2 = 0) {
    script.write(0x04, fired1).write(0x05, fired2).write(0x0A, 0x80).write(0x04, 0x01);
  }
  // A transceive (frame 30 04) whose answer the chip reports with `fifo` in its FIFO, the
  // valid bits of the last byte and the error register; scripts the whole traffic and runs it.
  Status runWithAnswer(const std::vector<uint8_t>& fifo, uint8_t lastBits, uint8_t error,
                       uint16_t capacity, CommandParams& p) {
    const uint8_t level = static_cast<uint8_t>(fifo.size());
    transceiveStart({0x30, 0x04});
    script.read(0x04, 0x20).read(0x05, 0x00);
    disableEnables(0x23);
    script.read(0x0A, level).read(0x0C, lastBits).read(0x06, error);
    const bool nibble =
        (error & 0x15) == 0x04 && level == 1 && capacity >= 1 && (lastBits == 4 || lastBits == 0);
    if (nibble) script.read(0x09, fifo[0]);  // the error mapping fetches the nibble itself
    if (error != 0) script.write(0x06, 0x00);
    if (!nibble) {
      const size_t taken = std::min<size_t>(level, capacity);
      script.readEach(0x09, std::vector<uint8_t>(fifo.begin(), fifo.begin() + taken));
    }
    cleanUp(0x20);
    p = transceive({0x30, 0x04}, capacity);
    return ExecuteCommand(&p);
  }

  void expectTrafficAsScripted() {
    EXPECT_EQ(port.written(), script.expected());
    EXPECT_EQ(port.timedOutReads(), 0);
  }

  ScriptedPort port;
  RegisterScript script;
  SerialBus bus;
  RegisterControl control;
  UpperLink<IRegisterControl> link;
  RegisterControlRecord adapter;
  std::vector<uint8_t> sendBytes;
  uint8_t receive[64] = {};
};

TEST_F(CommandEngineTest, TransceiveTrafficIsByteExact) {
  // Spelled out once in full; the other tests build the same shape with the helpers above.
  port.answer({0x00, 0x01, 0x04, 0x05, 0x0A});  // command register read, three write echoes
  port.answer({0x00, 0x02, 0x00, 0x03});        // enables
  port.answer({0x09, 0x09, 0x00, 0x0D});        // FIFO load, start send
  port.answer({0x00, 0x00, 0x60, 0x00});        // two polling rounds
  port.answer({0x23, 0x02, 0x00, 0x03});        // enables off
  port.answer({0x02, 0x00, 0x00, 0xAA, 0xBB});  // level, bits, error, data
  port.answer({0x04, 0x05, 0x0A, 0x04});        // clean-up echoes
  CommandParams p = transceive({0x30, 0x04}, 16);
  EXPECT_EQ(ExecuteCommand(&p), status::Success);
  const std::vector<uint8_t> expected = {
      0x81,              // read the command register
      0x01, 0x0C,        // transceive is entered before the FIFO is loaded
      0x04, 0x21,        // clear the awaited requests (receive done, timer)
      0x05, 0x00,        //
      0x0A, 0x80,        // empty the FIFO
      0x82, 0x02, 0x23,  // enable 1 |= 0x23
      0x83, 0x03, 0x00,  // enable 2 |= 0
      0x09, 0x30,        // load the FIFO
      0x09, 0x04,        //
      0x8D, 0x0D, 0x80,  // start sending
      0x84, 0x85,        // first polling round: nothing yet
      0x84, 0x85,        // second: transmit done and receive done
      0x82, 0x02, 0x00,  // enables off again
      0x83, 0x03, 0x00,  //
      0x8A, 0x8C, 0x86,  // FIFO level, valid bits, error register
      0x89, 0x89,        // the answer
      0x04, 0x20,        // the request that ended the wait
      0x05, 0x00,        //
      0x0A, 0x80,        // empty the FIFO
      0x04, 0x01,        // clear the timer request
  };
  EXPECT_EQ(port.written(), expected);
  EXPECT_EQ(port.timedOutReads(), 0);
  EXPECT_EQ(p.receiveLength, 2);
  EXPECT_EQ(p.receiveLastBits, 0);
  EXPECT_EQ(receive[0], 0xAA);
  EXPECT_EQ(receive[1], 0xBB);
}

TEST_F(CommandEngineTest, TransmitNeverReadsFifoLevelOrErrorRegister) {
  script.read(0x01, 0x20).write(0x01, 0x20);  // to idle, the upper bits kept
  script.write(0x04, 0x40).write(0x05, 0x00).write(0x0A, 0x80);
  script.read(0x02, 0x00).write(0x02, 0x41).read(0x03, 0x00).write(0x03, 0x00);
  script.writeEach(0x09, {0x50, 0x00});
  script.read(0x01, 0x20).write(0x01, 0x24);  // start the transmit command
  script.read(0x04, 0x00).read(0x05, 0x00).read(0x04, 0x40).read(0x05, 0x00);
  disableEnables(0x41);
  cleanUp(0x40);
  const uint8_t frame[] = {0x50, 0x00};
  CommandParams p{};
  p.lower = &adapter;
  p.command = 0x04;
  p.startSend = 1;
  p.sendBuffer = frame;
  p.sendLength = 2;
  p.receiveLength = 7;
  EXPECT_EQ(ExecuteCommand(&p), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, 0);
  for (uint8_t byte : {uint8_t{0x8A}, uint8_t{0x86}, uint8_t{0x89}}) {
    EXPECT_EQ(std::count(port.written().begin(), port.written().end(), byte), 0);
  }
}

TEST_F(CommandEngineTest, CollectUntilTimerStillDeliversWhatArrived) {
  script.read(0x01, 0x00).write(0x01, 0x0C);
  script.write(0x04, 0x01).write(0x05, 0x00).write(0x0A, 0x80);
  script.read(0x02, 0x00).write(0x02, 0x63).read(0x03, 0x00).write(0x03, 0x00);
  script.writeEach(0x09, {0x06, 0x00});
  script.modify(0x0D, 0x00, 0x80, true);
  script.read(0x04, 0x60).read(0x05, 0x00);  // an answer came, but only the timer ends it
  script.read(0x04, 0x61).read(0x05, 0x00);
  disableEnables(0x63);
  script.read(0x0A, 0x03).read(0x0C, 0x00).read(0x06, 0x00);
  script.readEach(0x09, {0x12, 0x01, 0x00});
  cleanUp(0x01);
  const uint8_t frame[] = {0x06, 0x00};
  CommandParams p{};
  p.lower = &adapter;
  p.command = 0x80;
  p.startSend = 1;
  p.transmitOnly = 1;
  p.sendBuffer = frame;
  p.sendLength = 2;
  p.receiveBuffer = receive;
  p.receiveLength = 32;
  EXPECT_EQ(ExecuteCommand(&p), status::Timeout);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, 3);
  EXPECT_EQ(p.transmitOnly, 0);
  EXPECT_EQ(receive[0], 0x12);
  EXPECT_EQ(receive[2], 0x00);
}

TEST_F(CommandEngineTest, TimerExpiryOfAnOrdinaryTransceiveReadsNoAnswer) {
  transceiveStart({0x26});
  script.read(0x04, 0x01).read(0x05, 0x00);
  disableEnables(0x23);
  cleanUp(0x01);
  CommandParams p = transceive({0x26}, 2);
  EXPECT_EQ(ExecuteCommand(&p), status::Timeout);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, 0);
}

struct ErrorCase {
  uint8_t error;
  std::vector<uint8_t> fifo;
  uint8_t lastBits;
  Status expected;
  uint16_t expectedLength;
};

class ErrorMappingTest : public CommandEngineTest,
                         public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorMappingTest, MapsTheErrorRegisterAndStillReadsTheAnswer) {
  const ErrorCase& c = GetParam();
  CommandParams p{};
  EXPECT_EQ(runWithAnswer(c.fifo, c.lastBits, c.error, 16, p), c.expected);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, c.expectedLength);
  EXPECT_EQ(receive[0], c.fifo[0]);
}

INSTANTIATE_TEST_SUITE_P(
    ErrorRegister, ErrorMappingTest,
    ::testing::Values(
        ErrorCase{0x48, {0x88, 0x04}, 0, status::TemperatureError, 2},  // temperature wins
        ErrorCase{0x0C, {0x88, 0x04}, 0, status::CrcError, 2},          // CRC after collision
        ErrorCase{0x80, {0x88, 0x04}, 0, status::OtherError, 2},
        ErrorCase{0x08, {0x88, 0x04}, 0, status::Collision, 2},
        ErrorCase{0x0A, {0x88, 0x04}, 0, status::Collision, 2},  // collision before parity
        ErrorCase{0x02, {0x88, 0x04}, 0, status::ParityError, 2},
        ErrorCase{0x09, {0x88, 0x04}, 0, status::ProtocolError, 2},
        ErrorCase{0x11, {0x88, 0x04}, 0, status::ProtocolError, 2},  // protocol first
        ErrorCase{0x10, {0x88, 0x04}, 0, status::BufferOverflow, 2},
        ErrorCase{0x24, {0x88, 0x04}, 0, status::CrcError, 2},  // CRC before RF
        ErrorCase{0x20, {0x88, 0x04}, 0, status::RfError, 2},
        ErrorCase{0x04, {0x0A}, 4, status::AckNakNibble, 1},  // an ACK nibble
        ErrorCase{0x04, {0x5A}, 0, status::AckNakNibble, 1},  // a whole byte counts too
        ErrorCase{0x04, {0x0A}, 3, status::CrcError, 0}));    // 3 bits: no nibble

TEST_F(CommandEngineTest, IncompleteLastByteStaysBehindTheCompleteOnes) {
  CommandParams p{};
  EXPECT_EQ(runWithAnswer({0x11, 0x22, 0x03}, 4, 0x00, 16, p), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, 2);
  EXPECT_EQ(p.receiveLastBits, 4);
  EXPECT_EQ(receive[2], 0x03);
}

TEST_F(CommandEngineTest, AnswerLongerThanTheBufferIsCut) {
  receive[3] = 0xEE;
  CommandParams p{};
  EXPECT_EQ(runWithAnswer({1, 2, 3, 4, 5}, 0, 0x00, 3, p), status::BufferTooSmall);
  expectTrafficAsScripted();  // only three FIFO reads; the clean-up empties the rest
  EXPECT_EQ(p.receiveLength, 3);
  EXPECT_EQ(receive[2], 3);
  EXPECT_EQ(receive[3], 0xEE);
}

TEST_F(CommandEngineTest, PollingEndsAfterItsBoundWhenTheChipNeverRaisesTheBit) {
  // A chip whose timer does not run: 3000 polling rounds (about 1 s at 115200 bit/s, far
  // above the 100 ms of the longest timer the tool sets), then a timeout.
  transceiveStart({0x26});
  for (int round = 0; round < 3000; ++round) script.read(0x04, 0x00).read(0x05, 0x00);
  disableEnables(0x23);
  cleanUp(0x00);
  CommandParams p = transceive({0x26}, 2);
  EXPECT_EQ(ExecuteCommand(&p), status::Timeout);
  expectTrafficAsScripted();
}

TEST_F(CommandEngineTest, AnswerInTheLastAllowedRoundIsTaken) {
  transceiveStart({0x26});
  for (int round = 0; round < 2999; ++round) script.read(0x04, 0x00).read(0x05, 0x00);
  script.read(0x04, 0x20).read(0x05, 0x00);
  disableEnables(0x23);
  script.read(0x0A, 0x01).read(0x0C, 0x00).read(0x06, 0x00).read(0x09, 0x44);
  cleanUp(0x20);
  CommandParams p = transceive({0x26}, 2);
  EXPECT_EQ(ExecuteCommand(&p), status::Success);
  expectTrafficAsScripted();
  EXPECT_EQ(p.receiveLength, 1);
}

TEST_F(CommandEngineTest, ChipFallingSilentWhilePollingEndsAtOnce) {
  transceiveStart({0x26});
  script.read(0x04, 0x00).read(0x05, 0x00);
  CommandParams p = transceive({0x26}, 2);
  EXPECT_EQ(ExecuteCommand(&p), status::SerialInterface);
  EXPECT_EQ(port.timedOutReads(), 1);
  std::vector<uint8_t> expected = script.expected();
  expected.push_back(0x84);  // the read that got no answer, and nothing after it
  EXPECT_EQ(port.written(), expected);
}

TEST_F(CommandEngineTest, FailingRegisterWriteEndsTheCommandAtOnce) {
  script.read(0x01, 0x00).write(0x01, 0x0C);
  port.answer({0x7F});  // a wrong echo for the write to 0x04
  CommandParams p = transceive({0x26}, 2);
  EXPECT_EQ(ExecuteCommand(&p), status::SerialInterface);
  std::vector<uint8_t> expected = script.expected();
  expected.insert(expected.end(), {0x04, 0x21});
  EXPECT_EQ(port.written(), expected);
}

TEST_F(CommandEngineTest, CommandsWithoutWaitMasksDoNotPoll) {
  // The CRC calculation: idle, load, start, no wait and no answer.
  script.read(0x01, 0x00).write(0x01, 0x00);
  script.write(0x04, 0x00).write(0x05, 0x00).write(0x0A, 0x80);
  script.read(0x02, 0x00).write(0x02, 0x00).read(0x03, 0x00).write(0x03, 0x00);
  script.writeEach(0x09, {0x30, 0x04});
  script.read(0x01, 0x00).write(0x01, 0x03);
  disableEnables(0x00);
  cleanUp(0x00);
  const uint8_t data[] = {0x30, 0x04};
  CommandParams p{};
  p.lower = &adapter;
  p.command = 0x03;
  p.sendBuffer = data;
  p.sendLength = 2;
  EXPECT_EQ(ExecuteCommand(&p), status::Success);
  expectTrafficAsScripted();
}

TEST_F(CommandEngineTest, TargetTransmitInsideAutomaticAnticollisionKeepsTheCommand) {
  // The chip runs its automatic anticollision (0x0D): the engine does not overwrite it and,
  // with transmit-only, just sets start-send and waits for the end of the transmission.
  script.read(0x01, 0x0D);
  script.write(0x04, 0x40).write(0x05, 0x00).write(0x0A, 0x80);
  script.read(0x02, 0x00).write(0x02, 0x40).read(0x03, 0x00).write(0x03, 0x00);
  script.writeEach(0x09, {0x01});
  script.modify(0x0D, 0x00, 0x80, true);
  script.read(0x04, 0x40).read(0x05, 0x00);
  disableEnables(0x40);
  cleanUp(0x40);
  const uint8_t data[] = {0x01};
  CommandParams p{};
  p.lower = &adapter;
  p.command = 0x0C;
  p.transmitOnly = 1;
  p.sendBuffer = data;
  p.sendLength = 1;
  EXPECT_EQ(ExecuteCommand(&p), status::Success);
  expectTrafficAsScripted();
}

TEST_F(CommandEngineTest, SendingFromAMissingBufferIsRefusedWithoutTraffic) {
  CommandParams p = transceive({0x26}, 2);
  p.sendBuffer = nullptr;
  EXPECT_EQ(ExecuteCommand(&p), status::InvalidParameter);
  EXPECT_TRUE(port.written().empty());
}

TEST_F(CommandEngineTest, AnswerWithoutAReceiveBufferCountsAsTooLong) {
  transceiveStart({0x30, 0x04});
  script.read(0x04, 0x20).read(0x05, 0x00);
  disableEnables(0x23);
  script.read(0x0A, 0x02).read(0x0C, 0x00).read(0x06, 0x00);  // nothing taken from the FIFO
  cleanUp(0x20);
  CommandParams p = transceive({0x30, 0x04}, 16);
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
  transceiveStart({0x26});
  script.read(0x04, 0x01).read(0x05, 0x00);  // read once after the callback
  disableEnables(0x23);
  cleanUp(0x01);
  CommandParams p = transceive({0x26}, 2);
  p.waitCallback = &recordingCallback;
  p.waitContext = 0x12345678;
  EXPECT_EQ(ExecuteCommand(&p), status::Timeout);
  expectTrafficAsScripted();
  EXPECT_EQ(lastInfo.reserved0, 0u);
  EXPECT_EQ(lastInfo.interruptEnable1, 0x23);
  EXPECT_EQ(lastInfo.interruptEnable2, 0x00);
  EXPECT_EQ(lastInfo.waitMask1, 0x21);
  EXPECT_EQ(lastInfo.waitMask2, 0x00);
  EXPECT_EQ(lastInfo.command, 0x0C);
  EXPECT_EQ(lastInfo.lower, &adapter);
  EXPECT_EQ(lastInfo.waitContext, 0x12345678u);
}

}  // namespace
}  // namespace kvt::chip
