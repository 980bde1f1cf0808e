// The runner's thread, dialog, Break and file handling; what a run logs, long lines, large
// files and the resume point are checked by the command files of tests/scripts.
#include "cmd/script_runner.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <sstream>
#include <system_error>
#include <utility>

#include "app/control_ids.h"
#include "cmd/progress_dialog.h"
#include "cmd/scf_reader.h"
#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

using Lines = std::vector<std::string>;

class ScriptRunnerTest : public test::CommandFixture {
 protected:
  // Writes a command file and makes it the chosen one.
  void script(const std::string& text) {
    app.commandFilePath = (folder / "test.scf").string();
    std::ofstream(app.commandFilePath, std::ios::binary) << text;
  }
  void runNow() {
    app.scriptRunning = 1;
    RunScript(context, environment);
  }
  std::string processing() const { return "Processing " + app.commandFilePath; }
  void expectNothingStarted() {
    EXPECT_EQ(app.scriptRunning, 0);
    EXPECT_FALSE(app.runnerThread.joinable());
    EXPECT_TRUE(shell.modalDialogs.empty());
    EXPECT_TRUE(shell.posted.empty());
  }
};

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

TEST_F(ScriptRunnerTest, AMissingFileIsReportedAndStartsNothing) {
  app.commandFilePath = (folder / "gone.scf").string();
  runNow();
  ProcessCommandFile(context, environment);
  EXPECT_EQ(logLines(), (Lines{processing(), "Error. Could not read file.",
                               "Error: Cannot process SCF (not found)."}));
  expectNothingStarted();
}

// A FIFO without a writer would block the run for ever and a device may never end: only
// regular files are read, and standard input only up to the size limit.
TEST_F(ScriptRunnerTest, OnlyRegularFilesOfBoundedSizeAreRead) {
  std::string text;  // the checks of a named file: tests/cli/cases/run_unreadable
  EXPECT_FALSE(CanRead("/dev/zero"));
  std::istringstream endless(std::string(kMaxCommandFileSize + 1, 'x'));
  EXPECT_EQ(ReadCommandStream(endless, text), CommandFileError::TooLarge);
  std::istringstream fits(std::string(kMaxCommandFileSize, 'x'));
  EXPECT_EQ(ReadCommandStream(fits, text), CommandFileError::None);
  EXPECT_EQ(text.size(), kMaxCommandFileSize);
}

TEST_F(ScriptRunnerTest, TheChooserSetsTheFileAndCancellingStartsNothing) {
  ProcessCommandFile(context, environment);  // no file chosen: the chooser comes up
  EXPECT_EQ(app.commandFilePath, "NULL");
  EXPECT_EQ(main.text(app::id::OperationStatus), "NULL");
  expectNothingStarted();
  EXPECT_EQ(logText(), "");

  shell.chooserAnswers.push_back("/data/scripts/selftest.scf");
  SelectCommandFile(context);
  EXPECT_EQ(app.commandFilePath, "/data/scripts/selftest.scf");
  EXPECT_EQ(main.text(app::id::OperationStatus), "/data/scripts/selftest.scf");
  EXPECT_EQ(main.text(app::id::OverrideName), "selftest");
  ASSERT_EQ(shell.chooserRequests.size(), 2u);
  const auto& [save, request] = shell.chooserRequests[1];
  EXPECT_FALSE(save);
  EXPECT_EQ(request.filterName + "|" + request.pattern + "|" + request.initialName,
            "Command File|*.scf|*.scf");
  EXPECT_TRUE(request.mustExist);
}

TEST_F(ScriptRunnerTest, ARunOnItsThreadClosesTheDialogAndTellsTheMainWindow) {
  script("//> hello\n");
  // The runner waits until the dialog is up, so the run surely ends while it is shown.
  std::promise<void> dialogUp;
  std::shared_future<void> up = dialogUp.get_future().share();
  environment.startThread = [up](std::function<void()> body) {
    return std::thread([up, body = std::move(body)] {
      up.wait();
      body();
    });
  };
  shell.modalDriver = [this, &dialogUp](int dialogId, kvt::test::FakeView& view,
                                        platform::DialogProcedure& procedure) {
    EXPECT_EQ(dialogId, id::ProgressDialog);
    EXPECT_EQ(view.text(id::ProgressText), "Processing Command Batch File . . .");
    dialogUp.set_value();
    app.runnerThread.join();
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
  // Neither the close box nor Break pressed while the close is on its way change anything.
  dialog.closeRequest(view);
  dialog.command(view, id::BreakButton, platform::notify::Clicked);
  EXPECT_FALSE(view.closedWith.has_value());
  EXPECT_EQ(app.processingDialog.load(), &view);
  dialog.command(view, id::RunEnded, platform::notify::Clicked);
  EXPECT_EQ(view.closedWith, 0);
  EXPECT_EQ(app.processingDialog.load(), nullptr);
  EXPECT_EQ(app.scriptRunning, 0);
}

TEST_F(ScriptRunnerTest, ARunnerThatCannotBeMadeLeavesNoRun) {
  script("//> never\n");
  environment.startThread = [](std::function<void()>) -> std::thread {
    throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
  };
  ProcessCommandFile(context, environment);
  expectNothingStarted();
  EXPECT_EQ(logText(), "");
}

// The fixture's clock, with something done before each sleep.
class HookedClock final : public platform::Clock {
 public:
  HookedClock(platform::ManualClock& inner, std::function<void()> beforeSleep)
      : inner_(inner), beforeSleep_(std::move(beforeSleep)) {}
  std::chrono::microseconds now() override { return inner_.now(); }
  void sleepFor(std::chrono::microseconds duration) override {
    beforeSleep_();
    inner_.sleepFor(duration);
  }

 private:
  platform::ManualClock& inner_;
  std::function<void()> beforeSleep_;
};

// Break while a long WIL runs: the WIL runs to its end, then the runner stops before the
// next line.
TEST_F(ScriptRunnerTest, BreakDuringAWaitTakesEffectAfterIt) {
  script("//> start\nWIL 1 60000\n//> not reached\n");
  std::mutex mutex;
  std::condition_variable changed;
  bool waiting = false;
  bool broken = false;
  HookedClock gate(clock, [&] {
    std::unique_lock lock(mutex);
    if (!waiting) {
      waiting = true;
      changed.notify_all();
      changed.wait(lock, [&] { return broken; });
    }
  });
  environment.clock = &gate;
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

// A stop of the waits (kvt-cli's Ctrl-C or SIGTERM) ends a wait at once, the next ones too,
// while the lines go on until the runner is broken.
TEST_F(ScriptRunnerTest, AStopOfTheWaitsEndsEveryWaitAtOnce) {
  script("WIL 1 60000\nSLP 60000\nWIE 60000\n//> after\n");
  std::atomic<uint8_t> keepWaiting{1};
  environment.keepWaiting = &keepWaiting;
  HookedClock stopping(clock, [&] {
    if (nowMs() >= 5) keepWaiting = 0;
  });
  environment.clock = &stopping;
  runNow();
  EXPECT_LT(nowMs(), 20);
  EXPECT_EQ(logLines(),
            (Lines{processing(), "WIL 1 60000    // Level = 1, Timeout = 60000 (Result: 0)",
                   "WIE 60000       // Timeout = 60000 (Result: 0)", "//< after"}));
}

}  // namespace
}  // namespace kvt::cmd
