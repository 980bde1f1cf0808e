// Runs every command file of tests/scripts against the simulated chip and compares the log
// with the file's expected log, byte for byte.
//
//   NAME.scf    the command file; a first line "// RUNS n" runs it n times in a row (the log
//               and resumeLine carry over from run to run, as with repeated "Process SCF")
//   NAME.log    the expected log, lines ending in LF here and CR LF in the log itself
//   NAME.hooks  optional: pattern output is switched on, and these are the TestLog hook calls
//               expected, one per line ("write AA DD", "read AA DD MM", "comment TEXT",
//               "sleep MS")
//
// The examples of examples/ that have an expected log in tests/scripts/examples/ run the same
// way.
//
// The run sees the file as NAME.scf in the working folder (a fresh temporary one, which also
// takes what SAV writes). RI is the simulated chip's interrupt output; the chip runs by the
// test clock while a wait looks at it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "cmd/script_runner.h"
#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

namespace fs = std::filesystem;

const fs::path kScripts = fs::path(KVT_SOURCE_DIR) / "tests" / "scripts";
const fs::path kExamples = fs::path(KVT_SOURCE_DIR) / "examples";
constexpr std::string_view kExample = "examples/";

// NAME for tests/scripts/NAME.scf, "examples/NAME" for examples/NAME.scf whose expected log
// is tests/scripts/examples/NAME.log.
std::vector<std::string> scriptNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kScripts, error)) {
    if (entry.path().extension() == ".scf") names.push_back(entry.path().stem().string());
  }
  for (const auto& entry : fs::directory_iterator(kScripts / "examples", error)) {
    if (entry.path().extension() == ".log") {
      names.push_back(std::string(kExample) + entry.path().stem().string());
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

fs::path scriptFile(const std::string& name) {
  if (name.starts_with(kExample)) return kExamples / (name.substr(kExample.size()) + ".scf");
  return kScripts / (name + ".scf");
}

class ScriptFileTest : public test::CommandFixture,
                       public ::testing::WithParamInterface<std::string> {};

TEST_P(ScriptFileTest, LogsWhatItsLogFileHolds) {
  const std::string name = GetParam();
  const fs::path file = scriptFile(name);
  const std::string source = test::ReadFile(file);
  fs::copy_file(file, folder / file.filename());
  enterFolder();
  int runs = 1;
  if (source.rfind("// RUNS ", 0) == 0) runs = std::stoi(source.substr(8));
  const fs::path hooksFile = kScripts / (name + ".hooks");
  testLog.active = fs::exists(hooksFile) ? 1 : 0;

  app.commandFilePath = file.filename().string();
  for (int run = 0; run < runs; ++run) {
    app.scriptRunning = 1;
    RunScript(context, environment);
  }

  EXPECT_EQ(logText(), test::WithCrLf(test::ReadFile(kScripts / (name + ".log"))));
  std::string calls;
  for (const std::string& call : hookCalls) calls += call + "\n";
  EXPECT_EQ(calls, testLog.active ? test::ReadFile(hooksFile) : "");
}

INSTANTIATE_TEST_SUITE_P(Scripts, ScriptFileTest, ::testing::ValuesIn(scriptNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ScriptFileTest);

}  // namespace
}  // namespace kvt::cmd
