#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace kvt::test {

// A program started for a test with its standard output on a pipe. The destructor kills it
// if it still runs, so a failing test leaves no process behind.
class ProgramProcess {
 public:
  // Starts `program` with `args`; check started() for the outcome.
  ProgramProcess(const std::string& program, const std::vector<std::string>& args);
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  bool started() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  // The next line of standard output without its line end; empty when none came in time.
  std::string readLine(std::chrono::milliseconds wait = std::chrono::seconds(5));
  // Everything the program writes until it closes its output (or `wait` passes).
  std::string readAll(std::chrono::milliseconds wait = std::chrono::seconds(5));
  // Sends `signal` (0: none) and waits for the exit. The exit code, or -1 when the program was
  // ended by a signal or did not end within `wait`.
  int stop(int signal, std::chrono::milliseconds wait = std::chrono::seconds(5));
  // CPU time the running program has used so far (Linux /proc), in clock ticks; -1 if unknown.
  long cpuTicks() const;

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::string pending_;
};

// kvt-sim as built with this test.
inline ProgramProcess startKvtSim(const std::vector<std::string>& args = {}) {
  return ProgramProcess(KVT_SIM_PROGRAM, args);
}

}  // namespace kvt::test
