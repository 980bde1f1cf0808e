// kvt-cli --testlog end to end: a command file's register accesses, waits and messages become
// the pattern file that the start-up file's section [TestLog] asks for.
#include <gtest/gtest.h>

#include <ostream>

#include "app/app_state.h"
#include "chip/register_control.h"
#include "cli_process.h"
#include "testlog/pattern_hooks.h"

namespace kvt::cli::test {
namespace {

// Every command that hands something to the pattern output, and MR, which cannot.
constexpr const char* kScript =
    "SR 19 3C\n"
    "GR 19\n"
    "RE 19 3C\n"
    "RF 19 0C 0F\n"
    "SLP 2\n"
    "//> note 50%\n"
    "MR 19 01 1\n";

struct Flavour {
  int32_t outputFormat;
  int32_t interface;
  const char* name;
  friend void PrintTo(const Flavour& flavour, std::ostream* out) { *out << flavour.name; }
};

class TestLogOptionTest : public CliTest, public ::testing::WithParamInterface<Flavour> {
 protected:
  std::string startFile(const std::string& output) {
    return "0\n[TestLog]\nInterface=" + std::to_string(GetParam().interface) +
           "\nI2CAddress=81\nOutputFormat=" + std::to_string(GetParam().outputFormat) +
           "\nOutputFile=" + output + "\n";
  }
  // What the script's pattern calls add to a file holding `before`, written by the flavour's
  // own writers (their output is checked against the golden files of tests/testlog).
  std::string expectedPatterns(const std::string& before) {
    testlog::TestLogSettings settings;
    settings.interface = GetParam().interface;
    settings.outputFormat = GetParam().outputFormat;
    settings.i2cAddress = 0x51;
    settings.vectorNumber = 1;
    settings.outputFile = (folder / "expected.pat").string();
    writeFile("expected.pat", before);
    app::TestLogHooks hooks;
    testlog::InstallGenerator(hooks, settings.outputFormat, settings.interface);
    using P = chip::RegisterParams;
    hooks.writeHook(settings, P{0x19, 0x3C, nullptr});
    hooks.readHook(settings, P{0x19, 0x3C, nullptr}, 0xFF);  // GR: the value read, in full
    hooks.readHook(settings, P{0x19, 0x3C, nullptr}, 0xFF);  // RE: the expected value
    hooks.readHook(settings, P{0x19, 0x0C, nullptr}, 0x0F);  // RF: the expected value, masked
    hooks.sleepHook(settings, 2);
    hooks.commentHook(settings, "//< note 50%");
    return readFile("expected.pat");  // MR adds nothing
  }
};

TEST_P(TestLogOptionTest, ScriptBecomesThePatternsOfTheChosenFlavour) {
  const std::string config = startFile("patterns.pat");
  writeFile("kvt_start.cfg", config);
  writeFile("script.scf", kScript);
  writeFile("patterns.pat", "earlier\n");
  const CliResult result = cli({"--sim", "--testlog", "run", "script.scf"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("MR  19 01 1                    // (STKSTATUS 0000)\n"
                            "TestLog: Command not supported!!!\n"),
            std::string::npos)
      << result.out;
  const std::string expected = expectedPatterns("earlier\n");
  EXPECT_NE(expected.find("WR(h19,h3C)"), std::string::npos) << expected;
  EXPECT_EQ(readFile("patterns.pat"), expected);
  EXPECT_EQ(readFile("kvt_start.cfg"), config);
  // Without the option nothing is written.
  writeFile("kvt_start.cfg", startFile("never.pat"));
  const CliResult plain = cli({"--sim", "run", "script.scf"});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(plain.out.find("TestLog:"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(folder / "never.pat"));
}

TEST_P(TestLogOptionTest, NewPatternFileStartsWithTheHeader) {
  writeFile("kvt_start.cfg", startFile("fresh.pat"));
  const CliResult result = cli({"--sim", "--testlog", "exec", "SR 19 3C"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(
      result.out.find("TestLog: Header file not found, initialization with default header!\n"),
      std::string::npos)
      << result.out;
  const std::string patterns = readFile("fresh.pat");
  const std::string mark = GetParam().outputFormat == testlog::kFormatATF ? "!" : "//";
  EXPECT_EQ(patterns.rfind("\n\n" + mark + "No file found! Default header used!\n", 0), 0u);
  EXPECT_NE(patterns.find("WR(h19,h3C)"), std::string::npos);
  if (GetParam().outputFormat == testlog::kFormatATF) {
    // After the header's four vectors the write starts at 5.
    EXPECT_NE(patterns.find("\n       5 Waveset1 "), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(AllFlavours, TestLogOptionTest,
                         ::testing::Values(Flavour{0, 0, "AtfI2c"}, Flavour{0, 1, "AtfSpi"},
                                           Flavour{1, 0, "AtpI2c"}, Flavour{1, 1, "AtpSpi"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt::cli::test
