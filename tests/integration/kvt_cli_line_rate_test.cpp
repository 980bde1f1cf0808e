// kvt-cli against kvt-sim on a pseudo-terminal: the chip keeps its line rate between runs, as
// a real chip does until it is powered off.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "program_process.h"

namespace kvt {
namespace {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

// kvt-cli with `args` on `device`; standard error goes through a file.
CliRun runCli(const std::string& device, const std::vector<std::string>& args) {
  const std::filesystem::path errors =
      std::filesystem::temp_directory_path() / ("kvt_cli_rate_" + std::to_string(getpid()));
  std::vector<std::string> shellArgs{"-c", "exec \"$0\" \"$@\" 2>" + errors.string(),
                                     KVT_CLI_PROGRAM, "--port", device};
  shellArgs.insert(shellArgs.end(), args.begin(), args.end());
  test::ProgramProcess cli("/bin/sh", shellArgs);
  CliRun run{0, cli.readAll(std::chrono::seconds(20)), ""};
  run.status = cli.stop(0, std::chrono::seconds(20));
  std::ifstream file(errors);
  std::ostringstream text;
  text << file.rdbuf();
  run.err = text.str();
  std::filesystem::remove(errors);
  return run;
}

const std::string kVersionRead = "GR  37          // data == 28  // (STKSTATUS 0000)\n";

TEST(KvtCliLineRate, ARunLeavesTheChipAtTheRateItFoundIt) {
  auto sim = test::startKvtSim();
  const std::string device = sim.readLine();
  ASSERT_FALSE(device.empty());

  CliRun run = runCli(device, {"--baud", "115200", "--strict", "exec", "GR 37"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kVersionRead);
  // The next plain run finds the chip back at 9600.
  run = runCli(device, {"--strict", "exec", "GR 37"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kVersionRead);
  EXPECT_EQ(run.err, "");

  // A command file that moves the chip itself leaves it at 115200; the next run finds it there.
  run = runCli(device, {"exec", "SR 1F 79"});
  run = runCli(device, {"--strict", "exec", "GR 37"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, kVersionRead);
  EXPECT_EQ(run.err, "kvt-cli: the chip on " + device +
                         " does not answer at 9600 bit/s but at 115200; this run uses 115200\n");
  EXPECT_EQ(sim.stop(SIGTERM), 0);
}

TEST(KvtCliLineRate, KvtSimTracesTheAccessesItServes) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("kvt_sim_trace_" + std::to_string(getpid()));
  auto sim = test::startKvtSim({"--trace", file.string()});
  const std::string device = sim.readLine();
  ASSERT_FALSE(device.empty());
  ASSERT_EQ(runCli(device, {"exec", "GR 37"}).out, kVersionRead);
  EXPECT_EQ(sim.stop(SIGTERM), 0);
  std::ifstream in(file);
  std::ostringstream trace;
  trace << in.rdbuf();
  std::filesystem::remove(file);
  for (const char* line : {" line at 9600 bit/s\n", " > B7\n", " < 28     R 37 -> 28\n",
                           " the host closed the line\n"}) {
    EXPECT_NE(trace.str().find(line), std::string::npos) << line << " in\n" << trace.str();
  }
}

TEST(KvtCliLineRate, ASilentLineIsToldAndADumpOnItFailsUnderStrict) {
  auto sim = test::startKvtSim();
  const std::string device = sim.readLine();
  ASSERT_FALSE(device.empty());
  // At 19200 the chip understands nothing the host sends at 9600 or 115200.
  ASSERT_EQ(runCli(device, {"exec", "SR 1F AB"}).status, 0);
  const CliRun run = runCli(device, {"--strict", "dump"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "kvt-cli: no chip answers on " + device +
                         " at 9600 or 115200 bit/s\n"
                         "kvt-cli: the dump stopped at a register access with status 0104\n");
  EXPECT_EQ(sim.stop(SIGTERM), 0);
}

}  // namespace
}  // namespace kvt
