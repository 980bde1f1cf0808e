#pragma once

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"

namespace kvt::test {

// A built program started for a test in `folder`, its standard input read from `input`, its
// standard output and error written to the files out and err of `io` (a folder of their own).
// The streams named in `onTerminal` (0, 1, 2) go to a new pseudo-terminal instead, whose
// XDG_STATE_HOME is `folder`. The destructor kills a program that still runs, so a failing
// test leaves none behind.
class Program {
 public:
  Program(std::vector<std::string> argv, const std::filesystem::path& folder,
          const std::filesystem::path& io, const std::string& input = "",
          std::vector<int> onTerminal = {})
      : io_(io), onTerminal_(onTerminal) {
    std::filesystem::create_directories(io);
    WriteFile(io / "in", input);
    std::vector<char*> pointers;
    for (std::string& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    const int files[] = {
        open((io / "in").c_str(), O_RDONLY | O_CLOEXEC),
        open((io / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600),
        open((io / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600)};
    pid_ = onTerminal.empty() ? fork() : forkpty(&terminal_, nullptr, nullptr, nullptr);
    if (pid_ == 0) {
      // Only async-signal-safe calls between fork and exec (setenv before exec is harmless).
      if (chdir(folder.c_str()) != 0) _exit(127);
      if (!onTerminal.empty()) setenv("XDG_STATE_HOME", folder.c_str(), 1);
      for (int fd : {0, 1, 2}) {
        if (std::find(onTerminal.begin(), onTerminal.end(), fd) == onTerminal.end()) {
          dup2(files[fd], fd);
        }
      }
      execv(pointers[0], pointers.data());
      _exit(127);
    }
    for (int fd : files) close(fd);
    if (terminal_ >= 0) fcntl(terminal_, F_SETFL, O_NONBLOCK);
  }
  ~Program() {
    finish(std::chrono::seconds(0), SIGKILL);
    if (terminal_ >= 0) close(terminal_);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Waits until standard output holds `text` after its first `from` bytes (true), or the
  // program ended or `wait` passed.
  bool waitForOutput(const std::string& text, size_t from = 0,
                     std::chrono::seconds wait = std::chrono::seconds(20)) {
    for (const auto end = std::chrono::steady_clock::now() + wait;
         out().find(text, from) == std::string::npos; pause()) {
      if (std::chrono::steady_clock::now() > end || !running()) {
        return out().find(text, from) != std::string::npos;
      }
    }
    return true;
  }
  // The first line of standard output (kvt-sim's pty), empty when none came.
  std::string firstLine() { return waitForOutput("\n") ? out().substr(0, out().find('\n')) : ""; }
  void signal(int number) {
    if (pid_ > 0) kill(pid_, number);
  }
  // Sends `number` (0: none) and waits for the end: the exit status, or -1 when the program
  // was ended by a signal or did not end within `wait` (it is killed then).
  int finish(std::chrono::seconds wait = std::chrono::seconds(20), int number = 0) {
    signal(number);
    int status = 0;
    for (const auto end = std::chrono::steady_clock::now() + wait; pid_ > 0; pause()) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (std::chrono::steady_clock::now() >= end) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
      }
    }
    return -1;
  }
  std::string out() { return onTerminal(1) ? shown() : ReadFile(io_ / "out"); }
  std::string err() { return onTerminal(2) ? shown() : ReadFile(io_ / "err"); }
  // What the terminal has shown so far.
  const std::string& shown() {
    char buffer[1024];
    for (ssize_t n; terminal_ >= 0 && (n = read(terminal_, buffer, sizeof buffer)) > 0;) {
      shown_.append(buffer, static_cast<size_t>(n));
    }
    return shown_;
  }
  int terminal() const { return terminal_; }
  // How much of what the terminal showed has been read so far.
  size_t shownSoFar() const { return shown_.size(); }
  // CPU time the running program has used so far (Linux /proc), in clock ticks; -1 if unknown.
  long cpuTicks() const {
    const std::string text = ReadFile("/proc/" + std::to_string(pid_) + "/stat");
    // The fields after the command name (which may hold blanks) start behind the last ')'.
    const size_t close = text.rfind(')');
    long user = -1;
    long system = -1;
    const char* fields = " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld";
    if (close == std::string::npos ||
        sscanf(text.c_str() + close + 1, fields, &user, &system) != 2) {
      return -1;
    }
    return user + system;
  }

 private:
  bool running() {
    siginfo_t info{};
    return pid_ > 0 && waitid(P_PID, pid_, &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
  }
  bool onTerminal(int fd) const {
    return std::find(onTerminal_.begin(), onTerminal_.end(), fd) != onTerminal_.end();
  }
  static void pause() { std::this_thread::sleep_for(std::chrono::milliseconds(5)); }

  std::filesystem::path io_;
  std::vector<int> onTerminal_;
  int terminal_ = -1;
  std::string shown_;
  pid_t pid_ = -1;
};

}  // namespace kvt::test
