#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace kvt::cli::test {

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// kvt-cli (as built with the tests) started in `folder`, its standard input read from
// `input`, its standard output and error written to files of `io` (a folder of their own, so
// the program's folder holds only what the test and the program put there). The destructor
// kills a program that still runs.
class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& args, const std::filesystem::path& folder,
             const std::filesystem::path& io, const std::string& input = "")
      : io_(io) {
    std::filesystem::create_directories(io);
    std::ofstream(io / "in", std::ios::binary) << input;
    std::vector<std::string> argv{KVT_CLI_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
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
  ~CliProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  // Waits until standard output holds `text` (true) or `wait` passes (false).
  bool waitForOutput(const std::string& text, std::chrono::milliseconds wait) {
    for (const auto end = std::chrono::steady_clock::now() + wait;
         out().find(text) == std::string::npos;) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
  void signal(int number) {
    if (pid_ > 0) kill(pid_, number);
  }
  // The exit status, or -1 when the program was ended by a signal or did not end in `wait`.
  int finish(std::chrono::milliseconds wait = std::chrono::seconds(20)) {
    int status = 0;
    for (const auto end = std::chrono::steady_clock::now() + wait; pid_ > 0;) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      if (std::chrono::steady_clock::now() > end) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
  }
  std::string out() const { return ReadFile(io_ / "out"); }
  std::string err() const { return ReadFile(io_ / "err"); }

 private:
  std::filesystem::path io_;
  pid_t pid_ = -1;
};

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

// `text` with every LF turned into CR LF, as a --log file ends its lines.
inline std::string WithCrLf(const std::string& text) {
  std::string result;
  for (char c : text) result += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return result;
}

// The words of `text`, split at blanks.
inline std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

inline std::vector<std::string> operator+(std::vector<std::string> words,
                                          const std::vector<std::string>& more) {
  words.insert(words.end(), more.begin(), more.end());
  return words;
}

// A fresh working folder per test for kvt-cli to run in.
class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("kvt_cli_") + info->test_suite_name() + "_" + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    // The process id keeps apart two runs of the suite on one machine.
    name += "_" + std::to_string(getpid());
    folder = std::filesystem::temp_directory_path() / name;
    io = folder.string() + "_io";
    for (const auto& path : {folder, io}) {
      std::filesystem::remove_all(path);
      std::filesystem::create_directories(path);
    }
  }
  ~CliTest() override {
    std::filesystem::remove_all(folder);
    std::filesystem::remove_all(io);
  }

  void writeFile(const std::string& name, const std::string& text) {
    std::ofstream(folder / name, std::ios::binary) << text;
  }
  std::string readFile(const std::string& name) { return ReadFile(folder / name); }
  // Runs kvt-cli with `args` in `where` (the test's folder unless named), feeding it `input`,
  // and waits for its end.
  CliResult cli(const std::vector<std::string>& args, const std::string& input = "",
                const std::filesystem::path& where = {}) {
    CliProcess process(args, where.empty() ? folder : where, io, input);
    const int status = process.finish();
    return {status, process.out(), process.err()};
  }

  std::filesystem::path folder;
  std::filesystem::path io;
};

}  // namespace kvt::cli::test
