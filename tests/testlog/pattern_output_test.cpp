// Templates are read once per input folder; what a reader of the open pattern file sees
// before a wait and after a switch of files: tests/testlog/cases/output_*.
#include <gtest/gtest.h>

#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

using PatternOutputTest = TestLogFixture;

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
