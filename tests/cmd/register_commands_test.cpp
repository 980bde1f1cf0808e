#include <gtest/gtest.h>

#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

using Lines = std::vector<std::string>;

class RegisterCommandTest : public test::CommandFixture {};

TEST_F(RegisterCommandTest, SetRegisterWritesAndLogsItsLine) {
  EXPECT_EQ(run("sr 19 3f"), LineDone);
  EXPECT_EQ(chip.peek(0x19), 0x3F);
  EXPECT_EQ(run("SR ML0 IOR // both zero"), LineDone);
  EXPECT_EQ(chip.peek(0x00), 0x00);
  EXPECT_EQ(logLines(), (Lines{"SR  19  3F                     // (STKSTATUS 0000)",
                               "SR  00  00                     // (STKSTATUS 0000)"}));
  EXPECT_EQ(interpreter.IOE, 0);
}

TEST_F(RegisterCommandTest, GetRegisterStoresTheValueInIor) {
  chip.poke(0x19, 0xA5);
  interpreter.IOE = 1;
  EXPECT_EQ(run("GR 19"), LineDone);
  EXPECT_EQ(interpreter.IOR, 0xA5);
  EXPECT_EQ(interpreter.IOE, 0);
  EXPECT_EQ(run("GR 0x37"), LineDone);  // the version register
  EXPECT_EQ(run("GR 137"), LineDone);   // low 8 bits
  EXPECT_EQ(logLines(), (Lines{"GR  19          // data == A5  // (STKSTATUS 0000)",
                               "GR  37          // data == 28  // (STKSTATUS 0000)",
                               "GR  37          // data == 28  // (STKSTATUS 0000)"}));
}

TEST_F(RegisterCommandTest, ModifyRegisterSetsAndClearsTheMaskBits) {
  chip.poke(0x19, 0x0F);
  EXPECT_EQ(run("MR 19 F0 1"), LineDone);
  EXPECT_EQ(chip.peek(0x19), 0xFF);
  EXPECT_EQ(run("MR 19 3C 0"), LineDone);
  EXPECT_EQ(chip.peek(0x19), 0xC3);
  EXPECT_EQ(run("MR 19 01 FF"), LineDone);  // the set operand prints as it is
  EXPECT_EQ(logLines(), (Lines{"MR  19 F0 1                    // (STKSTATUS 0000)",
                               "MR  19 3C 0                    // (STKSTATUS 0000)",
                               "MR  19 01 FF                    // (STKSTATUS 0000)"}));
  EXPECT_TRUE(hookCalls.empty());
}

TEST_F(RegisterCommandTest, CompareSetsIorAndMarksAMismatch) {
  chip.poke(0x19, 0x80);
  EXPECT_EQ(run("RE 19 80"), LineDone);
  EXPECT_EQ(interpreter.IOR, 0);
  chip.poke(0x19, 0x81);
  EXPECT_EQ(run("RE 19 80"), LineDone);
  EXPECT_EQ(interpreter.IOR, 1);
  EXPECT_EQ(interpreter.IOE, 0);
  EXPECT_EQ(logLines(), (Lines{"RE  19  80      // data == 80  // (STKSTATUS 0000)",
                               "RE  19  80      // data == 81  // (STKSTATUS 0000) ** ERROR **"}));
  EXPECT_EQ(tally.compareErrors, 1);
}

TEST_F(RegisterCommandTest, MaskedCompareMasksOnlyTheRegisterValue) {
  chip.poke(0x19, 0xF1);
  EXPECT_EQ(run("RF 19 01 0F"), LineDone);
  EXPECT_EQ(interpreter.IOR, 0);
  EXPECT_EQ(run("RF 19 11 0F"), LineDone);  // 0x11 has a bit outside the mask
  EXPECT_EQ(interpreter.IOR, 1);
  EXPECT_EQ(logLines(), (Lines{"RF  19  01  0F  // data == F1  // (STKSTATUS 0000)",
                               "RF  19  11  0F  // data == F1  // (STKSTATUS 0000) ** ERROR **"}));
}

TEST_F(RegisterCommandTest, AFailingAccessShowsItsStatusAndSetsIoe) {
  simulatedPort->disconnect();
  EXPECT_EQ(run("SR 19 01"), LineDone);
  EXPECT_EQ(interpreter.IOE, 1);
  interpreter.IOE = 0;
  EXPECT_EQ(run("GR 19"), LineDone);
  EXPECT_EQ(interpreter.IOE, 1);
  EXPECT_EQ(run("RE 19 00"), LineDone);
  const Lines lines = logLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 10), "SR  19  01");
  EXPECT_NE(lines[0].find("// (STKSTATUS "), std::string::npos);
  EXPECT_EQ(lines[0].find("// (STKSTATUS 0000)"), std::string::npos);
  EXPECT_GE(tally.registerFailures, 3);
}

TEST_F(RegisterCommandTest, UnreadableOperandsStopTheCommand) {
  chip.poke(0x19, 0x55);
  interpreter.IOR = 7;
  interpreter.IOE = 0;
  EXPECT_EQ(run("GR"), LineFailed);
  EXPECT_EQ(run("SR ZZ YY"), LineFailed);
  EXPECT_EQ(run("SR 19 G1"), LineFailed);
  EXPECT_EQ(run("MR 19 FF"), LineFailed);
  EXPECT_EQ(run("RF ML8 00 FF"), LineFailed);
  EXPECT_EQ(chip.peek(0x19), 0x55);
  EXPECT_EQ(interpreter.IOR, 7);
  EXPECT_EQ(interpreter.IOE, 0);
  const std::string error = "Error: Invalid numeric format / parameter identifier.";
  EXPECT_EQ(logLines(), Lines(6, error));
  EXPECT_EQ(tally.failedLines, 5);
  EXPECT_TRUE(simulatedPort->takeTrace().empty()) << "no byte may reach the chip";
}

TEST_F(RegisterCommandTest, HooksRunOnlyWhileTestLogIsActive) {
  chip.poke(0x19, 0xF1);
  run("SR 18 22");
  EXPECT_TRUE(hookCalls.empty());
  testLog.active = 1;
  run("SR 18 22");
  run("GR 19");
  run("RE 19 80");
  run("RF 19 01 0F");
  run("MR 19 01 1");
  EXPECT_EQ(hookCalls, (Lines{"write 18 22", "read 19 F1 FF", "read 19 80 FF", "read 19 01 0F"}));
  EXPECT_EQ(logLines().back(), "TestLog: Command not supported!!!");
  app.testLogHooks = {};  // no generator installed: nothing is called, nothing breaks
  EXPECT_EQ(run("SR 18 22"), LineDone);
}

TEST_F(RegisterCommandTest, AFailedReadHandsTheReadHookAnEmptyMask) {
  testLog.active = 1;
  simulatedPort->disconnect();
  run("GR 19");
  ASSERT_EQ(hookCalls.size(), 1u);
  EXPECT_EQ(hookCalls[0].substr(0, 8), "read 19 ");
  EXPECT_EQ(hookCalls[0].substr(10), " 00");
}

}  // namespace
}  // namespace kvt::cmd
