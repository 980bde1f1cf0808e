#include "platform/path_parts.h"

#include <gtest/gtest.h>

namespace kvt::platform {
namespace {

struct SplitCase {
  const char* path;
  const char* drive;
  const char* directory;
  const char* name;
  const char* extension;
};

class SplitPathTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitPathTest, CutsIntoFourPartsThatJoinBack) {
  const SplitCase& c = GetParam();
  const PathParts parts = SplitPath(c.path);
  EXPECT_EQ(parts.drive, c.drive);
  EXPECT_EQ(parts.directory, c.directory);
  EXPECT_EQ(parts.name, c.name);
  EXPECT_EQ(parts.extension, c.extension);
  EXPECT_EQ(JoinPath(parts), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SplitPathTest,
    ::testing::Values(SplitCase{"C:\\scripts\\init.scf", "C:", "\\scripts\\", "init", ".scf"},
                      SplitCase{"/home/eng/tests/run.v2.scf", "", "/home/eng/tests/", "run.v2",
                                ".scf"},
                      SplitCase{"C:\\", "C:", "\\", "", ""}, SplitCase{"name", "", "", "name", ""},
                      SplitCase{"dir/.hidden", "", "dir/", "", ".hidden"},
                      SplitCase{"c:rel.txt", "c:", "", "rel", ".txt"},
                      SplitCase{"mixed\\a/b\\c.atp", "", "mixed\\a/b\\", "c", ".atp"},
                      SplitCase{"folder.d/noext", "", "folder.d/", "noext", ""},
                      SplitCase{"", "", "", "", ""}));

TEST(PathParts, ReplacingTheNameKeepsDriveFolderAndExtension) {
  PathParts parts = SplitPath("D:\\work\\scf\\alpha.scf");
  parts.name = "beta";
  EXPECT_EQ(JoinPath(parts), "D:\\work\\scf\\beta.scf");
}

}  // namespace
}  // namespace kvt::platform
