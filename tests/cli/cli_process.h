#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace kvt::cli::test {

// kvt-cli (as built with the tests) started in `folder` with pipes on all three standard
// streams. The destructor kills a program that still runs.
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& args, const std::string& folder);
  ~CliProcess();
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // Sends `text` to the program's standard input; closeInput() ends that input.
  void write(const std::string& text);
  void closeInput();
  // Reads standard output until it holds `text` (true) or `wait` passes (false).
  bool waitForOutput(const std::string& text, std::chrono::milliseconds wait);
  void signal(int number);
  // Closes the input, collects both outputs to their end and returns the exit status (-1 when
  // the program was ended by a signal or did not end within `wait`).
  int finish(std::chrono::milliseconds wait = std::chrono::seconds(20));

  const std::string& out() const { return out_; }
  const std::string& err() const { return err_; }

 private:
  // Moves what the pipes hold into out_ and err_; false once both are closed.
  bool pump(int timeoutMs);

  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  int errors_ = -1;
  std::string out_;
  std::string err_;
};

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

// Runs kvt-cli with `args` in `folder`, feeding it `input`, and waits for its end.
CliResult RunCli(const std::vector<std::string>& args, const std::string& folder,
                 const std::string& input = "");

}  // namespace kvt::cli::test
