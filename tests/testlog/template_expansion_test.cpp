#include "testlog/template_expansion.h"

#include <gtest/gtest.h>

#include <string>

namespace kvt::testlog {
namespace {

std::string substitute(int32_t format, std::string text, char letter, uint8_t value, bool check,
                       uint8_t mask) {
  const size_t length = text.size();
  SubstituteBitMarkers(format, text, letter, value, check, mask);
  EXPECT_EQ(text.size(), length);
  return text;
}

TEST(SubstituteBitMarkers, DrivenBitReplacesMarkerAndPadsTheLineEnd) {
  // Bit 6 of 0x2C is 0; the digit goes, the rest of the line moves left, a blank ends it.
  EXPECT_EQ(substitute(kFormatATF, "000010 1UUUUUUU S611 H1UUUZ\nnext S0\n", 'S', 0x2C, false, 0),
            "000010 1UUUUUUU 011 H1UUUZ \nnext 0 \n");
  EXPECT_EQ(substitute(kFormatATP, "A7A0", 'A', 0x81, false, 0), "11  ");
  // CR LF line ends keep their place: the blank goes before the CR.
  EXPECT_EQ(substitute(kFormatATF, "x D2 y\r\nD1\r\n", 'D', 0x04, false, 0), "x 1 y \r\n0 \r\n");
}

TEST(SubstituteBitMarkers, CheckedBitByMaskAndFormat) {
  EXPECT_EQ(substitute(kFormatATF, "D3", 'D', 0xFF, true, 0xF7), "U ");
  EXPECT_EQ(substitute(kFormatATP, "D3", 'D', 0xFF, true, 0xF7), "X ");
  EXPECT_EQ(substitute(kFormatATF, "D3", 'D', 0x08, true, 0x08), "H ");
  EXPECT_EQ(substitute(kFormatATP, "D3", 'D', 0xF7, true, 0x08), "L ");
  // A 0xA5 read under mask 0x0F: the high bits are not checked.
  EXPECT_EQ(substitute(kFormatATF, "D7D6D5D4D3D2\n", 'D', 0xA5, true, 0x0F), "UUUULH      \n");
}

TEST(SubstituteBitMarkers, AtMostSixMarkersOfALetterPerLine) {
  EXPECT_EQ(substitute(kFormatATF, "D0D1D2D3D4D5D6D7\nD7\n", 'D', 0xFF, false, 0),
            "111111D6D7      \n1 \n");
}

TEST(SubstituteBitMarkers, OnlyALetterFollowedByABitNumberIsAMarker) {
  EXPECT_EQ(substitute(kFormatATF, "D[7] D8 d3 S3 D", 'D', 0xFF, false, 0), "D[7] D8 d3 S3 D");
  EXPECT_EQ(substitute(kFormatATF, "", 'D', 0xFF, false, 0), "");
  EXPECT_EQ(substitute(kFormatATF, "xD9D", 'D', 0x02, false, 0), "xD9D");
  // Replacement characters are never taken for markers of a later letter.
  EXPECT_EQ(substitute(kFormatATF, "S0A1", 'S', 0x00, false, 0), "0A1 ");
}

class ExpandPlaceholdersTest : public ::testing::Test {
 protected:
  std::string expand(std::string text, std::string_view comment = " WR(h12,h34) ",
                     std::string_view path = "/tpl/WriteI2C.atf",
                     const std::string* time = nullptr) {
    ExpandPlaceholders(settings, text, comment, path, time);
    return text;
  }
  void SetUp() override {
    settings.outputFormat = kFormatATP;
    settings.vectorNumber = 5;
  }
  TestLogSettings settings;
};

TEST_F(ExpandPlaceholdersTest, VectorNumberCountsOnlyInAtp) {
  EXPECT_EQ(expand("%#%#;"), "56;");
  EXPECT_EQ(settings.vectorNumber, 7u);
  settings.outputFormat = kFormatATF;
  settings.vectorNumber = 5;
  EXPECT_EQ(expand("%#%#;"), "55;");
  EXPECT_EQ(settings.vectorNumber, 5u);
}

TEST_F(ExpandPlaceholdersTest, CommentNameAndTime) {
  EXPECT_EQ(expand("! %c\n"), "!  WR(h12,h34) \n");
  EXPECT_EQ(expand("%C|%F"), " WR(h12,h34) |WriteI2C");
  EXPECT_EQ(expand("start %f", "", "C:\\runs\\run7.atf"), "start run7");
  EXPECT_EQ(expand("start %f", "", "/home/lab/run7.atf"), "start run7");
  const std::string cycles = "16668";
  EXPECT_EQ(expand("repeat %t;%T", "", "x", &cycles), "repeat 16668;16668");
}

TEST_F(ExpandPlaceholdersTest, CodesWithoutReplacementStay) {
  EXPECT_EQ(expand("%x %t %% 100%"), "%x %t %% 100%");
  EXPECT_EQ(expand("%c", ""), "%c");
  EXPECT_EQ(expand("%f", "", "/tpl/.atf"), "%f");  // a name-less path
}

TEST_F(ExpandPlaceholdersTest, ReplacementStartingWithACodeIsExpandedAgain) {
  settings.outputFormat = kFormatATF;
  EXPECT_EQ(expand("<%f>", "", "/out/%#run.atf"), "<5run>");
  EXPECT_EQ(expand("<%f>", " WR(h12,h34) ", "/out/%crun.atf"), "< WR(h12,h34) run>");
}

TEST_F(ExpandPlaceholdersTest, SelfReproducingNameEnds) {
  EXPECT_EQ(expand("<%f>", "", "/out/%f.atf"), "<%f>");
  EXPECT_EQ(expand("<%f|%f>", "", "/out/%Fx.atp"), "<%Fx|%Fx>");
}

TEST_F(ExpandPlaceholdersTest, LongReplacementsGrowTheText) {
  const std::string name(300, 'n');
  EXPECT_EQ(expand("%f%f", "", "/out/" + name + ".atf"), name + name);
}

}  // namespace
}  // namespace kvt::testlog
