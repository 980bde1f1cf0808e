#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/control_ids.h"
#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

using Lines = std::vector<std::string>;

class LanguageTest : public test::CommandFixture {};

TEST_F(LanguageTest, EmptyLinesAndCommentsLogNothing) {
  EXPECT_EQ(run(""), LineDone);
  EXPECT_EQ(run("  ,;  \t"), LineDone);
  EXPECT_EQ(run("// hello"), LineDone);
  EXPECT_EQ(run("   // GR 19 is not executed"), LineDone);
  EXPECT_EQ(logText(), "");
  EXPECT_TRUE(simulatedPort->takeTrace().empty());
}

TEST_F(LanguageTest, UnknownCommandsAreNamedWithTheirLength) {
  EXPECT_EQ(run("XYZ 12"), LineFailed);
  EXPECT_EQ(run("//COMMENT without blank"), LineFailed);
  EXPECT_EQ(run(":::LOOP"), LineFailed);
  EXPECT_EQ(run("//>Text"), LineFailed);  // the first token is //>T, so the line is converted
  EXPECT_EQ(logLines(), (Lines{"ERROR: Unknown Command - \"XYZ\" (length = 3).",
                               "ERROR: Unknown Command - \"//COMMENT\" (length = 9).",
                               "ERROR: Unknown Command - \":::LOOP\" (length = 7).",
                               "ERROR: Unknown Command - \"//>TEXT\" (length = 7)."}));
  EXPECT_EQ(tally.failedLines, 4);
}

TEST_F(LanguageTest, ALineIsUpperCasedInPlaceUnlessItDisplaysText) {
  std::string line = "// hello";
  ExecuteLine(interpreter, line);
  EXPECT_EQ(line, "// HELLO");
  line = "  //> Hello World";
  ExecuteLine(interpreter, line);
  EXPECT_EQ(line, "  //> Hello World");
  EXPECT_EQ(logLines(), (Lines{"//< Hello World"}));
}

TEST_F(LanguageTest, DisplayDropsOnlyTheSeparatorAfterTheToken) {
  run("//>");
  run("//> ");
  run("//>\tTab  and  blanks ");
  run("//> Gr\xC3\xBC\xC3\x9F"
      "e");
  EXPECT_EQ(logLines(), (Lines{"//< ", "//< ", "//< Tab  and  blanks ",
                               "//< Gr\xC3\xBC\xC3\x9F"
                               "e"}));
}

TEST_F(LanguageTest, DisplayOfAnyLengthStaysWithinItsLine) {
  const std::string text(500, 'x');
  std::string line = "//> " + text;
  const std::string before = line;
  EXPECT_EQ(ExecuteLine(interpreter, line), LineDone);
  EXPECT_EQ(line, before);
  EXPECT_EQ(logLines(), (Lines{"//< " + text}));
}

TEST_F(LanguageTest, DisplayHandsItsLineToTheCommentHook) {
  testLog.active = 1;
  run("//> Step 1");
  EXPECT_EQ(hookCalls, (Lines{"comment //< Step 1"}));
}

TEST_F(LanguageTest, DisplayValueShowsAnOperand) {
  interpreter.ML[7] = 0x0C;
  EXPECT_EQ(run("//# ML7"), LineDone);
  EXPECT_EQ(run("//# 1a5"), LineDone);
  EXPECT_EQ(run("//#"), LineFailed);
  EXPECT_EQ(logLines(), (Lines{"Value = 0x0C", "Value = 0xA5",
                               "Error: Invalid numeric format / parameter identifier."}));
}

TEST_F(LanguageTest, UserRegisterArithmeticWraps) {
  EXPECT_EQ(run("MOV IOR 5"), LineDone);
  EXPECT_EQ(interpreter.IOR, 5);
  EXPECT_EQ(run("MOV 5 IOR"), LineDone);  // a literal destination changes nothing visible
  EXPECT_EQ(interpreter.IOR, 5);
  EXPECT_EQ(run("MOV ML0 FF"), LineDone);
  EXPECT_EQ(run("INC ML0"), LineDone);
  EXPECT_EQ(interpreter.ML[0], 0x00);
  EXPECT_EQ(run("DEC IOE"), LineDone);
  EXPECT_EQ(interpreter.IOE, 0xFF);
  EXPECT_EQ(run("INC 7"), LineDone);
  EXPECT_EQ(run("mov ml2 ior"), LineDone);
  EXPECT_EQ(interpreter.ML[2], 5);
  EXPECT_EQ(run("MOV ML2"), LineFailed);
  EXPECT_EQ(interpreter.ML[2], 5);
  EXPECT_EQ(logLines(), (Lines{"Error: Invalid numeric format / parameter identifier."}));
}

TEST_F(LanguageTest, JumpsSearchTheirLabelCaseInsensitively) {
  EXPECT_EQ(run("JMP loop"), LineJump);
  EXPECT_EQ(interpreter.searching, 1);
  EXPECT_EQ(run("SR 19 01"), LineDone);   // skipped
  EXPECT_EQ(run("XYZ"), LineDone);        // skipped, not reported
  EXPECT_EQ(run(":::LOOP"), LineDone);    // a single token: not the label
  EXPECT_EQ(run("::: LOOPX"), LineDone);  // whole-string comparison
  EXPECT_EQ(interpreter.searching, 1);
  EXPECT_EQ(run("::: Loop"), LineDone);
  EXPECT_EQ(interpreter.searching, 0);
  EXPECT_EQ(logText(), "");
  EXPECT_TRUE(simulatedPort->takeTrace().empty());
}

TEST_F(LanguageTest, LabelsMatchOnTheir31FirstCharacters) {
  EXPECT_EQ(run("JMP " + std::string(40, 'A')), LineJump);
  EXPECT_EQ(run("::: " + std::string(31, 'A') + "B"), LineDone);
  EXPECT_EQ(interpreter.searching, 0);
}

TEST_F(LanguageTest, JumpWithoutLabelFails) {
  EXPECT_EQ(run("JMP"), LineFailed);
  EXPECT_EQ(interpreter.searching, 0);
  EXPECT_EQ(run("JNE 1 2"), LineFailed);
  EXPECT_EQ(interpreter.searching, 0);
  EXPECT_EQ(logText(), "");
  EXPECT_EQ(tally.failedLines, 2);
}

TEST_F(LanguageTest, JumpIfUnequalComparesTwoOperands) {
  interpreter.ML[1] = 3;
  EXPECT_EQ(run("JNE ML1 3 DONE"), LineDone);
  EXPECT_EQ(interpreter.searching, 0);
  EXPECT_EQ(run("JNE ML1 4 DONE"), LineJump);
  EXPECT_EQ(std::string(interpreter.targetLabel.data()), "DONE");
  EXPECT_EQ(run("JNE ML9 4 DONE"), LineDone);  // skipped while searching
  interpreter.searching = 0;
  EXPECT_EQ(run("JNE ML9 4 DONE"), LineFailed);
  EXPECT_EQ(interpreter.searching, 0);
}

TEST_F(LanguageTest, BreakLabelAndClearLog) {
  run("XYZ");
  EXPECT_EQ(run("::: HERE"), LineDone);
  EXPECT_EQ(run("BRK"), LineBreak);
  EXPECT_EQ(run("CLL"), LineDone);
  EXPECT_EQ(logText(), "");
  EXPECT_EQ(main.text(app::id::LogPane), "");
}

TEST_F(LanguageTest, ChangeBitRateMovesOnlyThePcSide) {
  app.baudIndex = 0;
  EXPECT_EQ(run("CHB 14400"), LineDone);
  EXPECT_EQ(interpreter.IOE, 0);
  EXPECT_EQ(simulatedPort->hostRate(), 14400u);
  EXPECT_EQ(main.text(app::id::HostSpeed), "14400");
  EXPECT_EQ(run("CHB 256000"), LineDone);
  EXPECT_EQ(simulatedPort->hostRate(), 256000u);
  EXPECT_EQ(app.baudIndex, 0);
  EXPECT_EQ(chip.lineRate(), 9600u);
  EXPECT_TRUE(simulatedPort->takeTrace().empty()) << "the chip is not told";
  EXPECT_EQ(run("CHB 4800"), LineDone);
  EXPECT_EQ(interpreter.IOE, 1);
  EXPECT_EQ(simulatedPort->hostRate(), 256000u);
  EXPECT_EQ(run("CHB"), LineDone);
  EXPECT_EQ(main.text(app::id::HostSpeed), "256000");
  EXPECT_EQ(logLines(),
            (Lines{"CHB   14400     // Baudrate = 14400", "CHB  256000     // Baudrate = 256000",
                   "//CHB: Error: Unsupported Baudrate - 4800",
                   "//CHB: Error: Unsupported Baudrate - 0"}));
}

TEST_F(LanguageTest, SleepWaitsTheLow16BitsAndHandsOnTheWholeNumber) {
  testLog.active = 1;
  EXPECT_EQ(run("SLP 70000"), LineDone);
  EXPECT_EQ(nowMs(), 4464);
  EXPECT_EQ(run("SLP 250 // a quarter second"), LineDone);
  EXPECT_EQ(nowMs(), 4714);
  EXPECT_EQ(run("SLP"), LineDone);
  EXPECT_EQ(nowMs(), 4714);
  EXPECT_EQ(hookCalls, (Lines{"sleep 70000", "sleep 250", "sleep 0"}));
  EXPECT_EQ(logText(), "");
}

class SaveTest : public LanguageTest {
 protected:
  SaveTest() {
    folder = std::filesystem::temp_directory_path() /
             ("kvt_sav_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder);
    previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
  }
  ~SaveTest() override {
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(folder);
  }
  static std::string read(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  std::filesystem::path folder;
  std::filesystem::path previous;
};

TEST_F(SaveTest, NamedSaveAppendsTheLogToATextFileAndFails) {
  run("//> first");
  EXPECT_EQ(run("SAV run1"), LineFailed);
  EXPECT_EQ(run("sav run1 // again"), LineFailed);
  EXPECT_EQ(read(folder / "RUN1.txt"), "//< first\r\n//< first\r\n");
  EXPECT_EQ(logText(), "//< first\r\n") << "saving reports nothing";
  EXPECT_EQ(tally.failedLines, 0) << "a save is no failure";
}

TEST_F(SaveTest, SaveWithoutNameAsksForAFile) {
  run("//> x");
  shell.chooserAnswers.push_back((folder / "chosen.txt").string());
  EXPECT_EQ(run("SAV"), LineFailed);
  ASSERT_EQ(shell.chooserRequests.size(), 1u);
  EXPECT_TRUE(shell.chooserRequests[0].save);
  EXPECT_EQ(read(folder / "chosen.txt"), "//< x\r\n");
}

TEST_F(SaveTest, AFileThatCannotBeWrittenIsIgnored) {
  std::filesystem::create_directory(folder / "BUSY.txt");
  EXPECT_EQ(run("SAV BUSY"), LineFailed);
  EXPECT_EQ(logText(), "");
}

}  // namespace
}  // namespace kvt::cmd
