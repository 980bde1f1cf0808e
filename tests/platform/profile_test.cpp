#include "platform/profile.h"

#include <sys/stat.h>

#include <climits>
#include <optional>

#include "start_file_fixture.h"

namespace kvt::platform {
namespace {

namespace fs = std::filesystem;
using ProfileTest = test::StartFileTest;

TEST_F(ProfileTest, ReadsMatchSectionsAndKeysCaseInsensitivelyWithBlanksRemoved) {
  EXPECT_EQ(GetPrivateProfileString("TestLog", "Interface", "I2C", file_), "I2C");  // no file
  EXPECT_EQ(GetPrivateProfileInt("TestLog", "I2CAddress", 42, file_), 42);
  EXPECT_FALSE(fs::exists(file_));
  // A key before the first section belongs to none; a repeated section is searched in every
  // occurrence, the first value winning; matching quotes are not part of a value.
  put("3\r\nInterface=top\r\n[TestLog]\r\n  Interface = I2C  \r\nOutputFile=\"C:\\out.atf\"\r\n"
      "Quoted='x'\r\n[Other]\r\nInterface=SPI\r\n[A]\r\nx=1\r\n[a]\r\nx=3\r\nz=4\r\n");
  const struct {
    const char *section, *key, *value;
  } cases[] = {{"testlog", "INTERFACE", "I2C"},
               {"OTHER", "interface", "SPI"},
               {"TestLog", "OutputFile", "C:\\out.atf"},
               {"TestLog", "Quoted", "x"},
               {"TestLog", "Missing", "dflt"},
               {"Nowhere", "Interface", "dflt"},
               {"A", "x", "1"},
               {"A", "z", "4"}};
  for (const auto& c : cases) {
    EXPECT_EQ(GetPrivateProfileString(c.section, c.key, "dflt", file_), c.value) << c.key;
  }
}

TEST_F(ProfileTest, IntParsesTheLeadingDecimalNumber) {
  put("[S]\nPlain=123\nTrailing=12abc\nNegative=-5\nPlus=+7\nText=abc\nEmpty=\nHex=0x10\n"
      "Huge=99999999999999\nHugeNegative=-99999999999999\n");
  const std::pair<const char*, int> cases[] = {{"Plain", 123},   {"Trailing", 12},
                                               {"Negative", -5}, {"Plus", 7},
                                               {"Text", -1},     {"Empty", -1},
                                               {"Hex", 0},       {"Huge", INT_MAX},
                                               {"Absent", -1},   {"HugeNegative", INT_MIN}};
  for (auto [key, value] : cases) {
    EXPECT_EQ(GetPrivateProfileInt("S", key, -1, file_), value) << key;
  }
}

// Each write starts from `before` (no file: nullopt) and leaves `after` (no file: nullopt).
TEST_F(ProfileTest, WritesChangeOnlyTheirLineAndKeepTheFilesLineEnds) {
  using std::nullopt;
  const std::string ports =
      "5\n; settings\n[TestLog]\n  Interface = I2C\nOutputFormat=0\n\n"
      "[Ports]\r\nCOM1=sim\n";
  const std::string portsSpi =
      "5\n; settings\n[TestLog]\n  Interface = SPI\nOutputFormat=0\n\n"
      "[Ports]\r\nCOM1=sim\n";
  const std::string refused = "3\n[TestLog]\nInterface=I2C\n";
  const struct {
    const char* name;
    std::optional<std::string> before;
    const char *section, *key;
    std::optional<std::string> value;
    bool ok;
    std::optional<std::string> after;
  } cases[] = {
      {"the bare port digit line stays", "3", "TestLog", "Interface", "I2C", true,
       "3\r\n[TestLog]\r\nInterface=I2C\r\n"},
      {"a new key joins its section", "3\r\n[TestLog]\r\nInterface=I2C\r\n", "TestLog",
       "OutputFile", "out.atf", true, "3\r\n[TestLog]\r\nInterface=I2C\r\nOutputFile=out.atf\r\n"},
      {"the line keeps its spelling and spacing", ports, "testlog", "INTERFACE", "SPI", true,
       portsSpi},
      {"a new key goes after the last non-blank line", portsSpi, "TestLog", "InputPath", "/tpl",
       true,
       "5\n; settings\n[TestLog]\n  Interface = SPI\nOutputFormat=0\nInputPath=/tpl\n\n"
       "[Ports]\r\nCOM1=sim\n"},
      {"the last line gets its line end", "[Ports]\nCOM1=sim", "Ports", "COM2", "/dev/ttyUSB0",
       true, "[Ports]\nCOM1=sim\nCOM2=/dev/ttyUSB0\n"},
      {"a new section goes at the end", "[Ports]\nCOM1=sim\n", "TestLog", "Interface", "I2C", true,
       "[Ports]\nCOM1=sim\n[TestLog]\nInterface=I2C\n"},
      {"a missing file is created", nullopt, "TestLog", "I2CAddress", "80", true,
       "[TestLog]\r\nI2CAddress=80\r\n"},
      {"removing drops every occurrence", "1\n[A]\nx=1\ny=2\n[a]\nX=3\n", "A", "x", nullopt, true,
       "1\n[A]\ny=2\n[a]\n"},
      {"removing from no file creates none", nullopt, "A", "x", nullopt, true, nullopt},
      {"section with ]", refused, "Test]Log", "Interface", "x", false, refused},
      {"empty section", refused, "", "Interface", "x", false, refused},
      {"key with =", refused, "TestLog", "Inter=face", "x", false, refused},
      {"blank key", refused, "TestLog", "  ", "x", false, refused},
      {"key like a section", refused, "TestLog", "[Ports]", "x", false, refused},
      {"value with a line end", refused, "TestLog", "Interface", "a\r\nCOM1=sim", false, refused},
  };
  for (const auto& c : cases) {
    fs::remove(file_);
    if (c.before) put(*c.before);
    EXPECT_EQ(WritePrivateProfileString(c.section, c.key, c.value, file_), c.ok) << c.name;
    EXPECT_EQ(fs::exists(file_), c.after.has_value()) << c.name;
    if (c.after) {
      EXPECT_EQ(content(), *c.after) << c.name;
    }
  }
}

TEST_F(ProfileTest, MalformedLinesAreKeptAndDoNotDisturbLookups) {
  std::string junk = "7\n[Broken\nno equals sign here\n=value without key\n";
  junk += std::string("\x00\xff\xfe[]=\x01\n", 8);
  junk += "[TestLog]\nInterface=I2C\n";
  junk += std::string(2 * 1024 * 1024, 'x') + "\n";  // one huge line
  junk += "OutputFormat=1\n[";
  put(junk);
  EXPECT_EQ(GetPrivateProfileString("TestLog", "Interface", "", file_), "I2C");
  EXPECT_EQ(GetPrivateProfileInt("TestLog", "OutputFormat", -1, file_), 1);
  EXPECT_EQ(GetPrivateProfileString("Broken", "no equals sign here", "dflt", file_), "dflt");
  ASSERT_TRUE(WritePrivateProfileString("TestLog", "Interface", "SPI", file_));
  std::string expected = junk;
  expected.replace(expected.find("Interface=I2C"), 13, "Interface=SPI");
  EXPECT_EQ(content(), expected);
}

TEST_F(ProfileTest, AWriteLeavesNoTemporaryFileAndKeepsThePermissions) {
  put("3\n");
  ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(WritePrivateProfileString("TestLog", "Interface", std::to_string(i), file_));
  }
  EXPECT_EQ(filesInDir(), std::vector<std::string>{"kvt_start.cfg"});
  struct stat info {};
  ASSERT_EQ(stat(file_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(ProfileTest, AnUnwritableTargetFailsAndLeavesNothingBehind) {
  const std::string inMissingDir = (dir_ / "no-such-dir" / "kvt_start.cfg").string();
  EXPECT_FALSE(WritePrivateProfileString("TestLog", "Interface", "I2C", inMissingDir));
  // A directory in place of the file is neither read nor replaced.
  fs::create_directory(file_);
  EXPECT_EQ(GetPrivateProfileString("TestLog", "Interface", "dflt", file_), "dflt");
  EXPECT_FALSE(WritePrivateProfileString("TestLog", "Interface", "I2C", file_));
  EXPECT_TRUE(fs::is_directory(file_));
  EXPECT_EQ(filesInDir(), std::vector<std::string>{"kvt_start.cfg"});
}

TEST_F(ProfileTest, AWriteThroughASymbolicLinkReplacesTheTarget) {
  put("3\n");
  const fs::path link = dir_ / "link.cfg";
  fs::create_symlink(file_, link);
  ASSERT_TRUE(WritePrivateProfileString("TestLog", "Interface", "I2C", link.string()));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(content(), "3\n[TestLog]\nInterface=I2C\n");
}

}  // namespace
}  // namespace kvt::platform
