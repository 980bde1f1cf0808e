#include "cmd/command_reference.h"

#include <gtest/gtest.h>

#include "app/log.h"
#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

using CommandReferenceTest = test::CommandFixture;

// The whole reference, byte for byte (its own wording and spelling included); blank lines hold
// one space. It replaces what the log held before.
TEST_F(CommandReferenceTest, ReplacesTheLogWithTheReferenceText) {
  app::AppendLog(context, "old text", true);
  PrintCommandReference(context);
  const auto golden =
      std::filesystem::path(KVT_SOURCE_DIR) / "tests/cmd/golden/command_reference.txt";
  EXPECT_EQ(logText(), test::WithCrLf(test::ReadFile(golden)));
}

}  // namespace
}  // namespace kvt::cmd
