#include "cli_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kvt::cli::test {

namespace {

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

CliProcess::CliProcess(const std::vector<std::string>& args, const std::string& folder) {
  int in[2], out[2], err[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    return;
  }
  std::vector<std::string> argv{KVT_CLI_PROGRAM};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    // Only async-signal-safe calls between fork and exec.
    if (chdir(folder.c_str()) != 0) _exit(127);
    dup2(in[0], STDIN_FILENO);
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    execv(pointers[0], pointers.data());
    _exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  input_ = in[1];
  output_ = out[0];
  errors_ = err[0];
  ::signal(SIGPIPE, SIG_IGN);  // a program that ends before reading its input
}

CliProcess::~CliProcess() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  closeFd(input_);
  closeFd(output_);
  closeFd(errors_);
}

void CliProcess::write(const std::string& text) {
  size_t sent = 0;
  while (input_ >= 0 && sent < text.size()) {
    const ssize_t n = ::write(input_, text.data() + sent, text.size() - sent);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

void CliProcess::closeInput() { closeFd(input_); }

bool CliProcess::pump(int timeoutMs) {
  pollfd fds[2] = {{output_, POLLIN, 0}, {errors_, POLLIN, 0}};
  if (output_ < 0 && errors_ < 0) return false;
  if (poll(fds, 2, timeoutMs) <= 0) return true;
  int* fdOf[2] = {&output_, &errors_};
  std::string* textOf[2] = {&out_, &err_};
  for (int i = 0; i < 2; ++i) {
    if (fds[i].fd < 0 || fds[i].revents == 0) continue;
    char buffer[4096];
    const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
    if (n > 0) {
      textOf[i]->append(buffer, static_cast<size_t>(n));
    } else {
      closeFd(*fdOf[i]);
    }
  }
  return output_ >= 0 || errors_ >= 0;
}

bool CliProcess::waitForOutput(const std::string& text, std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (out_.find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline || !pump(50)) {
      return out_.find(text) != std::string::npos;
    }
  }
  return true;
}

void CliProcess::signal(int number) {
  if (pid_ > 0) kill(pid_, number);
}

int CliProcess::finish(std::chrono::milliseconds wait) {
  closeInput();
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (pump(50)) {
    if (std::chrono::steady_clock::now() > deadline) return -1;
  }
  int status = 0;
  if (pid_ <= 0 || waitpid(pid_, &status, 0) != pid_) return -1;
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

CliResult RunCli(const std::vector<std::string>& args, const std::string& folder,
                 const std::string& input) {
  CliProcess process(args, folder);
  process.write(input);
  const int status = process.finish();
  return {status, process.out(), process.err()};
}

}  // namespace kvt::cli::test
