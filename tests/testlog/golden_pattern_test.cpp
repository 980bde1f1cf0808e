#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "testlog/pattern_header.h"
#include "testlog/pattern_hooks.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

class PatternTest : public TestLogFixture {
 protected:
  void header() {
    if (settings.outputFormat == kFormatATF) WriteAtfHeader(context, settings, kTime);
    if (settings.outputFormat == kFormatATP) WriteAtpHeader(context, settings, kTime);
  }
  void write(uint8_t address, uint8_t value) {
    app.testLogHooks.writeHook(settings, access(address, value));
  }
  void read(uint8_t address, uint8_t expected, uint8_t mask) {
    app.testLogHooks.readHook(settings, access(address, expected), mask);
  }
  void sleep(uint32_t milliseconds) { app.testLogHooks.sleepHook(settings, milliseconds); }
  void comment(std::string_view text) { app.testLogHooks.commentHook(settings, text); }

  // The text one call adds to the output file.
  template <typename Call>
  std::string added(Call call) {
    const std::string before = outputText();
    call();
    const std::string after = outputText();
    EXPECT_EQ(after.compare(0, before.size(), before), 0);
    return after.substr(before.size());
  }

  // The vector numbers of the .atf vector lines of `text`, in order.
  static std::vector<int> vectorNumbers(const std::string& text) {
    std::vector<int> numbers;
    static const std::regex line(R"(^    ( *\d+) Waveset1 )");
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);) {
      std::smatch match;
      if (std::regex_search(l, match, line)) numbers.push_back(std::stoi(match[1]));
    }
    return numbers;
  }
  static int atpStatements(const std::string& text) { return CountLines(text, "           >"); }
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

using PatternNumbering = PatternTest;

TEST_F(PatternNumbering, AtfI2cOperationsCountOnFromTheHeader) {
  install(kFormatATF, kInterfaceI2C);
  EXPECT_EQ(vectorNumbers(added([&] { header(); })), (std::vector<int>{1, 2, 3, 4}));
  const std::vector<int> writeVectors = vectorNumbers(added([&] { write(0x12, 0x34); }));
  ASSERT_EQ(writeVectors.size(), 63u);
  EXPECT_EQ(writeVectors.front(), 5);
  EXPECT_EQ(writeVectors.back(), 67);
  const std::vector<int> readVectors = vectorNumbers(added([&] { read(0x12, 0x34, 0xFF); }));
  ASSERT_EQ(readVectors.size(), 85u);
  EXPECT_EQ(readVectors.front(), 68);
  // Comments take no number: the next write starts right after the read.
  comment("//< between");
  EXPECT_EQ(vectorNumbers(added([&] { write(0, 0); })).front(), 68 + 85);
  EXPECT_EQ(vectorNumbers(added([&] { sleep(1); })), std::vector<int>{68 + 85 + 63});
}

TEST_F(PatternNumbering, AtfSpiOperationsTake36NumbersEach) {
  install(kFormatATF, kInterfaceSPI);
  settings.vectorNumber = 9998;  // the column widens instead of cutting the number
  const std::string text = added([&] { write(0x3F, 0x00); });
  const std::vector<int> writeVectors = vectorNumbers(text);
  ASSERT_EQ(writeVectors.size(), 36u);
  EXPECT_EQ(writeVectors.back(), 9998 + 35);
  EXPECT_NE(text.find("    10033 Waveset1"), std::string::npos);
  EXPECT_EQ(vectorNumbers(added([&] { read(0x3F, 0, 0); })).size(), 36u);
  EXPECT_EQ(settings.vectorNumber, 9998u + 72);
  // The longest sleep still fits the repeat column's number.
  EXPECT_NE(added([&] { sleep(65535); }).find(" 1638375000 :"), std::string::npos);
}

TEST_F(PatternNumbering, AtpStatementsPerOperationAndNoVectorNumbers) {
  install(kFormatATP, kInterfaceI2C);
  header();
  EXPECT_EQ(atpStatements(added([&] { write(0x12, 0x34); })), 29);
  EXPECT_EQ(atpStatements(added([&] { read(0x12, 0x34, 0xFF); })), 39);
  install(kFormatATP, kInterfaceSPI);
  EXPECT_EQ(atpStatements(added([&] { write(0x12, 0x34); })), 16);
  EXPECT_EQ(atpStatements(added([&] { read(0x12, 0x34, 0xFF); })), 16);
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
