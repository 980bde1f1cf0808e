#include "platform/profile.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <climits>
#include <optional>

#include "platform/file_replace.h"
#include "start_file_fixture.h"

namespace kvt::platform {
namespace {

namespace fs = std::filesystem;
using ProfileTest = test::StartFileTest;

// Reads and writes of well-formed files are cases of tests/platform/cases.txt.
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

// The write itself fails part way (a file size limit stands in for a full disk): the old file
// must be untouched and the half-written temporary gone.
TEST_F(ProfileTest, AFailedReplaceLeavesTheOldFileAndNoTemporary) {
  put("3\r\n[TestLog]\r\nInterface=1\r\n");
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit small = saved;
  small.rlim_cur = 4096;
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);  // write() then fails with EFBIG
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool replaced = ReplaceFile(file_, std::string(8192, 'x'));
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(content(), "3\r\n[TestLog]\r\nInterface=1\r\n");
  EXPECT_EQ(filesInDir(), std::vector<std::string>{"kvt_start.cfg"});
}

}  // namespace
}  // namespace kvt::platform
