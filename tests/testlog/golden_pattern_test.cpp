#include <gtest/gtest.h>

#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "testlog/pattern_header.h"
#include "testlog/pattern_hooks.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

struct Flavour {
  int32_t outputFormat;
  int32_t interface;
  const char* golden;
  friend void PrintTo(const Flavour& flavour, std::ostream* out) { *out << flavour.golden; }
};

class GoldenPatternTest : public TestLogFixture, public ::testing::WithParamInterface<Flavour> {
 protected:
  void install(int32_t outputFormat, int32_t interface) {
    settings.outputFormat = outputFormat;
    settings.interface = interface;
    InstallGenerator(app.testLogHooks, outputFormat, interface);
  }
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
TEST_P(GoldenPatternTest, SessionMatchesTheGoldenFile) {
  install(GetParam().outputFormat, GetParam().interface);
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
  EXPECT_EQ(outputText(), Golden(GetParam().golden));
  EXPECT_EQ(log.text(), "TestLog: Header file not found, initialization with default header!\r\n");
}

INSTANTIATE_TEST_SUITE_P(AllFlavours, GoldenPatternTest,
                         ::testing::Values(Flavour{kFormatATF, kInterfaceI2C, "session_i2c.atf"},
                                           Flavour{kFormatATF, kInterfaceSPI, "session_spi.atf"},
                                           Flavour{kFormatATP, kInterfaceI2C, "session_i2c.atp"},
                                           Flavour{kFormatATP, kInterfaceSPI, "session_spi.atp"}),
                         [](const auto& info) {
                           return std::string(info.param.golden).replace(11, 1, "_");
                         });

using AtfNumbering = GoldenPatternTest;

TEST_F(AtfNumbering, I2cOperationsCountOnFromTheHeader) {
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

TEST_F(AtfNumbering, SpiOperationsTake36NumbersEach) {
  install(kFormatATF, kInterfaceSPI);
  settings.vectorNumber = 9998;  // the column widens instead of cutting the number
  const std::string text = added([&] { write(0x3F, 0x00); });
  const std::vector<int> writeVectors = vectorNumbers(text);
  ASSERT_EQ(writeVectors.size(), 36u);
  EXPECT_EQ(writeVectors.back(), 9998 + 35);
  EXPECT_NE(text.find("    10033 Waveset1"), std::string::npos);
  EXPECT_EQ(vectorNumbers(added([&] { read(0x3F, 0, 0); })).size(), 36u);
  EXPECT_EQ(settings.vectorNumber, 9998u + 72);
}

TEST_F(AtfNumbering, SpiAddressSendsOnlySixBits) {
  install(kFormatATF, kInterfaceSPI);
  const std::string all = added([&] { write(0x3F, 0x00); });
  for (int bit = 5; bit >= 0; --bit) {
    EXPECT_NE(all.find("U10ZZZZZ 011 H1UUUZ 0111 UUX; ! A[" + std::to_string(bit) + "]\n"),
              std::string::npos);
  }
  const std::string none = added([&] { write(0x40, 0x00); });
  EXPECT_EQ(CountLines(none, "    "), 36);
  EXPECT_EQ(none.find("A[6]"), std::string::npos);
  EXPECT_EQ(none.find("U11ZZZZZ"), std::string::npos);  // no address or data bit is 1
}

TEST_F(AtfNumbering, I2cReadChecksOnlyMaskedBits) {
  install(kFormatATF, kInterfaceI2C);
  const std::string text = added([&] { read(0x12, 0xA5, 0x0F); });
  const char* expected[] = {"D[7] : U", "D[6] : U", "D[5] : U", "D[4] : U",
                            "D[3] : L", "D[2] : H", "D[1] : L", "D[0] : H"};
  for (const char* bit : expected) EXPECT_NE(text.find(bit), std::string::npos) << bit;
  const std::string failed = added([&] { read(0x12, 0x00, 0x00); });
  EXPECT_EQ(CountLines(failed, "    "), 85);
  EXPECT_EQ(failed.find(" : H\n"), std::string::npos);
  EXPECT_EQ(failed.find(" : L\n"), std::string::npos);
}

TEST_F(AtfNumbering, SleepRepeatsCyclesOfTheMillisecondsWaited) {
  install(kFormatATF, kInterfaceI2C);
  EXPECT_EQ(added([&] { sleep(2); }),
            "       1 Waveset1    16668 :   000010 UUUUUUUU U11 H1UUUZ 0111 UUX; ! "
            " ==> Sleep operation for        2 ms  \n");
  install(kFormatATF, kInterfaceSPI);
  EXPECT_EQ(added([&] { sleep(65537); }),
            "       2 Waveset1    25000 :   000001 ZZ0ZZZZZ U11 H1UUUZ 0111 UUX; ! "
            " ==> Sleep operation for        1 ms \n");
  // The longest wait still fits the repeat column's number.
  EXPECT_NE(added([&] { sleep(65535); }).find(" 1638375000 :"), std::string::npos);
}

using AtpStatements = GoldenPatternTest;

TEST_F(AtpStatements, CountsPerOperation) {
  install(kFormatATP, kInterfaceI2C);
  header();
  EXPECT_EQ(settings.vectorNumber, 1u);  // .atp vectors carry no number
  EXPECT_EQ(atpStatements(added([&] { write(0x12, 0x34); })), 29);
  EXPECT_EQ(atpStatements(added([&] { read(0x12, 0x34, 0xFF); })), 39);
  install(kFormatATP, kInterfaceSPI);
  EXPECT_EQ(atpStatements(added([&] { write(0x12, 0x34); })), 16);
  EXPECT_EQ(atpStatements(added([&] { read(0x12, 0x34, 0xFF); })), 16);
  EXPECT_EQ(settings.vectorNumber, 1u);
}

TEST_F(AtpStatements, I2cReadUnderMaskF0) {
  install(kFormatATP, kInterfaceI2C);
  const std::string text = added([&] { read(0x05, 0x5A, 0xF0); });
  const char* expected[] = {"D[7] : L ", "D[6] : H ", "D[5] : L ", "D[4] : H ",
                            "D[3] : X ", "D[2] : X ", "D[1] : X ", "D[0] : X "};
  for (const char* bit : expected) {
    const std::string statement = std::string("           > i2c_data         ------ 1------- ") +
                                  bit[7] + "-- ------ ---- ---; // " + bit + "\n";
    EXPECT_NE(text.find(statement), std::string::npos) << statement;
  }
}

TEST_F(AtpStatements, SpiWriteCarriesItsCommentOnD0Only) {
  install(kFormatATP, kInterfaceSPI);
  const std::string text = added([&] { write(0x05, 0x81); });
  EXPECT_NE(text.find("// D[0] : 1 :  WR(h05,h81) \n"), std::string::npos);
  EXPECT_EQ(CountLines(text, "           >"), 16);
  EXPECT_EQ(text.find("WR("), text.rfind("WR("));
  EXPECT_NE(text.find("// D[1] : 0 : \n"), std::string::npos);
  // A second operation follows the first directly, with no chip select or stop between.
  const std::string second = added([&] { read(0x05, 0, 0); });
  EXPECT_EQ(second.rfind("           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; "
                         "// R/W\n",
                         0),
            0u);
  EXPECT_EQ(CountLines(second, "           > spi_data         ------ U11ZZZZZ"), 8);
}

TEST_F(AtpStatements, SleepRepeats) {
  install(kFormatATP, kInterfaceI2C);
  EXPECT_EQ(added([&] { sleep(10); }),
            "           >                  ------ UUUUUUUU U-- ------ ---- ---; // \n"
            "repeat    83340 > - ; // Sleep:  ==> Sleep operation for       10 ms \n");
  install(kFormatATP, kInterfaceSPI);
  EXPECT_EQ(added([&] { sleep(10); }),
            "           >                  ------ U11ZZZZZ 011 UUUUUZ 0111 UUX; // Sleep :  ==> "
            "Sleep operation for       10 ms \n"
            "repeat   250000 > - ; // Sleep\n");
}

TEST_F(AtpStatements, CommentsAreWrittenUnchanged) {
  install(kFormatATP, kInterfaceSPI);
  EXPECT_EQ(added([&] { comment("//< 100% %c %# done"); }), "////< 100% %c %# done\n");
  install(kFormatATF, kInterfaceSPI);
  EXPECT_EQ(added([&] { comment(""); }), "!\n");
  // A line break inside a text cannot start a line the tester would not understand.
  EXPECT_EQ(added([&] { comment("a\r\nb"); }), "!a  b\n");
  EXPECT_EQ(settings.vectorNumber, 1u);
}

TEST_F(AtpStatements, AnUnopenableOutputFileGetsNothingAndKeepsTheNumber) {
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

TEST_F(AtpStatements, OtherFormatsOrInterfacesInstallNoWriters) {
  for (auto [format, interface] : {std::pair{0, 2}, {1, -1}, {2, 0}, {-1, 1}}) {
    InstallGenerator(app.testLogHooks, kFormatATF, kInterfaceI2C);
    InstallGenerator(app.testLogHooks, format, interface);
    EXPECT_FALSE(app.testLogHooks.writeHook);
    EXPECT_FALSE(app.testLogHooks.readHook);
    EXPECT_FALSE(app.testLogHooks.commentHook);
    EXPECT_FALSE(app.testLogHooks.sleepHook);
  }
}

}  // namespace
}  // namespace kvt::testlog::test
