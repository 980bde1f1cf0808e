#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "testlog/pattern_header.h"
#include "testlog/pattern_hooks.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

std::string Golden(const std::string& name) {
  return ReadFile(std::filesystem::path(KVT_SOURCE_DIR) / "tests/testlog/golden" / name);
}

class PatternTest : public TestLogFixture {
 protected:
  // The text one call adds to the output file.
  template <typename Call>
  std::string added(Call call) {
    const std::string before = outputText();
    call();
    const std::string after = outputText();
    EXPECT_EQ(after.compare(0, before.size(), before), 0);
    return after.substr(before.size());
  }
};

// A whole session of each flavour: the default header, a write, reads with the masks 0xFF,
// 0x0F and 0x00, a sleep, a comment, writes to registers beyond the SPI address range, a read
// under 0xF0 and a sleep beyond 65535 ms. The golden files were checked line by line against
// the line formats of the pattern generators.
TEST_F(PatternTest, SessionsMatchTheGoldenFiles) {
  const std::tuple<int32_t, int32_t, const char*> flavours[] = {
      {kFormatATF, kInterfaceI2C, "session_i2c.atf"},
      {kFormatATF, kInterfaceSPI, "session_spi.atf"},
      {kFormatATP, kInterfaceI2C, "session_i2c.atp"},
      {kFormatATP, kInterfaceSPI, "session_spi.atp"}};
  for (const auto& [format, interface, golden] : flavours) {
    std::filesystem::remove(output());
    settings.vectorNumber = 1;
    install(format, interface);
    header();
    write(0x12, 0x34);
    read(0x05, 0xA5, 0xFF);
    read(0x05, 0xA5, 0x0F);
    read(0x3F, 0x00, 0x00);
    sleep(2);
    comment("//< Hello World");
    write(0x40, 0x81);
    write(0x05, 0x81);
    read(0x05, 0x5A, 0xF0);
    sleep(65537);
    EXPECT_EQ(outputText(), Golden(golden)) << golden;
  }
  const std::string notFound =
      "TestLog: Header file not found, initialization with default header!\r\n";
  EXPECT_EQ(log.text(), notFound + notFound + notFound + notFound);
}

// The golden sessions hold the numbering of each operation (an I2C write after the default
// header runs from vector 5 to 67, a read takes 85 vectors, an SPI operation 36; in .atp a
// write takes 29 statements, a read 39, SPI 16); these are the numbers they do not reach.
TEST_F(PatternTest, NumbersBeyondTheGoldenSessions) {
  install(kFormatATF, kInterfaceSPI);
  settings.vectorNumber = 9998;  // the column widens instead of cutting the number
  EXPECT_NE(added([&] { write(0x3F, 0x00); }).find("\n    10033 Waveset1"), std::string::npos);
  EXPECT_EQ(settings.vectorNumber, 9998u + 36);
  // The longest sleep still fits the repeat column's number.
  EXPECT_NE(added([&] { sleep(65535); }).find(" 1638375000 :"), std::string::npos);
  // .atp vectors carry no number.
  install(kFormatATP, kInterfaceI2C);
  settings.vectorNumber = 1;
  header();
  write(0x12, 0x34);
  read(0x12, 0x34, 0xFF);
  EXPECT_EQ(settings.vectorNumber, 1u);
}

using PatternOutput = PatternTest;

TEST_F(PatternOutput, CommentsAreWrittenAsGiven) {
  install(kFormatATP, kInterfaceSPI);
  EXPECT_EQ(added([&] { comment("//< 100% %c %# done"); }), "////< 100% %c %# done\n");
  install(kFormatATF, kInterfaceSPI);
  EXPECT_EQ(added([&] { comment(""); }), "!\n");
  // A line break inside a text cannot start a line the tester would not understand.
  EXPECT_EQ(added([&] { comment("a\r\nb"); }), "!a  b\n");
  EXPECT_EQ(settings.vectorNumber, 1u);
}

TEST_F(PatternOutput, AnUnopenableOutputFileGetsNothingAndKeepsTheNumber) {
  install(kFormatATF, kInterfaceI2C);
  settings.outputFile = (dir / "missing-folder" / "out.atf").string();
  write(1, 2);
  read(1, 2, 3);
  sleep(4);
  comment("x");
  EXPECT_EQ(settings.vectorNumber, 1u);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing-folder"));
  settings.outputFile = dir.string();  // a folder cannot be appended to either
  write(1, 2);
  EXPECT_EQ(settings.vectorNumber, 1u);
}

TEST_F(PatternOutput, OtherFormatsOrInterfacesInstallNoWriters) {
  for (auto [format, interface] : {std::pair{0, 2}, {1, -1}, {2, 0}, {-1, 1}}) {
    InstallGenerator(app.testLogHooks, kFormatATF, kInterfaceI2C);
    InstallGenerator(app.testLogHooks, format, interface);
    EXPECT_FALSE(app.testLogHooks.writeHook || app.testLogHooks.readHook ||
                 app.testLogHooks.commentHook || app.testLogHooks.sleepHook)
        << format << " " << interface;
  }
}

}  // namespace
}  // namespace kvt::testlog::test
