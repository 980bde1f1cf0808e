// Runs every folder of tests/testlog/cases: its `session` drives the pattern writers, its
// `expected` is the output file byte for byte (none: no file may appear), its `log` the log
// with LF line ends (none: an empty log). Its `templates` folder, if any, is the input folder.
//
// Session lines: format ATF|ATP|n I2C|SPI|n, output NAME, templates examples, vector N,
// header, write AA DD, read AA EE MM (hex), sleep MS, comment TEXT (\r \n escaped),
// settings FORMAT INTERFACE (without installing writers), active 0|1, apply (the settings, as OK
// does), and the checks expect-vector N, hooks 0|1 (installed or not), start-file-has TEXT (one
// line starting so), and for the start-up file: start-file TEXT (writes it), load, save 0|1
// I|A|F|FILE|PATH (sets the five stored settings, saves, expects the result), start-file-is TEXT
// and stored I|A|F|FILE|PATH|ACTIVE|VECTOR. wait does what a wait of a run does first; file-is
// NAME TEXT and so-far (the output is already what `expected` holds) look at files mid-run.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/wait_notice.h"
#include "testlog/apply_settings.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

namespace fs = std::filesystem;
const fs::path kCases = fs::path(KVT_SOURCE_DIR) / "tests/testlog/cases";

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(kCases)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

int32_t Code(const std::string& word) {
  if (word == "ATP" || word == "SPI") return 1;
  if (word == "ATF" || word == "I2C") return 0;
  return std::stoi(word);
}

std::string Unescaped(std::string text) {
  for (auto [from, to] : {std::pair{"\\r", "\r"}, {"\\n", "\n"}}) {
    for (std::size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, 2, to);
  }
  return text;
}

// The settings, the five the start-up file stores first.
std::string Stored(const TestLogSettings& s) {
  return std::to_string(s.interface) + "|" + std::to_string(s.i2cAddress) + "|" +
         std::to_string(s.outputFormat) + "|" + s.outputFile + "|" + s.inputPath + "|" +
         std::to_string(s.active) + "|" + std::to_string(s.vectorNumber);
}

void Store(TestLogSettings& s, const std::string& fields) {
  std::vector<std::string> f;
  std::istringstream in(fields);
  for (std::string field; std::getline(in, field, '|');) f.push_back(field);
  f.resize(5);
  s.interface = std::stoi(f[0]);
  s.i2cAddress = static_cast<uint8_t>(std::stoi(f[1]));
  s.outputFormat = std::stoi(f[2]);
  s.outputFile = f[3];
  s.inputPath = f[4];
}

class PatternCase : public TestLogFixture, public ::testing::WithParamInterface<std::string> {
 protected:
  void step(const fs::path& folder, const std::string& line) {
    std::istringstream in(line);
    std::string verb, a, b;
    unsigned x = 0, y = 0, z = 0;
    in >> verb;
    if (verb == "format" && in >> a >> b) install(Code(a), Code(b));
    if (verb == "output" && in >> a) settings.outputFile = (dir / a).string();
    if (verb == "templates") settings.inputPath = KVT_SOURCE_DIR "/examples/templates/";
    if (verb == "vector" && in >> x) settings.vectorNumber = x;
    if (verb == "header") header();
    if (verb == "write" && in >> std::hex >> x >> y && app.testLogHooks.writeHook) write(x, y);
    if (verb == "read" && in >> std::hex >> x >> y >> z && app.testLogHooks.readHook) {
      read(x, y, z);
    }
    if (verb == "sleep" && in >> x && app.testLogHooks.sleepHook) sleep(x);
    if (verb == "comment" && app.testLogHooks.commentHook) {
      comment(Unescaped(line.size() > 8 ? line.substr(8) : ""));
    }
    if (verb == "settings" && in >> a >> b) {
      settings.outputFormat = Code(a);
      settings.interface = Code(b);
    }
    if (verb == "active" && in >> x) settings.active = x;
    if (verb == "apply") ApplyTestLogSettings(context, kTime);
    if (verb == "hooks" && in >> x) {
      EXPECT_EQ(app.testLogHooks.writeHook != nullptr, x != 0);
    }
    if (verb == "start-file-has") {
      EXPECT_EQ(CountLines(ReadFile(app.startFilePath), line.substr(15)), 1) << line;
    }
    if (verb == "start-file") WriteFile(app.startFilePath, Unescaped(line.substr(11)));
    if (verb == "start-file-is") {
      EXPECT_EQ(ReadFile(app.startFilePath), Unescaped(line.substr(14))) << line;
    }
    if (verb == "wait") platform::NoticeWait();
    if (verb == "so-far") {
      EXPECT_EQ(ReadFile(settings.outputFile), ReadFile(folder / "expected"));
    }
    if (verb == "file-is" && in >> a) {
      EXPECT_EQ(ReadFile(dir / a), Unescaped(line.substr(9 + a.size())));
    }
    if (verb == "load") LoadTestLogSettings(settings, app.startFilePath);
    if (verb == "stored") {
      EXPECT_EQ(Stored(settings), line.substr(7));
    }
    if (verb == "save" && in >> x) {
      Store(settings, Unescaped(line.substr(7)));
      EXPECT_EQ(SaveTestLogSettings(settings, app.startFilePath), x != 0) << line;
    }
    if (verb == "expect-vector" && in >> x) {
      EXPECT_EQ(settings.vectorNumber, x) << line;
    }
  }
};

TEST_P(PatternCase, MatchesItsFolder) {
  const fs::path folder = kCases / GetParam();
  if (fs::exists(folder / "templates")) settings.inputPath = (folder / "templates/").string();
  std::istringstream session(ReadFile(folder / "session"));
  for (std::string line; std::getline(session, line);) step(folder, line);
  const fs::path output = settings.outputFile;
  FlushPatternOutputs();
  if (fs::exists(folder / "expected")) {
    EXPECT_EQ(ReadFile(output), ReadFile(folder / "expected"));
  } else {
    EXPECT_FALSE(fs::exists(output)) << output;
  }
  EXPECT_EQ(log.text(), kvt::test::WithCrLf(ReadFile(folder / "log")));
}

// A template is read as text up to 100000 characters; more is cut, too big for a data folder.
using PatternTemplateLimit = TestLogFixture;
TEST_F(PatternTemplateLimit, ABigTemplateIsCutAt100000Characters) {
  install(kFormatATP, kInterfaceI2C);
  std::string big;
  while (big.size() < 150000) big += "0123456789\r\n";
  putTemplate("WriteI2C.atp", big);
  write(0, 1);
  const std::string written = outputText();
  ASSERT_EQ(written.size(), 100000u);
  EXPECT_EQ(written.substr(0, 22), "0123456789\n0123456789\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, PatternCase, ::testing::ValuesIn(CaseNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kvt::testlog::test
