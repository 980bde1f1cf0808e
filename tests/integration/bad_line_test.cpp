// kvt-cli on a line that goes wrong: kvt-sim serves the pty, kvt-cli runs through the real
// termios path. Every run must end within its time-outs with a failing status and a clear
// message; none may hang.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "cli/cli_process.h"
#include "program_process.h"

namespace kvt {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class BadLineTest : public cli::test::CliTest {
 protected:
  // Starts kvt-sim with `options`; the pty's path, empty when it did not start.
  std::string startSim(const std::vector<std::string>& options = {}) {
    sim = std::make_unique<test::ProgramProcess>(KVT_SIM_PROGRAM, options);
    return sim->started() ? sim->readLine() : std::string();
  }
  static size_t count(const std::string& text, const std::string& part) {
    size_t found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
      ++found;
    }
    return found;
  }

  std::unique_ptr<test::ProgramProcess> sim;
};

// kvt-sim stops while a line waits on RI for a minute: the wait, and the run, end at once.
TEST_F(BadLineTest, ALostPortEndsTheWaitAndTheRunWithOneMessage) {
  writeFile("wait.scf", "GR 37\nWIL 1 60000\nGR 37\nGR 37\n");
  const std::vector<std::vector<std::string>> runs = {
      {"run", "wait.scf"}, {"exec", "GR 37", "WIE 60000", "GR 37", "GR 37"}};
  for (const auto& command : runs) {
    const std::string device = startSim();
    ASSERT_FALSE(device.empty());
    std::vector<std::string> args{"--strict", "--port", device};
    args.insert(args.end(), command.begin(), command.end());
    cli::test::CliProcess cli(args, folder, io);
    ASSERT_TRUE(cli.waitForOutput("// data == 28", seconds(10))) << cli.err();
    ASSERT_EQ(sim->stop(SIGTERM), 0);
    EXPECT_EQ(cli.finish(seconds(5)), 1) << command[0];
    const std::string out = cli.out();
    EXPECT_EQ(count(out, "// data == 28"), 1u) << out;
    EXPECT_EQ(count(out, "lost"), 1u) << out;
    EXPECT_NE(out.find("(" + device + ") lost"), std::string::npos) << out;
    EXPECT_EQ(count(out, "STKSTATUS"), 1u) << "no line ran after the loss:\n" << out;
    const std::string err = cli.err();
    EXPECT_EQ(count(err, "lost the port"), 1u) << err;
    EXPECT_NE(err.find(device), std::string::npos) << err;
  }
}

// SIGTERM in the middle of a card dump on a slow line: the dump stops before its next block and
// writes no image of part of the card, the chip goes back to the 9600 bit/s it was found at,
// and the log file holds every line up to the end.
TEST_F(BadLineTest, SigtermDuringACardDumpLeavesTheChipAtItsRateAndTheLogComplete) {
  const std::string device = startSim({"--line-late", "5"});
  ASSERT_FALSE(device.empty());
  cli::test::CliProcess dump({"--port", device, "--baud", "115200", "--log", "card.log", "--trace",
                              "trace.txt", "card", "dump", "card.mfd"},
                             folder, io);
  ASSERT_TRUE(dump.waitForOutput("Read(0x01, ", seconds(20))) << dump.out() << dump.err();
  dump.signal(SIGTERM);
  EXPECT_EQ(dump.finish(), 143) << dump.err();
  EXPECT_EQ(dump.err(), "kvt-cli: card dump was interrupted; card.mfd not written\n");
  EXPECT_FALSE(std::filesystem::exists(folder / "card.mfd"));
  EXPECT_EQ(readFile("card.log"), cli::test::WithCrLf(dump.out()));
  const std::string trace = readFile("trace.txt");
  EXPECT_TRUE(trace.ends_with(" line at 9600 bit/s\n")) << trace.substr(trace.size() > 300 ? trace.size() - 300 : 0);
  const cli::test::CliResult next = cli({"--port", device, "--strict", "exec", "GR 37"});
  EXPECT_EQ(next.status, 0) << next.err;
  EXPECT_EQ(next.err, "") << "the chip answers at 9600 again";
}

struct LineFault {
  const char* name;
  std::vector<std::string> options;
  // Commands that may ride the fault out: noise between two accesses is dropped, and a dump
  // only reads, so a wrong write echo does not touch it.
  std::vector<std::string> mayPass;
  friend void PrintTo(const LineFault& fault, std::ostream* out) { *out << fault.name; }
};

class LineFaultTest : public BadLineTest, public ::testing::WithParamInterface<LineFault> {};

// Every command kvt-cli has for the chip, each against a fresh kvt-sim with the fault: it must
// end within its limit, with exit 1 under --strict and the failure in the log (or, for a lost
// port, on standard error). The limits are generous multiples of what the time-outs allow.
TEST_P(LineFaultTest, EveryCommandEndsInTimeWithExit1AndTheFailureShown) {
  writeFile("lines.scf", "SR 3C 5A\nRE 3C 5A\nGR 37\nRE 37 28\nSR 3C A5\nRE 3C A5\n");
  const std::vector<std::vector<std::string>> commands = {
      {"exec", "SR 3C 5A", "RE 3C 5A", "GR 37", "RE 37 28", "SR 3C A5", "RE 3C A5"},
      {"run", "lines.scf"},
      {"dump"},
      {"card", "activate", "auth", "a", "read"},
  };
  for (const auto& command : commands) {
    const std::string device = startSim(GetParam().options);
    ASSERT_FALSE(device.empty());
    std::vector<std::string> args{"--strict", "--port", device};
    args.insert(args.end(), command.begin(), command.end());
    cli::test::CliProcess cli(args, folder, io);
    const auto start = std::chrono::steady_clock::now();
    const int status = cli.finish(seconds(40));
    const auto took = std::chrono::steady_clock::now() - start;
    const std::string out = cli.out();
    const std::string err = cli.err();
    ASSERT_NE(status, -1) << command[0] << " did not end in 40 s\n" << out << err;
    EXPECT_LT(took, seconds(30)) << command[0];
    // A status other than 0000 (register lines, dump, card steps), a failed compare, or a
    // message on standard error.
    static const std::regex failure(
        "STKSTATUS (0x)?(?!0000)[0-9A-Fa-f]{4}|Status: 0x(?!0000)|\\*\\* ERROR \\*\\*");
    const bool shown =
        std::regex_search(out, failure) || err.find("kvt-cli: ") != std::string::npos;
    const auto& mayPass = GetParam().mayPass;
    if (status == 0 && std::find(mayPass.begin(), mayPass.end(), command[0]) != mayPass.end()) {
      continue;
    }
    EXPECT_EQ(status, 1) << command[0] << "\n" << out << err;
    EXPECT_TRUE(shown) << command[0] << "\n" << out << err;
    sim.reset();
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachFault, LineFaultTest,
    ::testing::Values(LineFault{"SilentAfter", {"--line-silent-after", "6"}, {}},
                      LineFault{"WrongEcho", {"--line-wrong-echo"}, {"dump"}},
                      LineFault{"DropEvery", {"--line-drop-every", "4"}, {}},
                      LineFault{"Late", {"--line-late", "700"}, {}},
                      LineFault{"Noise", {"--line-noise", "2"}, {"exec", "run", "dump", "card"}},
                      LineFault{"CloseAfter", {"--line-close-after", "5"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt
