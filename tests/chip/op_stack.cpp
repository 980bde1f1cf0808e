#include "op_stack.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <stdexcept>
#include <utility>

#include "sim/card_frames.h"

namespace kvt::chip::test {
namespace {

constexpr uint8_t kUntouched = 0xEE;  // receive buffers are filled with it before each call

// "STATUS" and then each field as " key=value".
class Result {
 public:
  explicit Result(Status status) {
    char text[5];
    std::snprintf(text, sizeof text, "%04X", status);
    text_ = text;
  }
  Result& hex(const char* key, const Bytes& bytes) { return add(key, hexText(bytes)); }
  Result& byte(const char* key, unsigned value) { return hex(key, {static_cast<uint8_t>(value)}); }
  Result& number(const char* key, unsigned value) { return add(key, std::to_string(value)); }
  // The buffer up to its last byte the call wrote.
  Result& written(const char* key, const uint8_t* buffer, size_t size) {
    while (size > 0 && buffer[size - 1] == kUntouched) --size;
    return size ? hex(key, Bytes(buffer, buffer + size)) : *this;
  }
  operator std::string() const { return text_; }

 private:
  Result& add(const char* key, const std::string& value) {
    text_ += std::string(" ") + key + "=" + value;
    return *this;
  }
  std::string text_;
};

WaitEventInfo lastWait;
Status recordWait(const WaitEventInfo* info) {
  lastWait = *info;
  return status::Success;
}

// Passes every frame on to its target and notes what the target heard and was told.
class RecordingTarget final : public sim::RfTarget {
 public:
  RecordingTarget(std::shared_ptr<sim::RfTarget> target, OpStack& stack)
      : target_(std::move(target)), stack_(stack) {}
  std::optional<sim::AirFrame> receive(const sim::AirFrame& frame) override {
    stack_.heard.push_back(frame);
    return target_->receive(frame);
  }
  int answerSlot() const override { return target_->answerSlot(); }
  bool authenticate(const uint8_t* block12) override {
    stack_.events.push_back("authenticate " + hexText(Bytes(block12, block12 + 12)));
    return target_->authenticate(block12);
  }
  void cryptoOff() override {
    stack_.events.push_back("crypto-off");
    target_->cryptoOff();
  }
  void fieldReset() override {
    stack_.events.push_back("field-reset");
    target_->fieldReset();
  }

 private:
  std::shared_ptr<sim::RfTarget> target_;
  OpStack& stack_;
};

// The frame's bytes, its bit count when the last byte is incomplete, its transmit mode.
std::string rawFrame(const sim::AirFrame& frame) {
  std::string text = hexText(frame.bytes);
  if (frame.bitCount != 8 * frame.bytes.size()) text += "/" + std::to_string(frame.bitCount);
  return frame.txMode ? text + " mode=" + hexText({frame.txMode}) : text;
}

std::string joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : " | ") + part;
  return text.empty() ? "nothing" : text;
}

}  // namespace

OpStack::OpStack() : adapter_(MakeRegisterControlAdapter()) {
  bus.setPort(&scripted);
  control.Init(&bus);
  setInitiator(1);
  operation.Init(&control);
  korvex.Init(&transceiver, scratch_);
  link_.lowerObject = &control;
  adapter_.callingObject = &link_;
}

void OpStack::useSimulatedChip(uint8_t version) {
  chip = std::make_unique<sim::Kv380>(sim::ChipConfig{version});
  simulated = std::make_unique<sim::SimulatedPort>(*chip);
  simulated->setTracing(true);
  bus.setPort(simulated.get());
}

void OpStack::addTarget(std::shared_ptr<sim::RfTarget> target) {
  chip->field().add(std::make_shared<RecordingTarget>(std::move(target), *this));
}

void OpStack::setInitiator(uint8_t initiator) {
  transceiver.Init(&control, initiator);
  iso.Init(&control, initiator);
  polling.Init(&control, initiator);
}

std::string OpStack::run(const std::string& op, const OpArgs& args) {
  if (op == "card-image") return cardImageText(args);
  if (card) return cardOp(op, args);
  static const std::set<std::string> kLooks{"heard", "heard-raw",     "events",    "peek",    "r",
                                            "drain", "configuration", "line-rate", "elapsed", "ri"};
  if (kLooks.count(op)) return simulatedChip(op, args);
  if (!chip) return operate(op, args);
  simulated->takeTrace();
  const std::string result = operate(op, args);
  return simulated->takeTrace().empty() ? result + " (no line traffic)" : result;
}

// Looks at the simulated chip and its field, and register accesses of a host wired to it.
std::string OpStack::simulatedChip(const std::string& op, const OpArgs& args) {
  if (op == "peek") return "value=" + hexText({chip->peek(args.byte(0))});
  if (op == "r") return hexText({chip->readRegister(args.byte(0))});
  if (op == "drain") {  // the FIFO's level, then as many reads
    Bytes fifo;
    for (int n = chip->readRegister(0x0A); n > 0; --n) fifo.push_back(chip->readRegister(0x09));
    return hexText(fifo);
  }
  if (op == "configuration")
    return hexText(Bytes(chip->commandUnit().configuration().begin(),
                         chip->commandUnit().configuration().end()));
  if (op == "line-rate") return std::to_string(chip->lineRate());
  if (op == "elapsed") {  // the chip's time since the last look, in microseconds
    const auto since = chip->now() - std::exchange(lastLook_, chip->now());
    return std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(since).count()) +
           " us";
  }
  if (op == "ri") {
    const auto ri = simulated->ringIndicator();
    return ri ? (*ri ? "on" : "off") : "unknown";
  }
  if (op == "events") return joined(std::exchange(events, {}));
  std::vector<std::string> frames;
  for (const sim::AirFrame& frame : std::exchange(heard, {})) {  // CRC stripped where right
    frames.push_back(op == "heard-raw" ? rawFrame(frame)
                                       : hexText(sim::payloadIfCrcOk(frame).value_or(frame.bytes)));
  }
  return joined(frames);
}

std::string OpStack::operate(const std::string& op, const OpArgs& args) {
  if (op == "command") return command(args);
  if (op == "version") return Result(status::Success).byte("version", operation.version());
  if (op == "korvex" || op == "exchange" || op == "two-phase") return korvexCommand(op, args);
  if (op == "set-attr" || op == "get-attr") return attributes(op, args);
  if (op == "request" || op == "anticollision" || op == "select" || op == "halt") {
    return typeA(op, args);
  }
  if (op == "transceive" || op == "receive" || op == "transmit" || op == "authenticate" ||
      op == "poll") {
    return frames(op, args);
  }
  return registers(op, args);
}

std::string OpStack::registers(const std::string& op, const OpArgs& args) {
  if (op == "set" || op == "get") {
    RegisterParams p{args.byte(0), op == "set" ? args.byte(1) : uint8_t{0}, nullptr};
    const Status s = op == "set" ? control.SetRegister(&p) : control.GetRegister(&p);
    return op == "set" ? Result(s) : Result(s).byte("value", p.value);
  }
  if (op == "modify") {
    ModifyRegisterParams p{args.byte(0), args.byte(1), args.byte(2), nullptr};
    return Result(control.ModifyRegister(&p));
  }
  if (op == "set-multi" || op == "get-multi") {
    uint8_t buffer[256];
    std::fill(std::begin(buffer), std::end(buffer), kUntouched);
    const Bytes data = args.positionalBytes(1);
    std::copy(data.begin(), data.end(), buffer);
    const bool set = op == "set-multi";
    RegisterMultipleParams p{args.byte(0),
                             static_cast<uint16_t>(set ? data.size() : args.number("n", 0)), buffer,
                             nullptr};
    const Status s = set ? control.SetRegisterMultiple(&p) : control.GetRegisterMultiple(&p);
    return set ? Result(s) : Result(s).written("values", buffer, sizeof buffer);
  }
  throw std::invalid_argument("unknown operation " + op);
}

// The command engine on a record shaped like RegisterControl's, as every component calls it.
std::string OpStack::command(const OpArgs& args) {
  const Bytes send = args.bytes("send");
  uint8_t receive[64];
  std::fill(std::begin(receive), std::end(receive), kUntouched);
  CommandParams p{};
  p.lower = &adapter_;
  p.clock = &stillClock;  // only the polling rounds bound a wait
  p.command = args.byte(0);
  p.startSend = 1;
  p.transmitOnly = args.has("transmit-only") ? 1 : 0;
  p.sendBuffer = args.has("no-send-buffer") ? nullptr : send.data();
  p.sendLength = static_cast<uint16_t>(send.size());
  p.receiveBuffer = args.has("no-receive-buffer") ? nullptr : receive;
  p.receiveLength = static_cast<uint16_t>(args.number("cap", 0));
  if (args.has("callback")) {
    p.waitCallback = &recordWait;
    p.waitContext = static_cast<uint32_t>(args.number("callback", 0));
  }
  Result r(ExecuteCommand(&p));
  r.number("len", p.receiveLength).number("bits", p.receiveLastBits);
  r.written("rx", receive, sizeof receive);
  if (p.transmitOnly) r.number("transmit-only", p.transmitOnly);
  if (args.has("callback")) {
    r.byte("enable1", lastWait.interruptEnable1).byte("mask1", lastWait.waitMask1);
    r.byte("code", lastWait.command).number("context", lastWait.waitContext);
    r.number("own-record", lastWait.lower == &adapter_);
  }
  return r;
}

std::string OpStack::frames(const std::string& op, const OpArgs& args) {
  Bytes frame = args.positionalBytes(0);
  uint8_t receive[128];
  std::fill(std::begin(receive), std::end(receive), kUntouched);
  const auto cap = static_cast<uint16_t>(args.number("cap", 0));
  if (op == "transceive") {
    TransceiveParams p{frame.data(), static_cast<uint16_t>(frame.size()), receive, cap, nullptr};
    return Result(transceiver.Transceive(&p))
        .number("len", p.receiveLength)
        .written("rx", receive, sizeof receive);
  }
  if (op == "poll") {
    PollingParams p{frame.data(), static_cast<uint16_t>(frame.size()), receive, cap, nullptr};
    const Status s = polling.Poll(&p);
    Result r(s);
    r.number("len", p.responseLength);
    const bool delivered = s == status::Success && p.responseLength > 0;
    return delivered ? r.hex("rx", Bytes(receive, receive + p.responseLength)) : r;
  }
  if (op == "receive") {
    FrameParams p{receive, cap, nullptr};
    return Result(transceiver.Receive(&p))
        .number("len", p.length)
        .written("rx", receive, sizeof receive);
  }
  frame.resize(args.number("len", static_cast<int>(frame.size())));
  FrameParams p{frame.data(), static_cast<uint16_t>(frame.size()), nullptr};
  return Result(op == "transmit" ? transceiver.Transmit(&p) : transceiver.Authenticate(&p));
}

std::string OpStack::typeA(const std::string& op, const OpArgs& args) {
  if (op == "request") {
    uint8_t atqa[2] = {0xFF, 0xFF};
    RequestParams p{args.byte(0), atqa, nullptr};
    return Result(iso.RequestA(&p)).hex("atqa", Bytes(atqa, atqa + 2));
  }
  if (op == "halt") {
    Bytes frame = args.positionalBytes(0);
    HaltParams p{frame.empty() ? nullptr : frame.data(), static_cast<uint16_t>(frame.size()),
                 nullptr};
    return Result(iso.HaltA(&p));
  }
  if (args.has("serial")) {
    std::fill(std::begin(serial_), std::end(serial_), 0);
    const Bytes serial = args.bytes("serial");
    std::copy(serial.begin(), serial.end(), serial_);
  }
  AnticollisionParams p{0x93, serial_, static_cast<uint8_t>(args.number("known", 0)),
                        0,    0,       nullptr};
  const Status s = op == "select" ? iso.Select(&p) : iso.AnticollisionSelect(&p);
  Result r(s);
  const size_t levels = std::clamp<size_t>((p.knownBits + 31) / 32, 1, 3);
  r.hex("serial", Bytes(serial_, serial_ + 4 * levels));
  return r.number("known", p.knownBits).byte("sak", p.sak).number("collision", p.collisionFlags);
}

std::string OpStack::attributes(const std::string& op, const OpArgs& args) {
  uint8_t buffer[64];
  std::fill(std::begin(buffer), std::end(buffer), kUntouched);
  const Bytes in = args.bytes("buffer");
  std::copy(in.begin(), in.end(), buffer);
  uint8_t* const bufferArg = args.has("buffer") ? buffer : nullptr;
  const auto number = [&](size_t i) {
    return static_cast<uint8_t>(
        i < args.positional.size() ? std::stoi(args.positional[i], nullptr, 0) : 0);
  };
  AttributeParams p{number(0), number(1), number(2), number(3), bufferArg, nullptr};
  const Status s = op == "set-attr" ? operation.SetAttribute(&p) : operation.GetAttribute(&p);
  Result r(s);
  r.byte("value1", p.value1).byte("value2", p.value2);
  return bufferArg ? r.written("buffer", buffer, sizeof buffer) : r;
}

std::string OpStack::korvexCommand(const std::string& op, const OpArgs& args) {
  uint8_t data[32];
  std::fill(std::begin(data), std::end(data), kUntouched);
  const Bytes in = args.bytes("data");
  std::copy(in.begin(), in.end(), data);
  KorvexCommandParams p{args.byte(0),
                        args.byte(1),
                        args.has("no-data") ? nullptr : data,
                        static_cast<uint8_t>(args.number("len", static_cast<int>(in.size()))),
                        static_cast<uint8_t>(args.number("flags", 0)),
                        nullptr};
  const Status s = op == "korvex"     ? korvex.KorvexCommand(&p)
                   : op == "exchange" ? korvex.Exchange(&p)
                                      : korvex.TwoPhaseExchange(&p);
  Result r(s);
  r.number("len", p.dataLength);
  if (p.data == nullptr) return r.number("data-cleared", 1);
  return p.dataLength ? r.hex("data", Bytes(data, data + p.dataLength)) : r;
}

}  // namespace kvt::chip::test
