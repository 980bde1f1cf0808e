#include "cmd/script_runner.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>

#include "app/control_ids.h"
#include "cmd/progress_dialog.h"
#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

using Lines = std::vector<std::string>;

class ScriptRunnerTest : public test::CommandFixture {
 protected:
  ScriptRunnerTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             (std::string("kvt_runner_") + info->test_suite_name() + "_" + info->name());
    std::filesystem::create_directories(folder);
  }
  ~ScriptRunnerTest() override { std::filesystem::remove_all(folder); }

  // Writes a command file and makes it the chosen one.
  std::string script(const std::string& text, const std::string& name = "test.scf") {
    const std::string path = (folder / name).string();
    std::ofstream(path, std::ios::binary) << text;
    app.commandFilePath = path;
    return path;
  }
  void runNow() {
    app.scriptRunning = 1;
    RunScript(context, environment);
  }
  std::string processing() const { return "Processing " + app.commandFilePath; }

  std::filesystem::path folder;
};

TEST_F(ScriptRunnerTest, AFileOfCommentsLogsOnlyTheProcessingLine) {
  script("// one\n\n   \n// two\r\n//\n");
  runNow();
  EXPECT_EQ(logLines(), (Lines{processing()}));
  EXPECT_EQ(app.scriptRunning, 0);
  EXPECT_EQ(app.resumeLine, 0);
}

TEST_F(ScriptRunnerTest, AFailedLineDoesNotStopTheRun) {
  script("XYZ\nGR\n//> after\n");
  runNow();
  EXPECT_EQ(logLines(),
            (Lines{processing(), "ERROR: Unknown Command - \"XYZ\" (length = 3).",
                   "Error: Invalid numeric format / parameter identifier.", "//< after"}));
}

TEST_F(ScriptRunnerTest, UserRegistersStartAtZeroInEveryRun) {
  script("//# ML0\nINC ML0\n//# ML0\n");
  runNow();
  runNow();
  EXPECT_EQ(logLines(), (Lines{processing(), "Value = 0x00", "Value = 0x01", processing(),
                               "Value = 0x00", "Value = 0x01"}));
}

TEST_F(ScriptRunnerTest, ACountedLoopRunsUntilTheRegisterMatches) {
  script("MOV ML1 0\n::: again\nINC ML1\n//# ML1\nJNE ML1 3 AGAIN\n//> done\n");
  runNow();
  EXPECT_EQ(logLines(),
            (Lines{processing(), "Value = 0x01", "Value = 0x02", "Value = 0x03", "//< done"}));
}

TEST_F(ScriptRunnerTest, AMissingLabelEndsTheRunSilently) {
  script("//> before\nJMP NOWHERE\n//> skipped\n");
  runNow();
  EXPECT_EQ(logLines(), (Lines{processing(), "//< before"}));
  EXPECT_EQ(app.resumeLine, 0);
}

TEST_F(ScriptRunnerTest, BreakResumesAfterItsLineAndThenStartsAtTheTop) {
  script("//> one\nBRK\n//> three\n");
  runNow();
  EXPECT_EQ(app.resumeLine, 2);
  runNow();
  EXPECT_EQ(app.resumeLine, 0);
  runNow();
  EXPECT_EQ(logLines(),
            (Lines{processing(), "//< one", processing(), "//< three", processing(), "//< one"}));
}

TEST_F(ScriptRunnerTest, BreakCountsLinesFromTheLastRewind) {
  script("JMP L\n//> a\n::: L\n//> b\nBRK\n//> c\n");
  runNow();
  EXPECT_EQ(app.resumeLine, 5);  // lines 1 to 5 read again after the rewind
  runNow();
  EXPECT_EQ(logLines(), (Lines{processing(), "//< b", processing(), "//< c"}));
}

TEST_F(ScriptRunnerTest, AResumeLineBeyondTheFileExecutesNothingAndStays) {
  script("//> one\n");
  app.resumeLine = 7;
  runNow();
  EXPECT_EQ(logLines(), (Lines{processing()}));
  EXPECT_EQ(app.resumeLine, 7);
}

TEST_F(ScriptRunnerTest, LongLinesAreReadInPiecesOf199Characters) {
  // 199 characters and its line feed: the piece is followed by an empty one, which counts.
  const std::string line199 = "//>" + std::string(196, 'x');
  const std::string line250 = "//>" + std::string(247, 'y');
  script(line199 + "\n" + line250 + "\nBRK\n");
  runNow();
  EXPECT_EQ(logLines(),
            (Lines{processing(), "//< " + std::string(195, 'x'), "//< " + std::string(195, 'y'),
                   "ERROR: Unknown Command - \"" + std::string(31, 'Y') + "\" (length = 31)."}));
  EXPECT_EQ(app.resumeLine, 5);
}

TEST_F(ScriptRunnerTest, CrLfLineEndsReadAsLineFeeds) {
  // 198 characters and CR LF fit one piece, as in text mode.
  script("//>" + std::string(195, 'z') + "\r\nBRK\r\n");
  runNow();
  EXPECT_EQ(app.resumeLine, 2);
  EXPECT_EQ(logLines(), (Lines{processing(), "//< " + std::string(194, 'z')}));
}

TEST_F(ScriptRunnerTest, AnUnreadableFileIsReported) {
  app.commandFilePath = (folder / "gone.scf").string();
  runNow();
  EXPECT_EQ(logLines(), (Lines{processing(), "Error. Could not read file."}));
  EXPECT_EQ(app.scriptRunning, 0);
}

TEST_F(ScriptRunnerTest, ProcessingAMissingFileStartsNothing) {
  app.commandFilePath = (folder / "gone.scf").string();
  ProcessCommandFile(context, environment);
  EXPECT_EQ(logLines(), (Lines{"Error: Cannot process SCF (not found)."}));
  EXPECT_FALSE(app.runnerThread.joinable());
  EXPECT_TRUE(shell.modalDialogs.empty());
  EXPECT_TRUE(shell.posted.empty());
}

TEST_F(ScriptRunnerTest, SelectingAFileShowsItsPathAndName) {
  shell.chooserAnswers.push_back("/data/scripts/selftest.scf");
  SelectCommandFile(context);
  EXPECT_EQ(app.commandFilePath, "/data/scripts/selftest.scf");
  EXPECT_EQ(main.text(app::id::OperationStatus), "/data/scripts/selftest.scf");
  EXPECT_EQ(main.text(app::id::OverrideName), "selftest");
  ASSERT_EQ(shell.chooserRequests.size(), 1u);
  EXPECT_FALSE(shell.chooserRequests[0].save);
  EXPECT_EQ(shell.chooserRequests[0].request.filterName, "Command File");
  EXPECT_EQ(shell.chooserRequests[0].request.pattern, "*.scf");
  EXPECT_EQ(shell.chooserRequests[0].request.initialName, "*.scf");
  EXPECT_TRUE(shell.chooserRequests[0].request.mustExist);
}

TEST_F(ScriptRunnerTest, CancellingTheChooserOfProcessStartsNothing) {
  ProcessCommandFile(context, environment);  // no file chosen: the chooser comes up
  EXPECT_EQ(app.commandFilePath, "NULL");
  EXPECT_EQ(main.text(app::id::OperationStatus), "NULL");
  EXPECT_EQ(shell.chooserRequests.size(), 1u);
  EXPECT_FALSE(app.runnerThread.joinable());
  EXPECT_EQ(logText(), "");
}

TEST_F(ScriptRunnerTest, ARunOnItsThreadClosesTheDialogAndTellsTheMainWindow) {
  script("//> hello\n");
  shell.modalDriver = [this](int dialogId, kvt::test::FakeView& view,
                             platform::DialogProcedure& procedure) {
    EXPECT_EQ(dialogId, id::ProgressDialog);
    EXPECT_EQ(view.text(id::ProgressText), "Processing Command Batch File . . .");
    app.runnerThread.join();  // the run ends while the dialog is up (or before it came up)
    ASSERT_FALSE(shell.posted.empty());
    EXPECT_EQ(shell.posted.back().window, &view);
    EXPECT_EQ(shell.posted.back().id, id::RunEnded);
    procedure.command(view, id::RunEnded, platform::notify::Clicked);
    EXPECT_EQ(view.closedWith, 0);
    EXPECT_EQ(app.processingDialog.load(), nullptr);
  };
  ProcessCommandFile(context, environment);
  EXPECT_EQ(shell.modalDialogs, (std::vector<int>{id::ProgressDialog}));
  ASSERT_EQ(shell.posted.size(), 2u);
  EXPECT_EQ(shell.posted[1].window, &main);
  EXPECT_EQ(shell.posted[1].id, app::id::ScriptEnded);
  EXPECT_EQ(logLines(), (Lines{processing(), "//< hello"}));
  EXPECT_EQ(app.scriptRunning, 0);
}

TEST_F(ScriptRunnerTest, ARunThatEndsBeforeItsDialogNeedsNone) {
  script("// nothing\n");
  environment.startThread = [](std::function<void()> body) {
    body();  // the whole run happens before the dialog could appear
    return std::thread();
  };
  ProcessCommandFile(context, environment);
  EXPECT_TRUE(shell.modalDialogs.empty());
  ASSERT_EQ(shell.posted.size(), 1u);
  EXPECT_EQ(shell.posted[0].id, app::id::ScriptEnded);
  EXPECT_EQ(app.scriptRunning, 0);
  EXPECT_EQ(logLines(), (Lines{processing()}));
}

TEST_F(ScriptRunnerTest, ADialogThatAppearsAfterTheEndClosesItself) {
  auto meeting = std::make_shared<RunMeeting>(app);
  app.scriptRunning = 1;
  meeting->runEnded();
  EXPECT_EQ(app.scriptRunning, 0);
  EXPECT_TRUE(shell.posted.empty()) << "no dialog yet, nothing to close";
  ProgressDialog dialog(app, meeting);
  kvt::test::FakeView view;
  dialog.init(view);
  ASSERT_EQ(shell.posted.size(), 1u);
  EXPECT_EQ(shell.posted[0].window, &view);
  EXPECT_EQ(shell.posted[0].id, id::RunEnded);
  // Break pressed while the close is on its way changes nothing.
  dialog.command(view, id::BreakButton, platform::notify::Clicked);
  EXPECT_FALSE(view.closedWith.has_value());
  dialog.command(view, id::RunEnded, platform::notify::Clicked);
  EXPECT_EQ(view.closedWith, 0);
  EXPECT_EQ(app.processingDialog.load(), nullptr);
  EXPECT_EQ(app.scriptRunning, 0);
}

TEST_F(ScriptRunnerTest, TheDialogIgnoresItsCloseBox) {
  auto meeting = std::make_shared<RunMeeting>(app);
  ProgressDialog dialog(app, meeting);
  kvt::test::FakeView view;
  dialog.init(view);
  dialog.closeRequest(view);
  EXPECT_FALSE(view.closedWith.has_value());
  EXPECT_EQ(app.processingDialog.load(), &view);
}

TEST_F(ScriptRunnerTest, ARunnerThatCannotBeMadeLeavesNoRun) {
  script("//> never\n");
  environment.startThread = [](std::function<void()>) -> std::thread {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
  };
  ProcessCommandFile(context, environment);
  EXPECT_EQ(app.scriptRunning, 0);
  EXPECT_FALSE(app.runnerThread.joinable());
  EXPECT_TRUE(shell.modalDialogs.empty());
  EXPECT_TRUE(shell.posted.empty());
  EXPECT_EQ(logText(), "");
}

// Break while a long WIL runs: the WIL runs to its end, then the runner stops before the
// next line.
TEST_F(ScriptRunnerTest, BreakDuringAWaitTakesEffectAfterIt) {
  script("//> start\nWIL 1 60000\n//> not reached\n");
  std::mutex mutex;
  std::condition_variable changed;
  bool waiting = false;
  bool broken = false;
  simulatedPort->setRingIndicatorSource([&]() -> std::optional<bool> {
    std::unique_lock lock(mutex);
    if (!waiting) {
      waiting = true;
      changed.notify_all();
      changed.wait(lock, [&] { return broken; });
    }
    return false;
  });
  shell.modalDriver = [&](int, kvt::test::FakeView& view, platform::DialogProcedure& procedure) {
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return waiting; });
    }
    procedure.command(view, id::BreakButton, platform::notify::Clicked);
    EXPECT_FALSE(view.isEnabled(id::BreakButton));
    EXPECT_EQ(app.scriptRunning, 0);
    {
      std::lock_guard lock(mutex);
      broken = true;
    }
    changed.notify_all();
    app.runnerThread.join();
    procedure.command(view, id::RunEnded, platform::notify::Clicked);
  };
  ProcessCommandFile(context, environment);
  EXPECT_EQ(nowMs(), 60001) << "the wait ran to its time-out";
  EXPECT_EQ(logLines(), (Lines{processing(), "//< start",
                               "WIL 1 60000    // Level = 1, Timeout = 60000 (Result: 0)",
                               "User Break recognised."}));
  EXPECT_EQ(app.resumeLine, 0);
}

TEST_F(ScriptRunnerTest, ABreakIsRecognisedOnlyWhenALineFollows) {
  script("//> one\n//> two\n");
  app.resumeLine = 1;
  app.scriptRunning = 0;  // Break pressed before the runner read a line
  RunScript(context, environment);
  EXPECT_EQ(app.resumeLine, 1) << "no line was executed, so the resume point stays";
  app.resumeLine = 2;
  app.scriptRunning = 0;  // nothing left to read: the run ends normally
  RunScript(context, environment);
  EXPECT_EQ(logLines(), (Lines{processing(), "User Break recognised.", processing()}));
}

}  // namespace
}  // namespace kvt::cmd
