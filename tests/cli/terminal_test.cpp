// kvt-cli with a terminal: the shell driven as a person types, a run's progress line.
#include <gtest/gtest.h>
#include <termios.h>

#include "support/program.h"

namespace kvt::test {
namespace {

using std::chrono::steady_clock;

// Types `keys` once the line editor reads them (keys typed before it takes the terminal out of
// line mode would be the kernel's to echo, and a Ctrl-C would hit the next prompt), then waits
// until the terminal shows `expected` after them.
bool Type(Program& shell, const std::string& keys, const std::string& expected) {
  const size_t from = shell.shownSoFar();
  termios mode{};
  for (const auto end = steady_clock::now() + std::chrono::seconds(20);
       keys != "\x03" && tcgetattr(shell.terminal(), &mode) == 0 && (mode.c_lflag & ICANON) != 0 &&
       steady_clock::now() < end;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(write(shell.terminal(), keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
  return shell.waitForOutput(expected, from);
}

// A failed line comes back, Ctrl-C clears the line and ends a wait without ending the shell,
// Tab completes, user registers live for the session, Ctrl-D ends with a new line and the
// history is kept in XDG_STATE_HOME.
TEST(KvtCliTerminal, TheShellAsAPersonTypes) {
  TempFolder folder;
  Program shell({KVT_CLI_PROGRAM, "--sim", "shell"}, folder.path, folder / "io", "", {0, 1, 2});
  EXPECT_TRUE(Type(shell, "", "kvt> ")) << shell.shown();
  EXPECT_TRUE(Type(shell, "xyz 1\r", "(length = 3).\r\nkvt> xyz 1")) << shell.shown();
  EXPECT_TRUE(Type(shell, "\x03", "\r\nkvt> ")) << shell.shown();
  EXPECT_TRUE(Type(shell, "SLP 60000\r", "SLP 60000\r\n")) << shell.shown();
  EXPECT_TRUE(Type(shell, "\x03", "kvt> ")) << shell.shown();
  EXPECT_TRUE(Type(shell, "mov ml1 7\r", "kvt> ")) << shell.shown();
  EXPECT_TRUE(Type(shell, "//# m\t", "ML0  ML1")) << shell.shown();
  EXPECT_TRUE(Type(shell, "l1\r", "Value = 0x07\r\nkvt> ")) << shell.shown();
  EXPECT_TRUE(Type(shell, "\x04", "\r\n")) << shell.shown();
  EXPECT_EQ(shell.finish(), 0);
  EXPECT_EQ(ReadFile(folder / "kvt/history"), "SLP 60000\nmov ml1 7\n//# ml1\n");
}

// With standard error on a terminal (and the log going elsewhere), a run shows its progress
// there and erases it at the end; in a pipe or file it never appears (the cases of
// tests/cli/cases check that standard error stays empty).
TEST(KvtCliTerminal, ARunShowsItsProgressAndErasesIt) {
  TempFolder folder;
  WriteFile(folder / "two.scf", "//> one\n//> two\n");
  Program run({KVT_CLI_PROGRAM, "--sim", "run", "two.scf"}, folder.path, folder / "io", "", {2});
  EXPECT_EQ(run.finish(), 0);
  EXPECT_EQ(run.shown().rfind("\r\033[Kkvt-cli: lines done: 1, ", 0), 0u) << run.shown();
  EXPECT_TRUE(run.shown().ends_with(" s\r\033[K")) << run.shown();
  EXPECT_EQ(run.out(), "Processing two.scf\n//< one\n//< two\n");
}

}  // namespace
}  // namespace kvt::test
