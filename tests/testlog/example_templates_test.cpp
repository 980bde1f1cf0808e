#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "testlog/pattern_header.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

// The templates shipped in examples/templates must expand completely: every marker and every
// code of them is replaced.
class ExampleTemplatesTest : public TestLogFixture {
 protected:
  ExampleTemplatesTest() {
    settings.inputPath =
        (std::filesystem::path(KVT_SOURCE_DIR) / "examples" / "templates").string() +
        kPathSeparator;
    settings.outputFile = (dir / "run7.pat").string();
  }
  std::string runSession(int32_t format, int32_t interface) {
    install(format, interface);
    header();
    write(0x12, 0x34);
    read(0x05, 0xA5, 0x0F);
    sleep(2);
    return ReadFile(dir / "run7.pat");
  }
  static void expectFullyExpanded(const std::string& text) {
    // ("hA5" in a read's comment is a hex byte, not a marker.)
    EXPECT_FALSE(std::regex_search(text, std::regex("(^|[^h])[SAD][0-7]"))) << text;
    EXPECT_FALSE(std::regex_search(text, std::regex("%[cCtTfF#]"))) << text;
  }
};

TEST_F(ExampleTemplatesTest, AtfI2c) {
  const std::string text = runSession(kFormatATF, kInterfaceI2C);
  expectFullyExpanded(text);
  EXPECT_EQ(log.text(), "TestLog: Header file opened, preparing to configure output!\r\n");
  EXPECT_NE(text.find("! Pattern file run7 (I2C), logging started: Tue Mar 05 14:07:09 2024\n"
                      "! Slave address bits 6 to 1: 010110      \n! Slave address bit 0: 0 \n"),
            std::string::npos);
  EXPECT_NE(text.find("expected data (h or l, u where the mask leaves a bit out) UUUULH"),
            std::string::npos);
  EXPECT_NE(text.find("Waveset2 16668 :"), std::string::npos);
}

TEST_F(ExampleTemplatesTest, AtpSpi) {
  const std::string text = runSession(kFormatATP, kInterfaceSPI);
  expectFullyExpanded(text);
  EXPECT_NE(text.find("repeat 119 > - ;  ==> Header finished \n"), std::string::npos);
  EXPECT_NE(text.find("// R/W, vector 2\n"), std::string::npos);  // the header used 1
  EXPECT_NE(text.find("// D[0] : WR(h12,h34) "), std::string::npos);
  EXPECT_NE(text.find("repeat 50000 > - ; // Sleep"), std::string::npos);
}

}  // namespace
}  // namespace kvt::testlog::test
