#include "testlog/template_expansion.h"

#include <gtest/gtest.h>

#include <string>

namespace kvt::testlog {
namespace {

TEST(SubstituteBitMarkers, Cases) {
  constexpr int32_t F = kFormatATF, P = kFormatATP;
  const struct {
    int32_t format;
    std::string text;
    char letter;
    uint8_t value;
    bool check;
    uint8_t mask;
    std::string expected;
  } cases[] = {
      {P, "A7A0", 'A', 0x81, false, 0, "11  "},
      // CR LF line ends keep their place: the blank goes before the CR.
      {F, "x D2 y\r\nD1\r\n", 'D', 0x04, false, 0, "x 1 y \r\n0 \r\n"},
      // A checked bit: U (.atf) or X (.atp) outside the mask, else H or L.
      {F, "D3", 'D', 0xFF, true, 0xF7, "U "},
      {P, "D3", 'D', 0xFF, true, 0xF7, "X "},
      {F, "D3", 'D', 0x08, true, 0x08, "H "},
      {P, "D3", 'D', 0xF7, true, 0x08, "L "},
      {F, "D7D6D5D4D3D2\n", 'D', 0xA5, true, 0x0F, "UUUULH      \n"},
      // At most six markers of a letter per line: of eight, two stay.
      {F, "D0D1D2D3D4D5D6D7\nD7\n", 'D', 0xFF, false, 0, "111111D6D7      \n1 \n"},
      // Only the letter followed by a bit number is a marker.
      {F, "D[7] D8 d3 S3 D", 'D', 0xFF, false, 0, "D[7] D8 d3 S3 D"},
      {F, "", 'D', 0xFF, false, 0, ""},
      {F, "xD9D", 'D', 0x02, false, 0, "xD9D"},
      // Replacement characters are never taken for markers of a later letter.
      {F, "S0A1", 'S', 0x00, false, 0, "0A1 "},
  };
  for (const auto& c : cases) {
    std::string text = c.text;
    SubstituteBitMarkers(c.format, text, c.letter, c.value, c.check, c.mask);
    EXPECT_EQ(text, c.expected) << c.text;
  }
}

// %# counting in .atp, %c, %t and %f of a plain name are shown through the templates in
// template_writer_test; here the rarer cases.
TEST(ExpandPlaceholders, Cases) {
  const struct {
    std::string text;
    std::string comment;
    std::string path;
    std::string expected;
  } cases[] = {
      {"%#%#;", "", "x", "55;"},  // .atf does not count %#
      {"%C|%F", " WR(h12,h34) ", "/tpl/WriteI2C.atf", " WR(h12,h34) |WriteI2C"},
      {"start %f", "", "C:\\runs\\run7.atf", "start run7"},
      // Codes without a replacement stay.
      {"%x %t %% 100%", "", "x", "%x %t %% 100%"},
      {"%c", "", "x", "%c"},
      {"%f", "", "/tpl/.atf", "%f"},
      // A replacement starting with a code is expanded again, unless it reproduces itself.
      {"<%f>", "", "/out/%#run.atf", "<5run>"},
      {"<%f>", " WR(h12,h34) ", "/out/%crun.atf", "< WR(h12,h34) run>"},
      {"<%f>", "", "/out/%f.atf", "<%f>"},
      {"<%f|%f>", "", "/out/%Fx.atp", "<%Fx|%Fx>"},
      // A code inside a name is looked at again, but a name that brings its own code back
      // stops after four rounds instead of growing the text for ever.
      {"<%f>", "", "/out/a%f.atf", "<aaaa%f>"},
      {"<%f>", "", "/out/a%#.atf", "<a5>"},
      {"<%f>", "", "/out/%#a%f.atf", "<5a5a%#a%f>"},
      // Long replacements grow the text.
      {"%f%f", "", "/out/" + std::string(300, 'n') + ".atf", std::string(600, 'n')},
  };
  for (const auto& c : cases) {
    TestLogSettings settings;
    settings.outputFormat = kFormatATF;
    settings.vectorNumber = 5;
    std::string text = c.text;
    ExpandPlaceholders(settings, text, c.comment, c.path, nullptr);
    EXPECT_EQ(text, c.expected) << c.text << " with " << c.path;
    EXPECT_EQ(settings.vectorNumber, 5u) << c.text;
  }
}

}  // namespace
}  // namespace kvt::testlog
