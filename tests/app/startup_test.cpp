#include "app/startup.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "app_fixture.h"

namespace kvt::app {
namespace {

class StartFileTest : public ::testing::Test {
 protected:
  void write(const std::string& content) { std::ofstream(path, std::ios::binary) << content; }
  std::string read() const { return test::ReadFile(path); }

  test::TempFolder folder;
  std::string path = StartFilePath(folder.path);
};

TEST_F(StartFileTest, TheFirstByteSelectsThePortAndAnythingElseCom8) {
  const std::pair<std::string, int> cases[] = {
      {"3", 3}, {"0", 0}, {"2\r\n[TestLog]\r\nInterface=1\r\n", 2}};
  for (const auto& [content, expected] : cases) {
    write(content);
    EXPECT_EQ(ReadPortIndex(path), expected) << content;
  }
  for (const char* content : {"7", "8", "9\n", "x", " 3", "\n3", "", "\xff"}) {
    write(content);
    EXPECT_EQ(ReadPortIndex(path), 7) << "content \"" << content << "\"";
  }
}

TEST_F(StartFileTest, TheExitRewriteChangesOnlyThePortDigitOrPutsOneInFront) {
  const std::pair<std::string, std::string> cases[] = {
      {"3\r\n[TestLog]\r\nOutputFile=C:\\out\\p.atp\r\n",
       "5\r\n[TestLog]\r\nOutputFile=C:\\out\\p.atp\r\n"},
      {"[TestLog]\nInterface=1\n", "5\n[TestLog]\nInterface=1\n"},
      {"x\r\n[Ports]\r\nCOM1=sim\r\n", "5\r\nx\r\n[Ports]\r\nCOM1=sim\r\n"},
      {"", "5"}};
  for (const auto& [before, after] : cases) {
    write(before);
    ASSERT_TRUE(WritePortIndex(path, 5));
    EXPECT_EQ(read(), after) << before;
    EXPECT_EQ(ReadPortIndex(path), 5) << before;
  }
}

TEST_F(StartFileTest, AStartFileThatCannotBeReadSelectsCom1) {
  std::filesystem::create_directory(path);
  EXPECT_EQ(ReadPortIndex(path), 0);
}

TEST_F(StartFileTest, TheExitRewriteOfALinkedStartFileWritesThroughTheLink) {
  const auto shared = folder.path / "shared.cfg";
  std::ofstream(shared, std::ios::binary) << "3\r\n[TestLog]\r\nInterface=1\r\n";
  std::filesystem::create_symlink(shared, path);
  ASSERT_TRUE(WritePortIndex(path, 5));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_EQ(test::ReadFile(shared), "5\r\n[TestLog]\r\nInterface=1\r\n");
}

TEST_F(StartFileTest, TheExitRewriteKeepsAPrivateFilePrivate) {
  write("3\r\n");
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  ASSERT_TRUE(WritePortIndex(path, 5));
  EXPECT_EQ(std::filesystem::status(path).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(read(), "5\r\n");
}

TEST_F(StartFileTest, AStartFileThatCannotBeReadIsNotRewritten) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  write("3\r\n[TestLog]\r\nInterface=1\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_write);
  EXPECT_FALSE(WritePortIndex(path, 5));
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  EXPECT_EQ(read(), "3\r\n[TestLog]\r\nInterface=1\r\n");
}

TEST_F(StartFileTest, AnUnwritableFolderFailsWithoutLeavingFiles) {
  EXPECT_FALSE(WritePortIndex(StartFilePath(folder.path / "no_such_folder"), 1));
  EXPECT_FALSE(std::filesystem::exists(folder.path / "no_such_folder"));
}

TEST(PiSwitch, OnlyTheExactTokenCounts) {
  for (const char* line : {"-pi", "--sim -pi", "a,-pi", "x\t-pi\nmore"}) {
    EXPECT_TRUE(HasPiSwitch(line)) << line;
  }
  // A semicolon is no separator.
  for (const char* line : {"-PI", "-pix", "x-pi", "-pi;", "", " , "}) {
    EXPECT_FALSE(HasPiSwitch(line)) << line;
  }
  const char* argv[] = {"kvt", "--sim", "-pi"};
  EXPECT_EQ(JoinArguments(3, argv), "--sim -pi");
  EXPECT_EQ(JoinArguments(1, argv), "");
}

}  // namespace
}  // namespace kvt::app
