#pragma once

#include <atomic>
#include <cstdint>

namespace kvt::cli {

// Ctrl-C in `kvt-cli shell`: while an object lives, SIGINT no longer ends the program but
// marks an interrupt that the line editor and the running line look at. One at a time.
class ShellInterrupt {
 public:
  // `breakFlag` (may be null) is cleared by each Ctrl-C, as the Break button clears
  // scriptRunning.
  explicit ShellInterrupt(std::atomic<uint8_t>* breakFlag);
  ~ShellInterrupt();
  ShellInterrupt(const ShellInterrupt&) = delete;
  ShellInterrupt& operator=(const ShellInterrupt&) = delete;

  // The end of a pipe that becomes readable at each Ctrl-C; -1 while none is installed.
  static int fd();
  // True when a Ctrl-C came since the last call; forgets it.
  static bool take();
  // True when a Ctrl-C came since the last take(); keeps it.
  static bool pending();
};

}  // namespace kvt::cli
