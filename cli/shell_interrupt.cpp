#include "cli/shell_interrupt.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

namespace kvt::cli {

namespace {

int pipeEnds[2] = {-1, -1};
std::atomic<uint8_t>* breakTarget = nullptr;
struct sigaction previousAction {};

extern "C" void onInterrupt(int) {
  if (breakTarget != nullptr) breakTarget->store(0);
  const char mark = 'c';
  if (pipeEnds[1] >= 0) {
    [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &mark, 1);
  }
}

}  // namespace

ShellInterrupt::ShellInterrupt(std::atomic<uint8_t>* breakFlag) {
  static_assert(std::atomic<uint8_t>::is_always_lock_free, "set from a signal handler");
  if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) pipeEnds[0] = pipeEnds[1] = -1;
  breakTarget = breakFlag;
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &previousAction);
}

ShellInterrupt::~ShellInterrupt() {
  sigaction(SIGINT, &previousAction, nullptr);
  breakTarget = nullptr;
  for (int& end : pipeEnds) {
    if (end >= 0) close(end);
    end = -1;
  }
}

int ShellInterrupt::fd() { return pipeEnds[0]; }

bool ShellInterrupt::take() {
  bool came = false;
  char marks[16];
  while (pipeEnds[0] >= 0 && read(pipeEnds[0], marks, sizeof marks) > 0) came = true;
  return came;
}

bool ShellInterrupt::pending() {
  if (pipeEnds[0] < 0) return false;
  pollfd ready{pipeEnds[0], POLLIN, 0};
  return poll(&ready, 1, 0) > 0 && (ready.revents & POLLIN) != 0;
}

}  // namespace kvt::cli
