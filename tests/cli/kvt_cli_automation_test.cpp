// kvt-cli in scripts and racks: command files from standard input, files that cannot be run,
// one entry of the reference, the progress line.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>

#include "cli_process.h"

namespace kvt::cli::test {
namespace {

using KvtCliAutomationTest = CliTest;

TEST_F(KvtCliAutomationTest, RunDashReadsTheWholeFileFromStandardInputJumpsIncluded) {
  const CliResult result = cli({"--sim", "run", "-"}, "jmp END\n//> skipped\n::: END\n//> done\n");
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "Processing -\n//< done\n");
}

// The window's log line reaches standard output and the --log file; the reason goes to
// standard error and the status is 2. A FIFO without a writer and an endless device must not
// hold the run.
TEST_F(KvtCliAutomationTest, AFileThatCannotBeRunIsLoggedAndExitsWith2) {
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(folder / "folder");
  const std::pair<const char*, const char*> cases[] = {{"missing.scf", "not found"},
                                                       {"folder", "not found"},
                                                       {"fifo", "not a regular file"},
                                                       {"/dev/zero", "not a regular file"}};
  for (const auto& [file, reason] : cases) {
    const CliResult result = cli({"--sim", "--log", "log.txt", "run", file});
    EXPECT_EQ(result.status, 2) << file;
    EXPECT_EQ(result.out, "Error: Cannot process SCF (not found).\n") << file;
    EXPECT_EQ(result.err,
              std::string("kvt-cli: cannot read the command file ") + file + ": " + reason + "\n");
  }
  EXPECT_EQ(readFile("log.txt").find("Error: Cannot process SCF (not found).\r\n"), 0u);
}

TEST_F(KvtCliAutomationTest, HelpWithACommandPrintsItsEntryOnly) {
  const CliResult result = cli({"help", "gr"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "Command:  GR\n"
            "Synopsis: GR <address>\n"
            "Description:\n"
            "The GR function gets data from a Sarvel register, located at\n"
            "address <address> (8-bit HEX). The retrieved value is stored in IOR.\n");
  const CliResult unknown = cli({"help", "XYZ"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.out, "");
  EXPECT_NE(unknown.err.find("no command XYZ"), std::string::npos);
}

// With standard error on a terminal (and the log going elsewhere), a run shows its progress
// there and erases it at the end; in a pipe or file it never appears (the other tests check
// that standard error stays empty).
TEST_F(KvtCliAutomationTest, RunShowsItsProgressOnATerminalAndErasesIt) {
  writeFile("two.scf", "//> one\n//> two\n");
  int controller = -1;
  int terminal = -1;
  ASSERT_EQ(openpty(&controller, &terminal, nullptr, nullptr, nullptr), 0);
  const std::string name = ttyname(terminal);
  const std::string command =
      std::string("exec 2>") + name + "; exec " + KVT_CLI_PROGRAM + " --sim run two.scf >out.txt";
  ASSERT_EQ(std::system(("cd " + folder.string() + " && sh -c '" + command + "'").c_str()), 0);
  // The program has ended: what it wrote waits in the terminal's buffer.
  fcntl(controller, F_SETFL, O_NONBLOCK);
  std::string shown;
  char buffer[512];
  for (ssize_t n; (n = read(controller, buffer, sizeof buffer)) > 0;) {
    shown.append(buffer, static_cast<size_t>(n));
  }
  close(controller);
  close(terminal);
  EXPECT_EQ(shown.rfind("\r\033[Kkvt-cli: lines done: 1, ", 0), 0u) << shown;
  EXPECT_TRUE(shown.ends_with(" s\r\033[K")) << shown;
  EXPECT_EQ(readFile("out.txt"), "Processing two.scf\n//< one\n//< two\n");
}

// The shell on a terminal, driven as a person types: a failed line comes back, Ctrl-C clears
// the line and ends a wait without ending the shell, Tab completes, user registers live for
// the session, Ctrl-D ends with a new line and the history is kept in XDG_STATE_HOME.
TEST_F(KvtCliAutomationTest, TheShellOnATerminal) {
  int controller = -1;
  const pid_t pid = forkpty(&controller, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("XDG_STATE_HOME", folder.c_str(), 1);
    execl(KVT_CLI_PROGRAM, KVT_CLI_PROGRAM, "--sim", "shell", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::string seen;
  // The prompt is shown before the line editor takes the terminal out of line mode; keys typed
  // in between would be the kernel's to echo and a Ctrl-C would hit the next prompt instead.
  const auto editorReads = [&] {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    termios mode{};
    while (tcgetattr(controller, &mode) == 0 && (mode.c_lflag & ICANON) != 0 &&
           std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
  // Types `keys`, then waits until the terminal has shown `expected` since the last call.
  const auto type = [&](const std::string& keys, const std::string& expected) {
    seen.clear();
    if (keys != "\x03") editorReads();
    EXPECT_EQ(write(controller, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    char buffer[1024];
    while (seen.find(expected) == std::string::npos && std::chrono::steady_clock::now() < end) {
      pollfd ready{controller, POLLIN, 0};
      if (poll(&ready, 1, 50) <= 0) continue;
      const ssize_t count = read(controller, buffer, sizeof buffer);
      if (count <= 0) break;
      seen.append(buffer, static_cast<size_t>(count));
    }
    return seen.find(expected) != std::string::npos;
  };
  EXPECT_TRUE(type("", "kvt> ")) << seen;
  EXPECT_TRUE(type("xyz 1\r", "(length = 3).\r\nkvt> xyz 1")) << seen;
  EXPECT_TRUE(type("\x03", "\r\nkvt> ")) << seen;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(type("SLP 60000\r", "SLP 60000\r\n")) << seen;
  EXPECT_TRUE(type("\x03", "kvt> ")) << seen;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
  EXPECT_TRUE(type("mov ml1 7\r", "kvt> ")) << seen;
  EXPECT_TRUE(type("//# m\t", "ML0  ML1")) << seen;
  EXPECT_TRUE(type("l1\r", "Value = 0x07\r\nkvt> ")) << seen;
  EXPECT_TRUE(type("\x04", "\r\n")) << seen;
  int status = -1;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(pid, SIGKILL);  // a shell that missed its Ctrl-D must not hold the suite
      waitpid(pid, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  close(controller);
  EXPECT_EQ(readFile("kvt/history"), "SLP 60000\nmov ml1 7\n//# ml1\n");
}

// Every line of standard output, parsed as a JSON document.
std::vector<nlohmann::json> jsonLines(const std::string& out) {
  std::vector<nlohmann::json> records;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) records.push_back(nlohmann::json::parse(line));
  return records;
}

// Register accesses, compares and messages of a run as records; the log file keeps the text.
TEST_F(KvtCliAutomationTest, JsonRecordsTheAccessesComparesAndMessagesOfARun) {
  writeFile("probe.scf", "//> probe\nSR 19 5A\nRF 19 0A 0F\nMR 19 0F 0\n");
  const CliResult result = cli({"--sim", "--json", "--log", "log.txt", "run", "probe.scf"});
  ASSERT_EQ(result.status, 0) << result.err;
  const auto records = jsonLines(result.out);
  const auto message = [](const char* text) {
    return nlohmann::json{{"event", "message"}, {"text", text}};
  };
  const std::string rf = "RF  19  0A  0F  // data == 5A  // (STKSTATUS 0000)";
  const std::vector<nlohmann::json> expected{
      message("Processing probe.scf"),
      message("//< probe"),
      {{"event", "access"},
       {"command", "SR"},
       {"address", "19"},
       {"value", "5A"},
       {"status", "0000"},
       {"description", "success"},
       {"line", "SR  19  5A                     // (STKSTATUS 0000)"}},
      {{"event", "access"},
       {"command", "RF"},
       {"address", "19"},
       {"value", "5A"},
       {"status", "0000"},
       {"description", "success"},
       {"line", rf}},
      {{"event", "compare"},
       {"command", "RF"},
       {"address", "19"},
       {"expected", "0A"},
       {"mask", "0F"},
       {"actual", "5A"},
       {"equal", true},
       {"line", rf}},
      {{"event", "access"},
       {"command", "MR"},
       {"address", "19"},
       {"mask", "0F"},
       {"set", false},
       {"status", "0000"},
       {"description", "success"},
       {"line", "MR  19 0F 0                    // (STKSTATUS 0000)"}}};
  EXPECT_EQ(records, expected);
  EXPECT_NE(readFile("log.txt").find("\r\nSR  19  5A "), std::string::npos);
}

TEST_F(KvtCliAutomationTest, JsonRecordsCardStepsAndDumpAccesses) {
  const CliResult card = cli(Words("--sim --json card activate wupa auth a read"));
  ASSERT_EQ(card.status, 0) << card.err;
  const auto steps = jsonLines(card.out);
  ASSERT_EQ(steps.size(), 3u) << card.out;
  EXPECT_EQ(steps[0]["step"], "activate");
  EXPECT_EQ(steps[0]["parameters"], "wupa");
  EXPECT_EQ(steps[0]["uid"], "C43B9E12");
  EXPECT_EQ(steps[0]["lines"].size(), 2u);
  EXPECT_EQ(steps[2]["step"], "read");
  EXPECT_EQ(steps[2]["status"], "0000");
  EXPECT_EQ(steps[2]["data"].get<std::string>().substr(0, 8), "C43B9E12");

  const CliResult dump = cli(Words("--sim --json dump"));
  ASSERT_EQ(dump.status, 0) << dump.err;
  int accesses = 0;
  for (const auto& record : jsonLines(dump.out)) accesses += record["event"] == "access";
  EXPECT_EQ(accesses, 64) << "the probe of register 00 and every register but the FIFO";
  EXPECT_EQ(cli(Words("--json help")).status, 2);
}

// card dump and card restore: the activation, each sector's authentication and every block as
// card steps with the block they acted on and its bytes; the summary is a message.
TEST_F(KvtCliAutomationTest, JsonRecordsTheStepsOfACardImageCopy) {
  const auto blockHex = [this](int block) {
    std::string hex;
    for (unsigned char byte : readFile("card.mfd").substr(block * 16, 16)) {
      hex += "0123456789ABCDEF"[byte >> 4];
      hex += "0123456789ABCDEF"[byte & 15];
    }
    return hex;
  };
  for (const char* action : {"dump", "restore"}) {
    const CliResult result = cli(Words("--sim --json card") + Words(action) + Words("card.mfd"));
    ASSERT_EQ(result.status, 0) << result.err;
    const auto records = jsonLines(result.out);
    std::map<std::string, int> steps;
    std::vector<int> blocks;
    for (const auto& record : records) {
      if (record["event"] != "card") continue;
      ++steps[record["step"]];
      EXPECT_EQ(record["status"], "0000") << record;
      if (record["step"] != "read" && record["step"] != "write") continue;
      blocks.push_back(record["block"]);
      // A trailer reads key A as zeros; the image carries the key that opened it.
      const size_t from = blocks.back() % 4 == 3 ? 12 : 0;
      EXPECT_EQ(record["data"].get<std::string>().substr(from),
                blockHex(blocks.back()).substr(from))
          << record;
      EXPECT_EQ(record["lines"].size(), 1u) << record;
    }
    const bool dump = std::string(action) == "dump";
    const std::map<std::string, int> expected{
        {"activate", 1}, {"auth", 16}, {dump ? "read" : "write", dump ? 64 : 47}};
    EXPECT_EQ(steps, expected) << action;
    EXPECT_TRUE(std::is_sorted(blocks.begin(), blocks.end())) << action;
    EXPECT_EQ(records.back(),
              (nlohmann::json{{"event", "message"},
                              {"text", dump ? "Card image card.mfd: 64 of 64 blocks read"
                                            : "Card image card.mfd: 47 blocks written"}}));
  }
}

// Standard output in a pipe is written in blocks, yet its reader sees each line before the
// program waits.
TEST_F(KvtCliAutomationTest, APipeReaderSeesEachLineBeforeASleep) {
  writeFile("sleep.scf", "//> before the sleep\nSLP 600000\n//> after\n");
  int pipeEnds[2];
  ASSERT_EQ(pipe2(pipeEnds, O_CLOEXEC), 0);
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(folder.c_str()) != 0) _exit(127);
    dup2(pipeEnds[1], STDOUT_FILENO);
    execl(KVT_CLI_PROGRAM, KVT_CLI_PROGRAM, "--sim", "run", "sleep.scf", nullptr);
    _exit(127);
  }
  close(pipeEnds[1]);
  const std::string expected = "Processing sleep.scf\n//< before the sleep\n";
  std::string seen;
  for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
       seen.size() < expected.size() && std::chrono::steady_clock::now() < end;) {
    pollfd readable{pipeEnds[0], POLLIN, 0};
    if (poll(&readable, 1, 100) <= 0) continue;
    char buffer[256];
    const ssize_t count = read(pipeEnds[0], buffer, sizeof buffer);
    if (count <= 0) break;
    seen.append(buffer, static_cast<std::size_t>(count));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  close(pipeEnds[0]);
  EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace kvt::cli::test
