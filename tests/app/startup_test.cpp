#include "app/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/profile.h"

namespace kvt::app {
namespace {

class StartFileTest : public ::testing::Test {
 protected:
  StartFileTest() {
    dir = std::filesystem::temp_directory_path() /
          ("kvt_startup_" +
           std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    path = StartFilePath(dir);
  }
  ~StartFileTest() override { std::filesystem::remove_all(dir); }

  void write(const std::string& content) { std::ofstream(path, std::ios::binary) << content; }
  std::string read() const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }

  std::filesystem::path dir;
  std::string path;
};

TEST_F(StartFileTest, LivesInTheGivenFolderUnderItsFixedName) {
  const std::filesystem::path file(path);
  EXPECT_EQ(file.filename(), "kvt_start.cfg");
  EXPECT_EQ(file.parent_path(), dir);
}

TEST_F(StartFileTest, TheFirstByteSelectsThePort) {
  const std::pair<std::string, int> cases[] = {{"3", 3},
                                               {"0", 0},
                                               {"7", 7},
                                               {"8", 7},
                                               {"9\n", 7},
                                               {"x", 7},
                                               {" 3", 7},
                                               {"\n3", 7},
                                               {"", 7},
                                               {"\xff", 7},
                                               {"2\r\n[TestLog]\r\nInterface=1\r\n", 2}};
  for (const auto& [content, expected] : cases) {
    write(content);
    EXPECT_EQ(ReadPortIndex(path), expected) << "content \"" << content << "\"";
  }
}

TEST_F(StartFileTest, AMissingFileSelectsCom1AndIsCreatedWithZeroAtExit) {
  EXPECT_EQ(ReadPortIndex(path), 0);
  ASSERT_TRUE(WritePortIndex(path, 0));
  EXPECT_EQ(read(), "0");
}

TEST_F(StartFileTest, TheExitRewriteChangesOnlyThePortDigit) {
  const std::string rest =
      "\r\n[TestLog]\r\nInterface=1\r\nOutputFile=C:\\out\\p.atp\r\n[Ports]\r\nCOM2=sim\r\n";
  write("3" + rest);
  ASSERT_TRUE(WritePortIndex(path, 1));
  EXPECT_EQ(read(), "1" + rest);
  EXPECT_EQ(ReadPortIndex(path), 1);
  // No temporary file is left behind.
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++files;
  EXPECT_EQ(files, 1);
}

TEST_F(StartFileTest, AFileWithoutADigitGetsADigitLineInFront) {
  write("[TestLog]\nInterface=1\n");
  ASSERT_TRUE(WritePortIndex(path, 5));
  EXPECT_EQ(read(), "5\n[TestLog]\nInterface=1\n");
  write("x\r\n[Ports]\r\nCOM1=sim\r\n");
  ASSERT_TRUE(WritePortIndex(path, 2));
  EXPECT_EQ(read(), "2\r\nx\r\n[Ports]\r\nCOM1=sim\r\n");
  EXPECT_EQ(ReadPortIndex(path), 2);
  write("");
  ASSERT_TRUE(WritePortIndex(path, 4));
  EXPECT_EQ(read(), "4");
}

TEST_F(StartFileTest, TestLogSettingsWrittenThroughTheProfileSurviveTheRewrite) {
  write("6");
  ASSERT_TRUE(platform::WritePrivateProfileString("TestLog", "OutputFormat", "0", path));
  ASSERT_TRUE(platform::WritePrivateProfileString("Ports", "COM7", "sim", path));
  ASSERT_TRUE(WritePortIndex(path, 3));
  EXPECT_EQ(ReadPortIndex(path), 3);
  EXPECT_EQ(platform::GetPrivateProfileInt("TestLog", "OutputFormat", 1, path), 0);
  EXPECT_EQ(platform::GetPrivateProfileString("Ports", "COM7", "", path), "sim");
}

TEST_F(StartFileTest, AnUnwritableFolderFailsWithoutLeavingFiles) {
  const std::string missing = StartFilePath(dir / "no_such_folder");
  EXPECT_FALSE(WritePortIndex(missing, 1));
  EXPECT_FALSE(std::filesystem::exists(dir / "no_such_folder"));
}

TEST(PiSwitch, OnlyTheExactTokenCounts) {
  EXPECT_TRUE(HasPiSwitch("-pi"));
  EXPECT_TRUE(HasPiSwitch("--sim -pi"));
  EXPECT_TRUE(HasPiSwitch("a,-pi"));
  EXPECT_TRUE(HasPiSwitch("x\t-pi\nmore"));
  EXPECT_FALSE(HasPiSwitch("-PI"));
  EXPECT_FALSE(HasPiSwitch("-pix"));
  EXPECT_FALSE(HasPiSwitch("x-pi"));
  EXPECT_FALSE(HasPiSwitch("-pi;"));  // a semicolon is no separator
  EXPECT_FALSE(HasPiSwitch(""));
  EXPECT_FALSE(HasPiSwitch(" , "));
}

TEST(PiSwitch, ProgramArgumentsFormOneCommandLine) {
  const char* argv[] = {"kvt", "--sim", "-pi"};
  EXPECT_EQ(JoinArguments(3, argv), "--sim -pi");
  EXPECT_TRUE(HasPiSwitch(JoinArguments(3, argv)));
  EXPECT_EQ(JoinArguments(1, argv), "");
}

}  // namespace
}  // namespace kvt::app
