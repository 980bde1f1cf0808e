#include "platform/path_parts.h"

#include <gtest/gtest.h>

namespace kvt::platform {
namespace {

TEST(PathParts, CutsIntoFourPartsThatJoinBack) {
  const struct {
    const char *path, *drive, *directory, *name, *extension;
  } cases[] = {
      {"C:\\scripts\\init.scf", "C:", "\\scripts\\", "init", ".scf"},
      {"/home/eng/tests/run.v2.scf", "", "/home/eng/tests/", "run.v2", ".scf"},
      {"C:\\", "C:", "\\", "", ""},
      {"name", "", "", "name", ""},
      {"dir/.hidden", "", "dir/", "", ".hidden"},
      {"c:rel.txt", "c:", "", "rel", ".txt"},
      {"mixed\\a/b\\c.atp", "", "mixed\\a/b\\", "c", ".atp"},
      {"folder.d/noext", "", "folder.d/", "noext", ""},
      {"", "", "", "", ""},
  };
  for (const auto& c : cases) {
    const PathParts parts = SplitPath(c.path);
    EXPECT_EQ(parts.drive, c.drive) << c.path;
    EXPECT_EQ(parts.directory, c.directory) << c.path;
    EXPECT_EQ(parts.name, c.name) << c.path;
    EXPECT_EQ(parts.extension, c.extension) << c.path;
    EXPECT_EQ(JoinPath(parts), c.path);
  }
}

}  // namespace
}  // namespace kvt::platform
