// kvt-cli in scripts and racks: command files from standard input, files that cannot be run,
// one entry of the reference, the progress line.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>

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

}  // namespace
}  // namespace kvt::cli::test
