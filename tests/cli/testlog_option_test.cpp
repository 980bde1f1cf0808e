// kvt-cli --testlog end to end: a command file's register accesses, waits and messages become
// the pattern file that the start-up file's section [TestLog] asks for.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "cli_process.h"
#include "testlog/atf_generator.h"
#include "testlog/atp_generator.h"
#include "testlog/pattern_hooks.h"

namespace kvt::cli::test {
namespace {

namespace fs = std::filesystem;
using testlog::TestLogSettings;

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

class TestLogOptionTest : public ::testing::TestWithParam<Flavour> {
 protected:
  TestLogOptionTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = fs::temp_directory_path() /
             (std::string("kvt_cli_testlog_") +
              std::to_string(std::hash<std::string>{}(std::string(info->name()))));
    fs::remove_all(folder);
    fs::create_directories(folder);
    writeFile("script.scf", kScript);
  }
  ~TestLogOptionTest() override { fs::remove_all(folder); }

  void writeFile(const std::string& name, const std::string& text) {
    std::ofstream(folder / name, std::ios::binary) << text;
  }
  std::string readFile(const std::string& name) {
    std::ifstream file(folder / name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }
  std::string startFile(const Flavour& flavour, const std::string& output) {
    return "0\n[TestLog]\nInterface=" + std::to_string(flavour.interface) +
           "\nI2CAddress=81\nOutputFormat=" + std::to_string(flavour.outputFormat) +
           "\nOutputFile=" + output + "\n";
  }

  // What the script must add to a pattern file that already exists (so it gets no header).
  static std::string expectedPatterns(const Flavour& flavour) {
    TestLogSettings settings;
    settings.active = 1;
    settings.interface = flavour.interface;
    settings.outputFormat = flavour.outputFormat;
    settings.i2cAddress = 0x51;
    settings.vectorNumber = 1;
    const bool atf = flavour.outputFormat == testlog::kFormatATF;
    const bool i2c = flavour.interface == testlog::kInterfaceI2C;
    auto write = [&](uint8_t a, uint8_t d) {
      const std::string c = testlog::WriteComment(a, d);
      if (atf)
        return i2c ? testlog::atf::I2cWrite(settings, a, d, c)
                   : testlog::atf::SpiWrite(settings, a, d, c);
      return i2c ? testlog::atp::I2cWrite(settings, a, d, c)
                 : testlog::atp::SpiWrite(settings, a, d, c);
    };
    auto read = [&](uint8_t a, uint8_t v, uint8_t m) {
      const std::string c = testlog::ReadComment(a, v, m);
      if (atf)
        return i2c ? testlog::atf::I2cRead(settings, a, v, m, c)
                   : testlog::atf::SpiRead(settings, a, v, m, c);
      return i2c ? testlog::atp::I2cRead(settings, a, v, m, c)
                 : testlog::atp::SpiRead(settings, a, v, m, c);
    };
    auto sleep = [&](uint32_t ms) {
      const uint32_t n = testlog::SleepCycles(flavour.interface, ms);
      const std::string c = testlog::SleepComment(ms);
      if (atf)
        return i2c ? testlog::atf::I2cSleep(settings, n, c)
                   : testlog::atf::SpiSleep(settings, n, c);
      return i2c ? testlog::atp::I2cSleep(settings, n, c) : testlog::atp::SpiSleep(settings, n, c);
    };
    std::string text = "earlier\n";
    text += write(0x19, 0x3C);
    text += read(0x19, 0x3C, 0xFF);  // GR: the value read, checked in full
    text += read(0x19, 0x3C, 0xFF);  // RE: the expected value
    text += read(0x19, 0x0C, 0x0F);  // RF: the expected value under its mask
    text += sleep(2);
    text += std::string(atf ? "!" : "//") + "//< note 50%\n";
    return text;  // MR adds nothing
  }

  fs::path folder;
};

TEST_P(TestLogOptionTest, ScriptBecomesThePatternsOfTheChosenFlavour) {
  const Flavour flavour = GetParam();
  const std::string output = std::string("patterns.") + (flavour.outputFormat ? "atp" : "atf");
  const std::string config = startFile(flavour, output);
  writeFile("kvt_start.cfg", config);
  writeFile(output, "earlier\n");

  const CliResult result = RunCli({"--sim", "--testlog", "run", "script.scf"}, folder.string());
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(result.out.find("MR  19 01 1                    // (STKSTATUS 0000)\n"
                            "TestLog: Command not supported!!!\n"),
            std::string::npos)
      << result.out;
  EXPECT_EQ(readFile(output), expectedPatterns(flavour));
  EXPECT_EQ(readFile("kvt_start.cfg"), config);
}

TEST_P(TestLogOptionTest, NewPatternFileStartsWithTheHeader) {
  const Flavour flavour = GetParam();
  writeFile("kvt_start.cfg", startFile(flavour, "fresh.pat"));
  const CliResult result = RunCli({"--sim", "--testlog", "exec", "SR 19 3C"}, folder.string());
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(
      result.out.find("TestLog: Header file not found, initialization with default header!\n"),
      std::string::npos)
      << result.out;
  const std::string patterns = readFile("fresh.pat");
  const std::string mark = flavour.outputFormat == testlog::kFormatATF ? "!" : "//";
  EXPECT_EQ(patterns.rfind("\n\n" + mark + "No file found! Default header used!\n", 0), 0u);
  EXPECT_NE(patterns.find("WR(h19,h3C)"), std::string::npos);
  if (flavour.outputFormat == testlog::kFormatATF) {
    // After the header's four vectors the write starts at 5.
    EXPECT_NE(patterns.find("\n       5 Waveset1 "), std::string::npos);
  }
}

TEST_P(TestLogOptionTest, WithoutTheOptionNothingIsWritten) {
  writeFile("kvt_start.cfg", startFile(GetParam(), "never.pat"));
  const CliResult result = RunCli({"--sim", "run", "script.scf"}, folder.string());
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out.find("TestLog:"), std::string::npos);
  EXPECT_FALSE(fs::exists(folder / "never.pat"));
}

INSTANTIATE_TEST_SUITE_P(AllFlavours, TestLogOptionTest,
                         ::testing::Values(Flavour{0, 0, "AtfI2c"}, Flavour{0, 1, "AtfSpi"},
                                           Flavour{1, 0, "AtpI2c"}, Flavour{1, 1, "AtpSpi"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kvt::cli::test
