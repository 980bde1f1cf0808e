// kvt-cli end to end: the built program against its built-in simulated chip.
#include <gtest/gtest.h>
#include <signal.h>

#include "cli_process.h"

namespace kvt::cli::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

using KvtCliTest = CliTest;

TEST_F(KvtCliTest, RunPrintsTheLogWithLineFeeds) {
  writeFile("tour.scf", "//> Hello\nsr 19 3c\ngr 19\nRE 19 3C\n");
  const CliResult result = cli({"--sim", "run", "tour.scf"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Processing tour.scf\n"
            "//< Hello\n"
            "SR  19  3C                     // (STKSTATUS 0000)\n"
            "GR  19          // data == 3C  // (STKSTATUS 0000)\n"
            "RE  19  3C      // data == 3C  // (STKSTATUS 0000)\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(KvtCliTest, TheLogFileKeepsCrLfAndIsAppendedTo) {
  writeFile("saved.txt", "before\r\n");
  writeFile("one.scf", "//> one\n");
  ASSERT_EQ(cli({"run", "one.scf", "--sim", "--log", "saved.txt"}).status, 0);
  ASSERT_EQ(cli({"--log=saved.txt", "--sim", "exec", "//> two"}).status, 0);
  EXPECT_EQ(readFile("saved.txt"), "before\r\nProcessing one.scf\r\n//< one\r\n//< two\r\n");
}

// The file grows with the log: a run longer than the log's 100000 characters keeps every
// line, and a run ended by SIGTERM keeps what was logged up to then.
TEST_F(KvtCliTest, TheLogFileGetsEveryLineAsItIsProduced) {
  std::string script;
  for (int i = 0; i < 4000; ++i) script += "//> line " + std::to_string(i) + " of a long run\n";
  writeFile("long.scf", script);
  const CliResult result = cli(Words("--sim --log long.txt run long.scf"));
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string expected = WithCrLf(result.out);
  EXPECT_GT(expected.size(), 100000u);
  EXPECT_EQ(readFile("long.txt"), expected);

  // SIGTERM breaks the run as Ctrl-C does, and the program ends in order with 143.
  writeFile("slow.scf", "//> before\nSLP 60000\n//> after\n");
  CliProcess process(Words("--sim --log slow.txt run slow.scf"), folder, io);
  ASSERT_TRUE(process.waitForOutput("//< before\n", 10s)) << process.out();
  process.signal(SIGTERM);
  EXPECT_EQ(process.finish(), 143);
  EXPECT_EQ(readFile("slow.txt"),
            "Processing slow.scf\r\n//< before\r\nUser Break recognised.\r\n");
}

// The trace leaves the log as it is and shows each access with its bytes.
TEST_F(KvtCliTest, TraceWritesTheLineBesideTheLog) {
  const CliResult result = cli({"--sim", "--trace", "trace.txt", "exec", "SR 19 5A"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "SR  19  5A                     // (STKSTATUS 0000)\n");
  const std::string trace = readFile("trace.txt");
  for (const char* line : {" > 19\n", " > 5A\n", " < 19     W 19 5A -> echo 19\n"}) {
    EXPECT_NE(trace.find(line), std::string::npos) << line << " in\n" << trace;
  }
  const CliResult toStderr = cli({"--sim", "--trace", "-", "exec", "GR 37"});
  EXPECT_NE(toStderr.err.find(" < 28     R 37 -> 28\n"), std::string::npos) << toStderr.err;
}

// The log stays byte for byte; the description goes to standard error.
TEST_F(KvtCliTest, VerboseDescribesAFailingStatus) {
  const std::vector<std::string> lines{"exec", "CHB 19200", "GR 37"};
  const CliResult plain = cli(Words("--sim") + lines);
  const CliResult verbose = cli(Words("--sim --verbose") + lines);
  EXPECT_EQ(verbose.out, plain.out);
  EXPECT_EQ(plain.err, "");
  EXPECT_EQ(verbose.err,
            "kvt-cli: STKSTATUS 0104: serial interface error: no byte moved or wrong echo\n");
}

TEST_F(KvtCliTest, ExecRunsEachLineAsTheCommandLineDoes) {
  const CliResult result =
      cli({"--sim", "exec", "sr 19 5a", "xx", "GR 19 // comment", "mov ml0 5", "//# ML0", "XYZ 1"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "SR  19  5A                     // (STKSTATUS 0000)\n"
            "GR  19          // data == 5A  // (STKSTATUS 0000)\n"
            "Value = 0x00\n"  // every line has fresh user registers
            "ERROR: Unknown Command - \"XYZ\" (length = 3).\n");
}

TEST_F(KvtCliTest, StrictFailsOnErrorsOnly) {
  writeFile("bad.scf", "RE 37 00\n");
  const std::pair<std::vector<std::string>, int> cases[] = {
      {{"exec", "GR 37", "RE 37 28", "SAV NAME"}, 0},
      {{"exec", "RE 37 29"}, 1},
      {{"exec", "FOO"}, 1},
      {{"exec", "GR ZZ"}, 1},
      // At 19200 the PC no longer talks to the chip: the register status is not 0.
      {{"exec", "CHB 19200", "GR 37"}, 1},
      {{"run", "bad.scf"}, 1},
  };
  for (const auto& [args, status] : cases) {
    std::vector<std::string> strict{"--sim", "--strict"};
    strict.insert(strict.end(), args.begin(), args.end());
    EXPECT_EQ(cli(strict).status, status) << args.back();
  }
  EXPECT_EQ(cli({"--sim", "run", "bad.scf"}).status, 0) << "without --strict the log tells";

  // A jump to a missing label ends the run; the log stays silent, standard error tells.
  writeFile("jump.scf", "//> a\n::: THERE\nJMP THERE2\n//> b\n");
  const CliResult jump = cli(Words("--sim --strict run jump.scf"));
  EXPECT_EQ(jump.status, 1);
  EXPECT_EQ(jump.out, "Processing jump.scf\n//< a\n");
  EXPECT_EQ(jump.err, "kvt-cli: jump.scf:3: label THERE2 not found; the run ended there\n");
}

TEST_F(KvtCliTest, UsageErrorsExitWith2AndPrintNothingOnStandardOutput) {
  writeFile("ok.scf", "// nothing\n");
  // A start-up file whose pattern settings name no generator: nothing runs with --testlog.
  writeFile("none.cfg", "0\n[Ports]\nCOM1=sim\n[TestLog]\nInterface=2\n");
  // Pattern files that cannot be created: a folder, a file in a missing folder.
  writeFile("folder.cfg", "0\n[Ports]\nCOM1=sim\n[TestLog]\nOutputFile=.\n");
  writeFile("nofolder.cfg", "0\n[Ports]\nCOM1=sim\n[TestLog]\nOutputFile=no/such/p.atf\n");
  for (const char* args :
       {"", "--sim", "--sim frobnicate", "--sim --frobnicate dump", "--sim run",
        "--sim run ok.scf ok.scf", "--sim exec", "--sim --baud 4800 dump",
        "--sim --config absent.cfg dump", "--sim --log no/such/folder/log.txt dump",
        "--config none.cfg --testlog exec GR 37", "--config folder.cfg --testlog exec GR 37",
        "--strict --config nofolder.cfg --testlog run ok.scf"}) {
    const CliResult result = cli(Words(args));
    EXPECT_EQ(result.status, 2) << args;
    EXPECT_EQ(result.out, "") << args;
    EXPECT_NE(result.err.find("kvt-cli: "), std::string::npos) << args;
  }
}

// The message names the port as the user named it.
TEST_F(KvtCliTest, APortThatCannotBeOpenedExitsWith2) {
  writeFile("kvt_start.cfg", "2\n[Ports]\nCOM3=" + (folder / "gone").string() + "\n");
  const std::string device = (folder / "no-such-tty").string();
  const std::pair<std::string, std::string> cases[] = {
      {"--port " + device, device},
      {"--port COM9", "COM9"},
      {"", "COM3 (" + (folder / "gone").string() + ")"},
  };
  for (const auto& [options, named] : cases) {
    const CliResult result = cli(Words(options + " exec GR 37"));
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err,
              "kvt-cli: cannot open " + named +
                  ": No such file or directory\n'kvt-cli ports' lists the ports and "
                  "the device each COMn opens; --sim is the built-in simulated chip.\n");
  }
  // Without a start-up file and --port, the default port is told (whether the machine has a
  // /dev/ttyS0 that opens or not) and --sim is offered.
  fs::remove(folder / "kvt_start.cfg");
  const CliResult unchosen = cli(Words("exec GR 37"));
  EXPECT_NE(unchosen.err.find("Without a start-up file (kvt_start.cfg) the port is COM1; "
                              "--port chooses another, --sim the built-in simulated chip.\n"),
            std::string::npos)
      << unchosen.err;
}

TEST_F(KvtCliTest, TheStartUpFileChoosesThePortAndIsNeverWritten) {
  const std::string config = "3\r\n[Ports]\r\nCOM4=sim\r\n";
  writeFile("kvt_start.cfg", config);
  const auto before = fs::last_write_time(folder / "kvt_start.cfg");
  const CliResult result = cli({"exec", "GR 37"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "GR  37          // data == 28  // (STKSTATUS 0000)\n");
  EXPECT_EQ(cli({"--port", "com4", "dump"}).status, 0);
  EXPECT_EQ(readFile("kvt_start.cfg"), config);
  EXPECT_EQ(fs::last_write_time(folder / "kvt_start.cfg"), before);
  // Another start-up file, named on the command line.
  writeFile("bench.cfg", "0\n[Ports]\nCOM1=sim\n");
  EXPECT_EQ(cli({"--config", "bench.cfg", "exec", "GR 37"}).status, 0);
  EXPECT_EQ(readFile("bench.cfg"), "0\n[Ports]\nCOM1=sim\n");
}

TEST_F(KvtCliTest, BaudSwitchesChipAndPcTogether) {
  const CliResult result = cli({"--sim", "--baud", "115200", "exec", "GR 1F", "RE 37 28"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "GR  1F          // data == 79  // (STKSTATUS 0000)\n"
            "RE  37  28      // data == 28  // (STKSTATUS 0000)\n");
}

TEST_F(KvtCliTest, ShellReadsLinesWithoutATerminal) {
  const CliResult result = cli({"--sim", "shell"}, "sr 19 11\r\nGR 19\n\nab\n//> bye");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "SR  19  11                     // (STKSTATUS 0000)\n"
            "GR  19          // data == 11  // (STKSTATUS 0000)\n"
            "//< bye\n");
  EXPECT_EQ(result.err, "") << "no prompt without a terminal";
}

TEST_F(KvtCliTest, DumpHelpAndVersion) {
  const CliResult dump = cli({"--sim", "dump"});
  EXPECT_EQ(dump.status, 0);
  EXPECT_NE(dump.out.find("P3 "), std::string::npos) << dump.out;
  EXPECT_EQ(dump.out.find('\r'), std::string::npos);

  // The reference needs no port.
  const CliResult help = cli({"--port", "/nonexistent/tty", "help"});
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_EQ(help.out.substr(0, 33), "S A R V E L   C O M M A N D S :\n ");
  EXPECT_EQ(help.out.substr(help.out.size() - 3), "\n_\n");

  const CliResult version = cli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("kvt-cli ", 0), 0u);
  const CliResult usage = cli({"--help"});
  EXPECT_EQ(usage.status, 0);
  EXPECT_NE(usage.out.find("--strict"), std::string::npos);
}

TEST_F(KvtCliTest, PortsListsTheMapping) {
  writeFile("kvt_start.cfg", "1\n[Ports]\nCOM2=sim\nCOM5=/dev/ttyUSB3\n");
  const CliResult result = cli({"ports"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(
      result.out.find("  COM2: sim (the built-in simulated chip)  <- the start-up file's port\n"),
      std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("  COM5: /dev/ttyUSB3\n"), std::string::npos);
}

TEST_F(KvtCliTest, TheDemoRunsCleanly) {
  const CliResult result = cli(Words("--sim --strict run examples/demo.scf"), "", KVT_SOURCE_DIR);
  EXPECT_EQ(result.status, 0) << result.out << result.err;
  EXPECT_EQ(result.out.rfind("Processing examples/demo.scf\n", 0), 0u);
  EXPECT_NE(result.out.find("//< demo finished\n"), std::string::npos);
}

// Ctrl-C is the Break button (a failure under --strict) that also ends the wait in progress: a
// minute's WIL ends at once and the next line does not run. (Whether the interrupt meets the
// wait or the moment before it depends on timing; either way the run stops there.)
TEST_F(KvtCliTest, InterruptEndsTheWaitAndBreaksTheRun) {
  writeFile("wait.scf", "//> start\nWIL 1 60000\n//> not reached\n");
  CliProcess process(Words("--sim --strict run wait.scf"), folder, io);
  const std::string start = "Processing wait.scf\n//< start\n";
  ASSERT_TRUE(process.waitForOutput(start, 10s)) << process.out();
  process.signal(SIGINT);
  EXPECT_EQ(process.finish(), 1) << "a Break is a failure under --strict";
  EXPECT_EQ(process.err(), "kvt-cli: the run was interrupted\n");
  const std::string wait = "WIL 1 60000    // Level = 1, Timeout = 60000 (Result: 0)\n";
  const std::string end = "User Break recognised.\n";
  EXPECT_TRUE(process.out() == start + end || process.out() == start + wait + end) << process.out();

  // exec ends the wait of its current line (the minute's WIL that follows the first) and the
  // lines after it, and the chip still goes back to 9600 at the end.
  const std::string firstWait = "WIL 1 300    // Level = 1, Timeout = 300 (Result: 0)\n";
  CliProcess lines({"--sim", "--baud", "115200", "--trace", "trace.txt", "exec", "WIL 1 300",
                    "WIL 1 60000", "//> not reached"},
                   folder, io);
  ASSERT_TRUE(lines.waitForOutput(firstWait, 10s)) << lines.out();
  lines.signal(SIGINT);
  EXPECT_EQ(lines.finish(), 0);
  EXPECT_EQ(lines.out().find("not reached"), std::string::npos) << lines.out();
  EXPECT_EQ(lines.err(), "kvt-cli: the lines were interrupted\n");
  const std::string trace = readFile("trace.txt");
  EXPECT_NE(trace.find("W 1F EB -> echo 1F\n"), std::string::npos) << trace;
  EXPECT_TRUE(trace.ends_with(" line at 9600 bit/s\n")) << trace;
}

}  // namespace
}  // namespace kvt::cli::test
