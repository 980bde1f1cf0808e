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

// Each tests/app/start_files/N-NAME.before is a start-up file that selects port index N (7 for
// COM8, which anything but a leading digit 0 to 6 selects); its NAME.after, if any, is the file
// after the exit rewrite stores index 5.
TEST_F(StartFileTest, BeforeAndAfterFiles) {
  const auto folder = std::filesystem::path(KVT_SOURCE_DIR) / "tests/app/start_files";
  int played = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".before" || ++played == 0) continue;
    const std::string name = entry.path().stem().string();
    write(test::ReadFile(entry.path()));
    EXPECT_EQ(ReadPortIndex(path), name[0] - '0') << name;
    const auto after = std::filesystem::path(entry.path()).replace_extension(".after");
    if (!std::filesystem::exists(after)) continue;
    ASSERT_TRUE(WritePortIndex(path, 5)) << name;
    EXPECT_EQ(read(), test::ReadFile(after)) << name;
    EXPECT_EQ(ReadPortIndex(path), 5) << name;
  }
  EXPECT_EQ(played, 13);
}

// The exit rewrite replaces the file as every start-up file write does: links, permissions and
// unwritable folders are checked in tests/platform/profile_test.cpp.
TEST_F(StartFileTest, AStartFileThatCannotBeReadSelectsCom1) {
  std::filesystem::create_directory(path);
  EXPECT_EQ(ReadPortIndex(path), 0);
}

TEST_F(StartFileTest, AStartFileThatCannotBeReadIsNotRewritten) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  write("3\r\n[TestLog]\r\nInterface=1\r\n");
  std::filesystem::permissions(path, std::filesystem::perms::owner_write);
  EXPECT_FALSE(WritePortIndex(path, 5));
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  EXPECT_EQ(read(), "3\r\n[TestLog]\r\nInterface=1\r\n");
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
