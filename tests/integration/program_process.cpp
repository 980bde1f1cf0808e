#include "program_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <utility>

extern char** environ;

namespace kvt::test {

using SteadyClock = std::chrono::steady_clock;

ProgramProcess::ProgramProcess(const std::string& program, const std::vector<std::string>& args) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  output_ = pipeFds[0];
}

ProgramProcess::~ProgramProcess() {
  if (pid_ > 0) stop(SIGKILL);
  if (output_ >= 0) close(output_);
}

std::string ProgramProcess::readLine(std::chrono::milliseconds wait) {
  const auto deadline = SteadyClock::now() + wait;
  for (;;) {
    if (const size_t end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    pollfd ready{output_, POLLIN, 0};
    if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) return {};
    char buffer[256];
    const ssize_t n = read(output_, buffer, sizeof buffer);
    if (n <= 0) return {};
    pending_.append(buffer, static_cast<size_t>(n));
  }
}

std::string ProgramProcess::readAll(std::chrono::milliseconds wait) {
  const auto deadline = SteadyClock::now() + wait;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    pollfd ready{output_, POLLIN, 0};
    if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
    char buffer[4096];
    const ssize_t n = read(output_, buffer, sizeof buffer);
    if (n <= 0) break;
    pending_.append(buffer, static_cast<size_t>(n));
  }
  return std::exchange(pending_, {});
}

int ProgramProcess::stop(int signal, std::chrono::milliseconds wait) {
  if (pid_ <= 0) return -1;
  if (signal != 0) kill(pid_, signal);
  const auto deadline = SteadyClock::now() + wait;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) break;
    if (done < 0) {
      pid_ = -1;
      return -1;
    }
    if (SteadyClock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      pid_ = -1;
      return -1;
    }
    usleep(2000);
  }
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

long ProgramProcess::cpuTicks() const {
  std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Fields after the command name (which may hold blanks) start behind the last ')'.
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  long utime = -1;
  long stime = -1;
  for (int index = 3; fields >> field; ++index) {
    if (index == 14) utime = std::stol(field);
    if (index == 15) {
      stime = std::stol(field);
      break;
    }
  }
  return (utime < 0 || stime < 0) ? -1 : utime + stime;
}

}  // namespace kvt::test
