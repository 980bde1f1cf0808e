// Runs tests/chip/ops/*.txt: cases of chip stack operations, each on a fresh stack.
//
//   == NAME                      a new case: the stack on a scripted line, in reader mode
//   R aa vv..  W aa vv..         host reads of aa the chip answers vv, writes of vv it echoes
//   M aa old mask 1|0            a read of old and the write-back with the mask bits set/cleared
//   > bytes   < bytes            raw bytes the host sends, raw bytes the chip answers
//   do OP ARGS => RESULT         runs OP; the traffic listed since the last one must be on the
//                                line byte for byte, every answer taken, RESULT its text
//   target | reader | testchip | reversed | no-port | lost | refuse-writes-after N
//   sim [VERSION]  field OPTIONS              the simulated chip and its cards
//   do field-options OPTIONS => ERROR         the first error of the options, or "ok"
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "op_stack.h"
#include "sim/card_frames.h"
#include "sim/field_setup.h"
#include "sim/polling_target.h"

namespace kvt::chip::test {
namespace {

// The host bytes and the chip's answers of one traffic line.
void traffic(const Words& w, Bytes& host, kvt::test::ScriptedPort& chip) {
  const auto value = [&](size_t i) { return hexBytes(w.at(i)).at(0); };
  if (w[0] == ">" || w[0] == "<") {
    for (size_t i = 1; i < w.size(); ++i) {
      if (w[0] == ">") host.push_back(value(i));
      if (w[0] == "<") chip.answerByte(value(i));
    }
    return;
  }
  const uint8_t address = value(1);
  if (w[0] == "M") {
    const uint8_t old = value(2), mask = value(3);
    traffic({"R", w[1], w[2]}, host, chip);
    const uint8_t now = w.at(4) == "1" ? old | mask : old & ~mask;
    return traffic({"W", w[1], hexText({now})}, host, chip);
  }
  for (size_t i = 2; i < w.size(); ++i) {
    host.push_back(w[0] == "R" ? address | 0x80 : address);
    if (w[0] == "W") host.push_back(value(i));
    chip.answerByte(w[0] == "R" ? value(i) : address);
  }
}

// Answers every frame with the same raw frame: acknowledgements and answers of the wrong kind.
class RawAnswerTarget final : public sim::RfTarget {
 public:
  RawAnswerTarget(std::optional<sim::AirFrame> answer, bool acceptAuthentication)
      : answer_(std::move(answer)), accept_(acceptAuthentication) {}
  std::optional<sim::AirFrame> receive(const sim::AirFrame&) override { return answer_; }
  bool authenticate(const uint8_t*) override { return accept_; }

 private:
  std::optional<sim::AirFrame> answer_;
  bool accept_;
};

bool simulatedChip(const Words& w, OpStack& stack);

// Takes field options as the programs do: "" when all were taken, else the first error.
std::string parseField(const Words& args, sim::FieldSetup& setup) {
  for (size_t i = 0; i < args.size();) {
    const auto parsed = sim::parseFieldOption(setup, args, i);
    if (!parsed.error.empty()) return parsed.error;
    if (parsed.consumed == 0) return "not a field option: " + args[i];
    i += parsed.consumed;
  }
  return sim::checkFieldSetup(setup);
}

bool directive(const Words& w, OpStack& stack) {
  if (w[0] == "target" || w[0] == "reader") {
    stack.setInitiator(w[0] == "reader");
  } else if (w[0] == "testchip") {
    stack.control.setTestChipAddressing(true);
  } else if (w[0] == "reversed") {
    stack.bus.setBitReversed(true);
  } else if (w[0] == "no-port") {
    stack.bus.setPort(nullptr);
  } else if (w[0] == "lost") {
    stack.simulated ? stack.simulated->disconnect() : stack.scripted.disconnect();
  } else if (w[0] == "refuse-writes-after") {
    stack.scripted.refuseWritesAfter(std::stoi(w.at(1)));
  } else if (w[0] == "sim") {
    stack.useSimulatedChip(w.size() > 1 ? hexBytes(w[1]).at(0) : 0x28);
  } else if (w[0] == "field") {
    sim::FieldSetup setup;
    const std::string error = parseField(Words(w.begin() + 1, w.end()), setup);
    if (!error.empty()) throw std::invalid_argument(error);
    sim::RfField field;
    sim::applyFieldSetup(setup, field);
    for (const auto& target : field.targets()) stack.addTarget(target);
  } else if (!simulatedChip(w, stack) && !stack.cardDirective(w)) {
    return false;
  }
  return true;
}

// Directives of the simulated chip; a target that answers every frame the same way, a
// polling target (IDM PMM SYSTEM SLOT, a damaged answer or another length byte).
bool simulatedChip(const Words& w, OpStack& stack) {
  const auto byte = [&](size_t i) { return hexBytes(w.at(i)).at(0); };
  if (w[0] == "poke") {
    stack.chip->poke(byte(1), byte(2));
  } else if (w[0] == "chip-layout") {
    const OpArgs layout(Words(w.begin() + 1, w.end()));
    stack.simulated->hostInterface().setTestChipLayout(layout.has("testchip"));
    stack.simulated->hostInterface().setBitReversed(layout.has("reversed"));
  } else if (w[0] == "host-clock-stands-still") {  // only the polling rounds bound a wait
    stack.transceiver.setClock(&stack.stillClock);
  } else if (w[0] == "host-rate") {
    stack.simulated->setLineSettings(std::stoul(w.at(1)));
  } else if (w[0] == "w") {  // a host's writes to one register, straight to the chip
    for (size_t i = 2; i < w.size(); ++i) stack.chip->writeRegister(byte(1), byte(i));
  } else if (w[0] == "advance") {
    stack.chip->advanceTime(std::chrono::microseconds(std::stoi(w.at(1))));
  } else if (w[0] == "commit-rate") {
    stack.chip->commitLineRate();
  } else if (w[0] ==
             "raw-answer") {  // none | nibble X | crc HEX | bytes HEX [bits=N] [accept-auth]
    const OpArgs a(Words(w.begin() + 1, w.end()));
    std::optional<sim::AirFrame> frame;
    if (a.positional.at(0) != "none") {
      const Bytes bytes = hexBytes(a.positional.at(1));
      frame = w[1] == "nibble" ? sim::nibbleFrame(bytes.at(0))
              : w[1] == "crc"  ? sim::frameWithCrc(bytes)
                               : sim::AirFrame::fromBytes(bytes);
      if (a.has("bits")) frame->bitCount = static_cast<size_t>(a.number("bits", 0));
    }
    stack.addTarget(std::make_shared<RawAnswerTarget>(frame, a.has("accept-auth")));
  } else if (w[0] == "polling-target") {
    sim::PollingTarget::Id idm, pmm;
    const Bytes i = hexBytes(w.at(1)), p = hexBytes(w.at(2)), system = hexBytes(w.at(3));
    std::copy(i.begin(), i.end(), idm.begin());
    std::copy(p.begin(), p.end(), pmm.begin());
    auto target = std::make_shared<sim::PollingTarget>(idm, pmm, system.at(0) << 8 | system.at(1),
                                                       std::stoi(w.at(4)));
    const OpArgs flags(Words(w.begin() + 5, w.end()));
    target->setDamagedAnswer(flags.has("damaged"));
    if (flags.has("length")) target->setLengthByte(hexBytes(flags.named.at("length")).at(0));
    stack.addTarget(target);
  } else {
    return false;
  }
  return true;
}

void runFile(const std::string& path) {
  std::unique_ptr<OpStack> stack;
  Bytes host;
  std::string name;
  for (const ScriptLine& line : expandScript(path)) {
    SCOPED_TRACE(path + ":" + std::to_string(line.number) + " (" + name + ")");
    const Words w = splitWords(line.text);
    if (w[0] == "==") {
      name = line.text.substr(line.text.find("==") + 3);
      stack = std::make_unique<OpStack>();
      host.clear();
    } else if (w[0] == "do") {
      const size_t arrow = line.text.find(" => ");
      ASSERT_NE(arrow, std::string::npos);
      const Words opWords = splitWords(line.text.substr(0, arrow));
      const OpArgs args(Words(opWords.begin() + 2, opWords.end()));
      const int timedOut = stack->scripted.timedOutReads();
      sim::FieldSetup setup;
      std::string got = opWords.at(1) != "field-options"
                            ? stack->run(opWords.at(1), args)
                            : parseField(Words(opWords.begin() + 2, opWords.end()), setup);
      if (got.empty()) got = "ok";
      if (stack->scripted.timedOutReads() > timedOut) got += " (no answer)";
      EXPECT_EQ(got, line.text.substr(arrow + 4));
      EXPECT_EQ(hexText(stack->scripted.takeWritten()), hexText(host));
      host.clear();
      uint8_t left = 0;
      EXPECT_NE(stack->scripted.readByte(left), platform::IoResult::Ok) << "answers left over";
    } else if (!directive(w, *stack)) {
      traffic(w, host, stack->scripted);
    }
  }
}

std::vector<std::string> scriptFiles() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(KVT_SOURCE_DIR "/tests/chip/ops")) {
    if (entry.path().extension() == ".txt") names.push_back(entry.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class OpScriptsTest : public ::testing::TestWithParam<std::string> {};

TEST_P(OpScriptsTest, EveryCaseGivesItsResultAndTraffic) {
  runFile(KVT_SOURCE_DIR "/tests/chip/ops/" + GetParam() + ".txt");
}

INSTANTIATE_TEST_SUITE_P(Ops, OpScriptsTest, ::testing::ValuesIn(scriptFiles()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kvt::chip::test
