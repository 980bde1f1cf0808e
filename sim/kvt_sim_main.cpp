// kvt-sim: the simulated KV380 on a pseudo-terminal, so serial programs can talk to a chip
// without hardware.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chip/line_trace.h"
#include "platform/tty_rate.h"
#include "sim/host_interface.h"
#include "sim/kv380.h"
#include "sim/line_faults.h"
#include "sim/line_pace.h"
#include "sim/pty_link.h"
#include "sim/sim_options.h"

namespace {

using kvt::sim::HostInterface;
using kvt::sim::Kv380;
using kvt::sim::SimOptions;

volatile sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

constexpr const char* kPtyHint =
    "kvt-sim needs pseudo-terminals: /dev/ptmx and a mounted /dev/pts.";

// Every error has one shape: what went wrong, then a line that says what to do about it.
void reportError(const std::string& what, const char* hint) {
  std::fprintf(stderr, "kvt-sim: %s\n%s\n", what.c_str(), hint);
}

// Opens the master side of a new pty in raw mode (so the kernel never echoes or translates)
// with the line at the chip's reset rate. Returns -1 with a message on failure.
int openRawPty(std::string& slavePath) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    reportError(std::string("cannot create a pseudo-terminal: ") + std::strerror(errno), kPtyHint);
    if (master >= 0) close(master);
    return -1;
  }
  const char* name = ptsname(master);
  termios settings{};
  if (name == nullptr || tcgetattr(master, &settings) != 0) {
    reportError(std::string("cannot set up the pseudo-terminal: ") + std::strerror(errno),
                kPtyHint);
    close(master);
    return -1;
  }
  cfmakeraw(&settings);
  cfsetispeed(&settings, B9600);
  cfsetospeed(&settings, B9600);
  tcsetattr(master, TCSANOW, &settings);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  slavePath = name;
  return master;
}

// Sends the chip's answer to whoever holds the slave side. With nobody there, or nobody
// reading, the bytes are lost, as on an unconnected line.
void sendAnswer(int master, const std::vector<uint8_t>& answer) {
  size_t sent = 0;
  while (sent < answer.size()) {
    const ssize_t n = write(master, answer.data() + sent, answer.size() - sent);
    if (n > 0) {
      sent += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return;
    }
  }
}

class ChipServer {
 public:
  using Clock = kvt::sim::FaultyLine::Clock;

  ChipServer(int master, const std::string& slavePath, const SimOptions& options,
             kvt::chip::LineTrace* trace)
      : master_(master),
        options_(options),
        chip_(kvt::sim::ChipConfig{options.version}),
        line_(options.line, Clock::now()),
        pace_(options.pace, std::chrono::milliseconds(options.latencyMs), Clock::now()),
        chipTime_(Clock::now()),
        trace_(trace) {
    imageCards_ = kvt::sim::applyFieldSetup(options.field, chip_.field());
    newHost();
    // Told of every open of the terminal, so the next host is served the moment it comes.
    opens_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (opens_ >= 0 && inotify_add_watch(opens_, slavePath.c_str(), IN_OPEN) < 0) {
      close(opens_);
      opens_ = -1;
    }
  }
  ~ChipServer() {
    if (opens_ >= 0) close(opens_);
  }
  ChipServer(const ChipServer&) = delete;
  ChipServer& operator=(const ChipServer&) = delete;

  // With --sim-save, writes each image card's memory back to its file. False with a message
  // when a file could not be written.
  bool saveCards() const {
    if (!options_.field.saveImages) return true;
    const auto errors = kvt::sim::saveImageCards(imageCards_);
    for (const auto& error : errors) {
      reportError(error, "What was written to that card is lost; make the file writable.");
    }
    return errors.empty();
  }

  // Serves until a stop signal arrives or the line is to close. SIGINT and SIGTERM are blocked
  // outside the waits, so one that arrives between the check and the wait still ends the wait.
  int run(const sigset_t& waitMask) {
    uint8_t buffer[256];
    while (!stopRequested) {
      pollfd ready{master_, POLLIN, 0};
      timespec pause{};
      const int result = ppoll(&ready, 1, untilNextDue(pause), &waitMask);
      if (result < 0) {
        if (errno == EINTR) continue;
        reportError(std::string("waiting for the host failed: ") + std::strerror(errno),
                    "Start kvt-sim again; the simulated chip starts from reset.");
        return 1;
      }
      sendDue();
      if (result == 0) continue;
      if (ready.revents & POLLNVAL) return 1;
      if (ready.revents & POLLIN) {
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n > 0) {
          const bool open = serve(buffer, static_cast<size_t>(n));
          sendDue();
          if (!open) return closeLine();
          continue;
        }
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      }
      // Nobody holds the slave side (not yet opened, or closed again): the master reports a
      // hang-up until the next open. Wait a little instead of spinning.
      hostLeft(waitMask);
    }
    return 0;
  }

 private:
  void newHost() {
    host_.emplace(chip_);
    host_->setTestChipLayout(options_.testChip);
    host_->setBitReversed(options_.testChip);
  }

  // Hands the host's bytes to the chip and its answers to the line. False once the line is to
  // close (--line-close-after).
  bool serve(const uint8_t* bytes, size_t count) {
    // The pty pair shares the slave's settings: this is the rate the host has set.
    const uint32_t hostRate = kvt::platform::currentLineRate(master_).value_or(0);
    hostGone_ = false;
    if (trace_ != nullptr && hostRate != tracedRate_) {
      trace_->note("line at " + std::to_string(hostRate) + " bit/s");
      tracedRate_ = hostRate;
    }
    const Clock::time_point now = Clock::now();
    std::vector<uint8_t> answer;
    for (size_t i = 0; i < count && !line_.closing(); ++i) {
      line_.hostByte();
      if (trace_ != nullptr) received_.push_back(bytes[i]);
      Clock::time_point done = pace_.hostByte(now, hostRate);
      advanceChip(done, hostRate);
      const bool echo = host_->awaitingData();
      answer.clear();
      host_->receive(bytes[i], hostRate, answer);
      for (uint8_t byte : answer) {
        done = pace_.chipByte(done, hostRate);
        advanceChip(done, hostRate);
        line_.answerByte(byte, echo, pace_.readable(done));
      }
    }
    return !line_.closing();
  }

  // The chip's clock runs one byte time for every byte on the line; with --pace it follows the
  // paced time itself, pauses between the host's accesses included.
  void advanceChip(Clock::time_point to, uint32_t rate) {
    if (!pace_.paced()) {
      chip_.advanceTime(kvt::sim::LinePace::byteTime(rate));
      return;
    }
    if (to > chipTime_) chip_.advanceTime(to - chipTime_);
    chipTime_ = std::max(chipTime_, to);
  }

  // Sends what the line has due, then traces it after the host's bytes that came before, so
  // the trace never delays an answer.
  void sendDue() {
    due_.clear();
    line_.takeDue(Clock::now(), due_);
    sendAnswer(master_, due_);
    if (trace_ == nullptr) return;
    for (uint8_t byte : received_) trace_->hostByte(byte);
    for (uint8_t byte : due_) trace_->chipByte(byte);
    received_.clear();
  }

  // The time until the line's next byte falls due, or null (wait for the host alone).
  const timespec* untilNextDue(timespec& pause) const {
    const auto next = line_.nextDue();
    if (!next) return nullptr;
    const auto left = std::max(*next - Clock::now(), Clock::duration::zero());
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    pause =
        timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
    return &pause;
  }

  int closeLine() {
    std::fprintf(stderr, "kvt-sim: closing the line after %llu bytes from the host\n",
                 static_cast<unsigned long long>(options_.line.closeAfter.value_or(0)));
    if (trace_ != nullptr) trace_->note("kvt-sim closes the line");
    return 0;
  }

  void hostLeft(const sigset_t& waitMask) {
    if (!hostGone_) newHost();  // a half-sent write frame ends with its host
    if (!hostGone_ && trace_ != nullptr) trace_->note("the host closed the line");
    hostGone_ = true;
    // An open seen since the last look may be the next host's: look at the line again.
    if (drainOpens()) return;
    // Until the terminal is opened again; the time-out only guards against a missed notice.
    pollfd opened{opens_, POLLIN, 0};
    const timespec pause{0, opens_ >= 0 ? 500'000'000 : 20'000'000};
    ppoll(opens_ >= 0 ? &opened : nullptr, opens_ >= 0 ? 1 : 0, &pause, &waitMask);
  }

  // Reads the open notices that have come; true when there were any.
  bool drainOpens() {
    if (opens_ < 0) return false;
    alignas(inotify_event) char events[4096];
    bool any = false;
    while (read(opens_, events, sizeof events) > 0) any = true;
    return any;
  }

  int master_;
  SimOptions options_;
  Kv380 chip_;
  std::optional<HostInterface> host_;
  kvt::sim::FaultyLine line_;
  kvt::sim::LinePace pace_;
  Clock::time_point chipTime_;  // how far the chip's clock has run, with --pace
  std::vector<uint8_t> due_;
  std::vector<uint8_t> received_;  // host bytes not yet traced
  bool hostGone_ = false;
  kvt::chip::LineTrace* trace_;
  int opens_ = -1;  // inotify: opens of the terminal
  uint32_t tracedRate_ = 0;
  std::vector<kvt::sim::ImageCard> imageCards_;
};

// Blocks SIGINT and SIGTERM, so that they are taken only inside the waits (ppoll), and returns
// the mask those waits use; a host that goes away never ends the program with SIGPIPE.
sigset_t takeStopSignalsInWaitsOnly() {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigset_t waitMask;
  sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
  sigdelset(&waitMask, SIGINT);
  sigdelset(&waitMask, SIGTERM);
  struct sigaction onStop {};
  onStop.sa_handler = requestStop;
  sigemptyset(&onStop.sa_mask);
  sigaction(SIGINT, &onStop, nullptr);
  sigaction(SIGTERM, &onStop, nullptr);
  signal(SIGPIPE, SIG_IGN);
  return waitMask;
}

}  // namespace

int main(int argc, char** argv) {
  SimOptions options;
  std::string error;
  if (!kvt::sim::parseSimOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "kvt-sim: %s\nTry 'kvt-sim --help'.\n", error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(kvt::sim::simUsage().c_str(), stdout);
    return 0;
  }
  if (options.showVersion) {
    std::printf("kvt-sim %s\n", KVT_VERSION);
    return 0;
  }

  const sigset_t waitMask = takeStopSignalsInWaitsOnly();
  // A paced byte is due within microseconds: the kernel's default 50 us wake-up slack would
  // stretch every one of them.
  if (options.pace) prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> traceFile(nullptr, std::fclose);
  std::optional<kvt::chip::LineTrace> trace;
  if (!options.trace.empty()) {
    traceFile.reset(options.trace == "-" ? nullptr : std::fopen(options.trace.c_str(), "w"));
    if (options.trace != "-" && traceFile == nullptr) {
      reportError("cannot write the trace file " + options.trace + ": " + std::strerror(errno),
                  "Check that its folder exists and can be written; --trace - writes to standard "
                  "error.");
      return 2;
    }
    trace.emplace(kvt::chip::FileSink(traceFile ? traceFile.get() : stderr));
  }
  std::string slavePath;
  const int master = openRawPty(slavePath);
  if (master < 0) return 1;
  if (!options.link.empty() && !kvt::sim::ClaimPtyLink(options.link, slavePath, error)) {
    reportError(error, "Choose another --link path, or remove that one if nothing uses it.");
    close(master);
    return 1;
  }
  std::printf("%s\n", slavePath.c_str());
  std::fflush(stdout);

  ChipServer server(master, slavePath, options, trace ? &*trace : nullptr);
  int result = server.run(waitMask);
  if (!server.saveCards() && result == 0) result = 1;

  if (!options.link.empty()) kvt::sim::ReleasePtyLink(options.link, slavePath);
  close(master);
  return result;
}
