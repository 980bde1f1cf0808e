#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace kvt::platform {
namespace {

namespace fs = std::filesystem;

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kvt-profile-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    file_ = (dir_ / "kvt_start.cfg").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  void put(const std::string& content) {
    std::ofstream out(file_, std::ios::binary | std::ios::trunc);
    out << content;
  }
  std::string content() const {
    std::ifstream in(file_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> filesInDir() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  fs::path dir_;
  std::string file_;
};

TEST_F(ProfileTest, ReadsMatchSectionsAndKeysCaseInsensitivelyWithBlanksRemoved) {
  put("3\r\n[TestLog]\r\n  Interface = I2C  \r\nOutputFile=\"C:\\out.atf\"\r\n"
      "Quoted='x'\r\n[Other]\r\nInterface=SPI\r\n");
  EXPECT_EQ(GetPrivateProfileString("testlog", "INTERFACE", "dflt", file_), "I2C");
  EXPECT_EQ(GetPrivateProfileString("OTHER", "interface", "dflt", file_), "SPI");
  // Matching quotes around a value are not part of it.
  EXPECT_EQ(GetPrivateProfileString("TestLog", "OutputFile", "", file_), "C:\\out.atf");
  EXPECT_EQ(GetPrivateProfileString("TestLog", "Quoted", "", file_), "x");
  EXPECT_EQ(GetPrivateProfileString("TestLog", "Missing", "dflt", file_), "dflt");
  EXPECT_EQ(GetPrivateProfileString("Nowhere", "Interface", "dflt", file_), "dflt");
}

TEST_F(ProfileTest, MissingFileGivesDefaults) {
  EXPECT_EQ(GetPrivateProfileString("TestLog", "Interface", "I2C", file_), "I2C");
  EXPECT_EQ(GetPrivateProfileInt("TestLog", "I2CAddress", 42, file_), 42);
  EXPECT_FALSE(fs::exists(file_));
}

TEST_F(ProfileTest, IntParsesTheLeadingDecimalNumber) {
  put("[S]\nPlain=123\nTrailing=12abc\nNegative=-5\nPlus=+7\nText=abc\nEmpty=\nHex=0x10\n"
      "Huge=99999999999999\nHugeNegative=-99999999999999\n");
  EXPECT_EQ(GetPrivateProfileInt("S", "Plain", -1, file_), 123);
  EXPECT_EQ(GetPrivateProfileInt("S", "Trailing", -1, file_), 12);
  EXPECT_EQ(GetPrivateProfileInt("S", "Negative", -1, file_), -5);
  EXPECT_EQ(GetPrivateProfileInt("S", "Plus", -1, file_), 7);
  EXPECT_EQ(GetPrivateProfileInt("S", "Text", -1, file_), -1);
  EXPECT_EQ(GetPrivateProfileInt("S", "Empty", -1, file_), -1);
  EXPECT_EQ(GetPrivateProfileInt("S", "Hex", -1, file_), 0);
  EXPECT_EQ(GetPrivateProfileInt("S", "Huge", -1, file_), INT_MAX);
  EXPECT_EQ(GetPrivateProfileInt("S", "HugeNegative", -1, file_), INT_MIN);
  EXPECT_EQ(GetPrivateProfileInt("S", "Absent", -1, file_), -1);
}

TEST_F(ProfileTest, KeysBeforeTheFirstSectionBelongToNone) {
  put("Interface=top\n[TestLog]\nOutputFormat=1\n");
  EXPECT_EQ(GetPrivateProfileString("TestLog", "Interface", "none", file_), "none");
}

TEST_F(ProfileTest, ARepeatedSectionIsSearchedInEveryOccurrenceFirstValueWins) {
  put("[A]\nx=1\n[B]\ny=2\n[a]\nx=3\nz=4\n");
  EXPECT_EQ(GetPrivateProfileInt("A", "x", 0, file_), 1);
  EXPECT_EQ(GetPrivateProfileInt("A", "z", 0, file_), 4);
}

TEST_F(ProfileTest, WritingKeepsTheBarePortDigitLine) {
  put("3");
  ASSERT_TRUE(WritePrivateProfileString("TestLog", "Interface", "I2C", file_));
  EXPECT_EQ(content(), "3\r\n[TestLog]\r\nInterface=I2C\r\n");
  ASSERT_TRUE(WritePrivateProfileString("TestLog", "OutputFile", "out.atf", file_));
  ASSERT_TRUE(WritePrivateProfileString("testlog", "INTERFACE", "SPI", file_));
  EXPECT_EQ(content(), "3\r\n[TestLog]\r\nInterface=SPI\r\nOutputFile=out.atf\r\n");
  EXPECT_EQ(content().front(), '3');
}

TEST_F(ProfileTest, WritingChangesOnlyTheKeyLineAndKeepsLineEndsAsFound) {
  const std::string before =
      "5\n; settings\n[TestLog]\n  Interface = I2C\nOutputFormat=0\n\n[Ports]\r\nCOM1=sim\n";
  put(before);
  ASSERT_TRUE(WritePrivateProfileString("TestLog", "Interface", "SPI", file_));
  // The line keeps its own spelling and spacing; every other byte stays.
  EXPECT_EQ(content(),
            "5\n; settings\n[TestLog]\n  Interface = SPI\nOutputFormat=0\n\n[Ports]\r\nCOM1=sim\n");
  // A new key joins its section after the last non-blank line, with the file's line end.
  ASSERT_TRUE(WritePrivateProfileString("TestLog", "InputPath", "/tpl", file_));
  EXPECT_EQ(content(),
            "5\n; settings\n[TestLog]\n  Interface = SPI\nOutputFormat=0\nInputPath=/tpl\n\n"
            "[Ports]\r\nCOM1=sim\n");
}

TEST_F(ProfileTest, ANewSectionGoesAtTheEndAndTheLastLineGetsItsLineEnd) {
  put("[Ports]\nCOM1=sim");
  ASSERT_TRUE(WritePrivateProfileString("Ports", "COM2", "/dev/ttyUSB0", file_));
  EXPECT_EQ(content(), "[Ports]\nCOM1=sim\nCOM2=/dev/ttyUSB0\n");
  ASSERT_TRUE(WritePrivateProfileString("TestLog", "Interface", "I2C", file_));
  EXPECT_EQ(content(), "[Ports]\nCOM1=sim\nCOM2=/dev/ttyUSB0\n[TestLog]\nInterface=I2C\n");
}

TEST_F(ProfileTest, WritingCreatesAMissingFile) {
  ASSERT_TRUE(WritePrivateProfileString("TestLog", "I2CAddress", "80", file_));
  EXPECT_EQ(content(), "[TestLog]\r\nI2CAddress=80\r\n");
  EXPECT_EQ(GetPrivateProfileInt("TestLog", "I2CAddress", 0, file_), 80);
}

TEST_F(ProfileTest, RemovingAKeyDropsEveryOccurrenceOfItsLine) {
  put("1\n[A]\nx=1\ny=2\n[a]\nX=3\n");
  ASSERT_TRUE(WritePrivateProfileString("A", "x", std::nullopt, file_));
  EXPECT_EQ(content(), "1\n[A]\ny=2\n[a]\n");
  EXPECT_EQ(GetPrivateProfileString("A", "x", "gone", file_), "gone");
  // Removing what is not there neither fails nor creates a file.
  const std::string other = (dir_ / "none.ini").string();
  EXPECT_TRUE(WritePrivateProfileString("A", "x", std::nullopt, other));
  EXPECT_FALSE(fs::exists(other));
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

TEST_F(ProfileTest, NamesAndValuesThatWouldBreakTheFileAreRefused) {
  put("3\n[TestLog]\nInterface=I2C\n");
  EXPECT_FALSE(WritePrivateProfileString("Test]Log", "Interface", "x", file_));
  EXPECT_FALSE(WritePrivateProfileString("", "Interface", "x", file_));
  EXPECT_FALSE(WritePrivateProfileString("TestLog", "Inter=face", "x", file_));
  EXPECT_FALSE(WritePrivateProfileString("TestLog", "  ", "x", file_));
  EXPECT_FALSE(WritePrivateProfileString("TestLog", "[Ports]", "x", file_));
  EXPECT_FALSE(WritePrivateProfileString("TestLog", "Interface", "a\r\nCOM1=sim", file_));
  EXPECT_EQ(content(), "3\n[TestLog]\nInterface=I2C\n");
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
