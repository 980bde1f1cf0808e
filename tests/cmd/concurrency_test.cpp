// A running script and the window (register dump, its own log lines, TestLog dialog) share the
// chip, the log and the TestLog settings. Run under ThreadSanitizer (make tsan), this catches a
// register command that reaches the chip without the chip lock, a log append without the log's
// mutex and a look at the TestLog switch without the chip lock; in any build it checks that every
// access and every log line comes through whole.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "app/register_dump.h"
#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

using ConcurrencyTest = test::CommandFixture;

TEST_F(ConcurrencyTest, AScriptAndTheRegisterDumpShareTheChipAndTheLog) {
  constexpr int kScriptRounds = 300;
  constexpr int kDumps = 15;
  constexpr int kWindowLines = 20;
  // No pane: the fake window is not made for two threads, the log is.
  const app::DialogContext quiet{nullptr, nullptr, nullptr, 0, 0, &app};
  CommandInterpreter runner(quiet, clock, &tally);
  // The script starts with the first dump, so the two run side by side however slowly the
  // thread comes up: ThreadSanitizer sees only what really overlaps.
  std::atomic<bool> dumping{false};
  // Relaxed: the window only paces its lines by the script's, without synchronising with it.
  std::atomic<int> linesRun{0};
  std::thread script([&] {
    while (!dumping) std::this_thread::yield();
    for (int i = 0; i < kScriptRounds; ++i) {
      for (std::string line : {app::Format("SR 3C %02X", i & 0xFF),
                               app::Format("RE 3C %02X", i & 0xFF), std::string("MR 3C 01 1")}) {
        ExecuteLine(runner, line);
        linesRun.fetch_add(1, std::memory_order_relaxed);
      }
    }
    linesRun.store(-1, std::memory_order_relaxed);  // done
  });
  // One window line per script line, while the script writes its own.
  auto windowLineWithTheScript = [&] {
    const int seen = linesRun.load(std::memory_order_relaxed);
    while (seen >= 0 && linesRun.load(std::memory_order_relaxed) == seen) {
      std::this_thread::yield();
    }
    app::AppendLog(quiet, "window line", true);
  };
  for (int i = 0; i < kDumps; ++i) {
    dumping = true;
    app::DumpRegisters(quiet);
    // The window's own lines (port messages, register dialog results) reach the log without
    // the chip lock, while the script writes its lines.
    for (int n = 0; n < kWindowLines; ++n) windowLineWithTheScript();
    // What the TestLog dialog's check box does, under the chip lock; MR looks at it.
    std::lock_guard lock(app.chipLock);
    testLog.active = 0;
  }
  script.join();

  EXPECT_EQ(tally.total(), 0) << "an access of one thread broke into the other's";
  int writes = 0;
  int dumpRows = 0;
  int windowLines = 0;
  for (const std::string& line : logLines()) {
    if (line.rfind("SR  3C  ", 0) == 0) ++writes;
    if (line == "window line") ++windowLines;
    if (line.rfind("P", 0) == 0 && line.size() > 2 && line[1] >= '0' && line[1] <= '3') {
      ++dumpRows;
    }
  }
  EXPECT_EQ(writes, kScriptRounds);
  EXPECT_EQ(dumpRows, 4 * kDumps);
  EXPECT_EQ(windowLines, kWindowLines * kDumps);
}

}  // namespace
}  // namespace kvt::cmd
