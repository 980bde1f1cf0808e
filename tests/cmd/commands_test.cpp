// What the command files of tests/scripts cannot see: the line buffer, the error tally, the
// window, the files SAV writes and the hooks' arguments on a failure.
#include <gtest/gtest.h>

#include "app/app_fixture.h"
#include "app/control_ids.h"
#include "app/log.h"
#include "cmd/command_reference.h"
#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

using Lines = std::vector<std::string>;

using CommandTest = test::CommandFixture;

TEST_F(CommandTest, ALineIsUpperCasedInPlaceUnlessItDisplaysText) {
  std::string line = "// hello";
  ExecuteLine(interpreter, line);
  EXPECT_EQ(line, "// HELLO");
  // A display of any length keeps its line and stays within it.
  const std::string text = "//> Hello " + std::string(500, 'x');
  line = text;
  EXPECT_EQ(ExecuteLine(interpreter, line), LineDone);
  EXPECT_EQ(line, text);
  EXPECT_EQ(logLines(), (Lines{"//< Hello " + std::string(500, 'x')}));
}

TEST_F(CommandTest, FailedLinesAreCountedAndSendNothing) {
  simulatedPort->setTracing(true);
  EXPECT_EQ(run("XYZ 12"), LineFailed);
  EXPECT_EQ(run("JMP"), LineFailed);
  EXPECT_EQ(run("JNE 1 2"), LineFailed);
  EXPECT_EQ(run("SR 19 G1"), LineFailed);
  EXPECT_EQ(run("MOV ML2"), LineFailed);
  EXPECT_EQ(interpreter.searching, 0);
  EXPECT_EQ(tally.failedLines, 5);
  EXPECT_TRUE(simulatedPort->takeTrace().empty()) << "no byte may reach the chip";
}

TEST_F(CommandTest, RegisterCommandsReachTheChipUnderTheChipLock) {
  app::test::RecordingStack stack(app);
  app.registerControl = &stack;
  for (const char* line : {"SR 3C 01", "GR 3C", "MR 3C 01 1", "RE 3C 01", "RF 3C 01 0F"}) run(line);
  EXPECT_EQ(stack.calls.size(), 5u);
  EXPECT_EQ(stack.callsWithoutLock, 0);
}

// That the chip keeps its rate shows in tests/scripts/chb.
TEST_F(CommandTest, ChangeBitRateShowsTheRateItSet) {
  app.baudIndex = 0;
  EXPECT_EQ(run("CHB 14400"), LineDone);
  EXPECT_EQ(run("CHB 4800"), LineDone);
  EXPECT_EQ(main.text(app::id::HostSpeed), "14400");
  EXPECT_EQ(simulatedPort->hostRate(), 14400u);
  EXPECT_EQ(app.baudIndex, 0);
}

TEST_F(CommandTest, ClearLogEmptiesThePaneToo) {
  run("XYZ");
  EXPECT_EQ(run("CLL"), LineDone);
  EXPECT_EQ(logText(), "");
  EXPECT_EQ(main.text(app::id::LogPane), "");
}

TEST_F(CommandTest, AFailedReadHandsTheReadHookAnEmptyMask) {
  testLog.active = 1;
  simulatedPort->disconnect();
  run("GR 19");
  ASSERT_EQ(hookCalls.size(), 1u);
  EXPECT_EQ(hookCalls[0].substr(0, 8), "read 19 ");
  EXPECT_EQ(hookCalls[0].substr(10), " 00");
  EXPECT_GE(tally.registerFailures, 1);
  app.testLogHooks = {};  // no generator installed: nothing is called, nothing breaks
  EXPECT_EQ(run("SR 18 22"), LineDone);
}

TEST_F(CommandTest, SaveAppendsTheLogToATextFileAndReportsNothing) {
  enterFolder();
  run("//> first");
  EXPECT_EQ(run("SAV run1"), LineFailed);
  EXPECT_EQ(run("sav run1 // again"), LineFailed);
  EXPECT_EQ(test::ReadFile(folder / "RUN1.txt"), "//< first\r\n//< first\r\n");
  EXPECT_EQ(tally.failedLines, 0) << "a save is no failure";
  // Without a name a file is asked for.
  shell.chooserAnswers.push_back((folder / "chosen.txt").string());
  EXPECT_EQ(run("SAV"), LineFailed);
  ASSERT_EQ(shell.chooserRequests.size(), 1u);
  EXPECT_TRUE(shell.chooserRequests[0].save);
  EXPECT_EQ(test::ReadFile(folder / "chosen.txt"), "//< first\r\n");
  // A file that cannot be written is passed over.
  std::filesystem::create_directory(folder / "BUSY.txt");
  EXPECT_EQ(run("SAV BUSY"), LineFailed);
  EXPECT_EQ(logText(), "//< first\r\n");
  // "/" is a token character, yet a name never leaves the working folder.
  std::filesystem::create_directory(folder / "KVT_SAV_SUB");
  EXPECT_EQ(run("SAV /KVT_SAV_SUB/LOG"), LineFailed);
  EXPECT_EQ(test::ReadFile(folder / "KVT_SAV_SUB" / "LOG.txt"), "//< first\r\n");
}

// The whole reference, byte for byte (its own wording and spelling included); blank lines hold
// one space. It replaces what the log held before.
TEST_F(CommandTest, TheReferenceReplacesTheLog) {
  app::AppendLog(context, "old text", true);
  PrintCommandReference(context);
  const auto golden =
      std::filesystem::path(KVT_SOURCE_DIR) / "tests/cmd/golden/command_reference.txt";
  EXPECT_EQ(logText(), test::WithCrLf(test::ReadFile(golden)));
}

}  // namespace
}  // namespace kvt::cmd
