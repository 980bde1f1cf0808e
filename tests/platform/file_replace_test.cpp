#include "platform/file_replace.h"

#include <signal.h>
#include <sys/resource.h>

#include <string>
#include <vector>

#include "start_file_fixture.h"

namespace kvt::platform {
namespace {

using FileReplaceTest = test::StartFileTest;

// The write itself fails part way (a file size limit stands in for a full disk): the old file
// must be untouched and the half-written temporary gone.
TEST_F(FileReplaceTest, AFailedWriteLeavesTheOldFileAndNoTemporary) {
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
