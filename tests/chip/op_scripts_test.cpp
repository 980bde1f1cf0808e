// Runs tests/chip/ops/*.txt: cases of chip stack operations, each on a fresh stack.
//
//   == NAME                      a new case: the stack on a scripted line, in reader mode
//   R aa vv..  W aa vv..         host reads of aa the chip answers vv, writes of vv it echoes
//   M aa old mask 1|0            a read of old and the write-back with the mask bits set/cleared
//   > bytes   < bytes            raw bytes the host sends, raw bytes the chip answers
//   do OP ARGS => RESULT         runs OP; the traffic listed since the last one must be on the
//                                line byte for byte, every answer taken, RESULT its text
//   target | reader | testchip | reversed | no-port | lost | refuse-writes-after N
//   sim [VERSION]  field OPTIONS  set aa vv   the simulated chip, its cards, a register
#include <gtest/gtest.h>

#include <filesystem>

#include "op_stack.h"
#include "sim/field_setup.h"

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
    stack.scripted.disconnect();
  } else if (w[0] == "refuse-writes-after") {
    stack.scripted.refuseWritesAfter(std::stoi(w.at(1)));
  } else if (w[0] == "sim") {
    stack.useSimulatedChip(w.size() > 1 ? hexBytes(w[1]).at(0) : 0x28);
  } else if (w[0] == "field") {
    sim::FieldSetup setup;
    for (size_t i = 1; i < w.size();) {
      const auto parsed = sim::parseFieldOption(setup, w, i);
      if (!parsed.error.empty() || parsed.consumed == 0) throw std::invalid_argument(w[i]);
      i += parsed.consumed;
    }
    sim::applyFieldSetup(setup, stack.chip->field());
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
      std::string got = stack->run(opWords.at(1), args);
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

TEST(OpScriptsTest, EveryCaseGivesItsResultAndTraffic) {
  const std::filesystem::path folder = KVT_SOURCE_DIR "/tests/chip/ops";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".txt") continue;
    SCOPED_TRACE(entry.path().filename().string());
    runFile(entry.path().string());
    ++files;
  }
  EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace kvt::chip::test
