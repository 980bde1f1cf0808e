#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"

namespace kvt::test {

// A built program started for a test in `folder`, its standard input read from `input`, its
// standard output and error written to the files out and err of `io` (a folder of their own).
// The destructor kills a program that still runs, so a failing test leaves none behind.
class Program {
 public:
  Program(std::vector<std::string> argv, const std::filesystem::path& folder,
          const std::filesystem::path& io, const std::string& input = "")
      : io_(io) {
    std::filesystem::create_directories(io);
    WriteFile(io / "in", input);
    std::vector<char*> pointers;
    for (std::string& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    const int in = open((io / "in").c_str(), O_RDONLY | O_CLOEXEC);
    const int out = open((io / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const int err = open((io / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    pid_ = fork();
    if (pid_ == 0) {
      // Only async-signal-safe calls between fork and exec.
      if (chdir(folder.c_str()) != 0) _exit(127);
      dup2(in, STDIN_FILENO);
      dup2(out, STDOUT_FILENO);
      dup2(err, STDERR_FILENO);
      execv(pointers[0], pointers.data());
      _exit(127);
    }
    for (int fd : {in, out, err}) close(fd);
  }
  ~Program() { finish(std::chrono::seconds(0), SIGKILL); }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Waits until standard output holds `text` (true), or the program ended or `wait` passed.
  bool waitForOutput(const std::string& text,
                     std::chrono::seconds wait = std::chrono::seconds(20)) {
    for (const auto end = std::chrono::steady_clock::now() + wait;
         out().find(text) == std::string::npos; pause()) {
      if (std::chrono::steady_clock::now() > end || !running()) {
        return out().find(text) != std::string::npos;
      }
    }
    return true;
  }
  // The first line of standard output (kvt-sim's pty), empty when none came.
  std::string firstLine() {
    waitForOutput("\n");
    const std::string text = out();
    return text.find('\n') == std::string::npos ? "" : text.substr(0, text.find('\n'));
  }
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
  std::string out() const { return ReadFile(io_ / "out"); }
  std::string err() const { return ReadFile(io_ / "err"); }
  // CPU time the running program has used so far (Linux /proc), in clock ticks; -1 if unknown.
  long cpuTicks() const {
    const std::string text = ReadFile("/proc/" + std::to_string(pid_) + "/stat");
    if (text.find(')') == std::string::npos) return -1;
    // The fields after the command name (which may hold blanks) start behind the last ')'.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int index = 3; index < 14 && fields >> field;) ++index;
    long user = -1;
    long system = -1;
    fields >> user >> system;
    return user < 0 || system < 0 ? -1 : user + system;
  }

 private:
  bool running() {
    siginfo_t info{};
    return pid_ > 0 && waitid(P_PID, pid_, &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
  }
  static void pause() { std::this_thread::sleep_for(std::chrono::milliseconds(5)); }

  std::filesystem::path io_;
  pid_t pid_ = -1;
};

}  // namespace kvt::test
