// kvt-cli with a terminal: the shell driven as a person types, a run's progress line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "support/files.h"

namespace kvt::test {
namespace {

using std::chrono::steady_clock;

// kvt-cli started in `folder` on a new pseudo-terminal, standard output to `out` if named.
class Terminal {
 public:
  Terminal(std::vector<std::string> args, const std::filesystem::path& folder,
           const std::string& out = "") {
    args.insert(args.begin(), KVT_CLI_PROGRAM);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_ = forkpty(&controller_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      if (chdir(folder.c_str()) != 0) _exit(127);
      setenv("XDG_STATE_HOME", folder.c_str(), 1);
      if (!out.empty()) dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDOUT_FILENO);
      execv(argv[0], argv.data());
      _exit(127);
    }
  }
  ~Terminal() {
    if (pid_ > 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
    close(controller_);
  }
  // Types `keys` once the line editor reads them (the kernel would echo keys typed before it
  // takes the terminal out of line mode, and a Ctrl-C would hit the next prompt), then waits
  // until the terminal shows `expected`.
  bool type(const std::string& keys, const std::string& expected) {
    seen.clear();
    termios mode{};
    for (const auto end = steady_clock::now() + std::chrono::seconds(20);
         keys != "\x03" && tcgetattr(controller_, &mode) == 0 && (mode.c_lflag & ICANON) != 0 &&
         steady_clock::now() < end;) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(write(controller_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    return read(expected);
  }
  // Reads what the terminal shows until it holds `expected` (empty: until the program has
  // closed it).
  bool read(const std::string& expected) {
    char buffer[1024];
    for (const auto end = steady_clock::now() + std::chrono::seconds(20);
         (expected.empty() || seen.find(expected) == std::string::npos) &&
         steady_clock::now() < end;) {
      pollfd ready{controller_, POLLIN, 0};
      if (poll(&ready, 1, 50) <= 0) continue;
      const ssize_t count = ::read(controller_, buffer, sizeof buffer);
      if (count <= 0) break;
      seen.append(buffer, static_cast<size_t>(count));
    }
    return seen.find(expected) != std::string::npos;
  }
  int finish() {
    int status = -1;
    for (const auto end = steady_clock::now() + std::chrono::seconds(20);
         waitpid(pid_, &status, WNOHANG) == 0;) {
      if (steady_clock::now() > end) return -1;  // the destructor kills it
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string seen;

 private:
  int controller_ = -1;
  pid_t pid_ = -1;
};

// A failed line comes back, Ctrl-C clears the line and ends a wait without ending the shell,
// Tab completes, user registers live for the session, Ctrl-D ends with a new line and the
// history is kept in XDG_STATE_HOME.
TEST(KvtCliTerminal, TheShellAsAPersonTypes) {
  TempFolder folder;
  Terminal shell({"--sim", "shell"}, folder.path);
  EXPECT_TRUE(shell.type("", "kvt> ")) << shell.seen;
  EXPECT_TRUE(shell.type("xyz 1\r", "(length = 3).\r\nkvt> xyz 1")) << shell.seen;
  EXPECT_TRUE(shell.type("\x03", "\r\nkvt> ")) << shell.seen;
  EXPECT_TRUE(shell.type("SLP 60000\r", "SLP 60000\r\n")) << shell.seen;
  EXPECT_TRUE(shell.type("\x03", "kvt> ")) << shell.seen;
  EXPECT_TRUE(shell.type("mov ml1 7\r", "kvt> ")) << shell.seen;
  EXPECT_TRUE(shell.type("//# m\t", "ML0  ML1")) << shell.seen;
  EXPECT_TRUE(shell.type("l1\r", "Value = 0x07\r\nkvt> ")) << shell.seen;
  EXPECT_TRUE(shell.type("\x04", "\r\n")) << shell.seen;
  EXPECT_EQ(shell.finish(), 0);
  EXPECT_EQ(ReadFile(folder / "kvt/history"), "SLP 60000\nmov ml1 7\n//# ml1\n");
}

// With standard error on a terminal (and the log going elsewhere), a run shows its progress
// there and erases it at the end; in a pipe or file it never appears (the cases of
// tests/cli/cases check that standard error stays empty).
TEST(KvtCliTerminal, ARunShowsItsProgressAndErasesIt) {
  TempFolder folder;
  WriteFile(folder / "two.scf", "//> one\n//> two\n");
  Terminal run({"--sim", "run", "two.scf"}, folder.path, (folder / "out.txt").string());
  EXPECT_EQ(run.finish(), 0);
  run.read("");
  EXPECT_EQ(run.seen.rfind("\r\033[Kkvt-cli: lines done: 1, ", 0), 0u) << run.seen;
  EXPECT_TRUE(run.seen.ends_with(" s\r\033[K")) << run.seen;
  EXPECT_EQ(ReadFile(folder / "out.txt"), "Processing two.scf\n//< one\n//< two\n");
}

}  // namespace
}  // namespace kvt::test
