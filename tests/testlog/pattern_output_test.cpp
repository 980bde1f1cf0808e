// The pattern file stays open for a run: what a reader of the file sees and when.
#include <gtest/gtest.h>

#include "platform/wait_notice.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

using PatternOutputTest = TestLogFixture;

TEST_F(PatternOutputTest, BeforeAWaitTheFileHoldsEveryAccessSoFar) {
  install(kFormatATP, kInterfaceSPI);
  write(0x01, 0x02);
  comment("before the wait");
  platform::NoticeWait();
  const std::string seen = ReadFile(output());
  app.testLogHooks = {};  // the run's end
  EXPECT_EQ(seen, ReadFile(output()));
  EXPECT_NE(seen.find(" WR(h01,h02) "), std::string::npos);
  EXPECT_TRUE(seen.ends_with("//before the wait\n"));
}

TEST_F(PatternOutputTest, AnotherOutputFileTakesTheNextAccessAndTheFirstIsComplete) {
  install(kFormatATF, kInterfaceI2C);
  comment("first");
  const std::string first = settings.outputFile;
  settings.outputFile = (dir / "second.pat").string();
  comment("second");
  EXPECT_EQ(ReadFile(first), "!first\n");
  app.testLogHooks = {};
  EXPECT_EQ(ReadFile(settings.outputFile), "!second\n");
}

TEST_F(PatternOutputTest, TemplatesAreLookedForOnceForEachInputFolder) {
  install(kFormatATF, kInterfaceSPI);
  putTemplate("SleepSPI.atf", "first %t\n");
  sleep(1);
  putTemplate("SleepSPI.atf", "changed %t\n");
  sleep(1);
  std::filesystem::create_directories(dir / "other");
  WriteFile(dir / "other" / "SleepSPI.atf", "other %t\n");
  settings.inputPath = (dir / "other").string() + kPathSeparator;
  sleep(2);
  EXPECT_EQ(outputText(), "first 25000\nfirst 25000\nother 50000\n");
}

}  // namespace
}  // namespace kvt::testlog::test
