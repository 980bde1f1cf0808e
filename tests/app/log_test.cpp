#include "app/log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "app_fixture.h"

namespace kvt::app {
namespace {

// Line ends and the pane in step are checked by the log_* files of tests/app/dialogs.
class LogTest : public test::AppFixture {
 protected:
  std::string pane() const { return main.text(id::LogPane); }
};

TEST_F(LogTest, TheMirrorGetsEveryAddedTextInOrderAlsoAcrossAClearAndTheLimit) {
  std::string mirrored;
  log.setMirror([&](std::string_view text) { mirrored += text; });
  AppendLog(context, "one");
  AppendLog(context, "two", false);
  ClearLog(context);
  log.replace(std::string(Log::kLimit - 3, 'x'), &main, id::LogPane);
  AppendLog(context, "three");
  EXPECT_EQ(mirrored, "one\r\ntwothree\r\n");
}

TEST_F(LogTest, ALineReachingTheLimitEmptiesTheLogFirst) {
  log.replace(std::string(Log::kLimit - 7, 'x'), &main, id::LogPane);
  AppendLog(context, "0123456789");
  EXPECT_EQ(log.text(), "0123456789\r\n");
  EXPECT_EQ(pane(), "0123456789\r\n");

  const std::string filled(Log::kLimit - 11, 'x');
  log.replace(filled, &main, id::LogPane);
  AppendLog(context, "0123456789");  // 99996 characters before the line end
  EXPECT_EQ(log.size(), Log::kLimit + 1);
  EXPECT_EQ(log.text().substr(filled.size()), "0123456789\r\n");
  EXPECT_LT(log.size(), Log::kCapacity);  // the terminator still fits
}

TEST_F(LogTest, ATextLongerThanTheWholeLogKeepsItsNewestPart) {
  AppendLog(context, "old");
  std::string huge(Log::kCapacity + 500, 'a');
  huge.replace(huge.size() - 4, 4, "tail");
  AppendLog(context, huge);
  const std::string text = log.text();
  EXPECT_EQ(text.size(), Log::kLimit - 1 + 2);
  EXPECT_EQ(text.substr(text.size() - 6), "tail\r\n");
  EXPECT_EQ(text.find("old"), std::string::npos);
  log.replace(huge, &main, id::LogPane);  // a pane text taken as the log leaves the terminator room
  EXPECT_EQ(log.size(), Log::kCapacity - 1);
}

TEST_F(LogTest, WithoutALogNothingHappens) {
  app.logBuffer = nullptr;
  AppendLog(context, "lost");
  ClearLog(context);
  SaveLog(context);
  EXPECT_EQ(pane(), "");
  EXPECT_TRUE(shell.chooserRequests.empty());
}

class SaveLogTest : public LogTest {
 protected:
  test::TempFolder folder;
};

TEST_F(SaveLogTest, SavingAppendsThePaneTextWhichBecomesTheLog) {
  const auto file = folder.path / "log.txt";
  AppendLog(context, "machine");
  main.type(id::LogPane, "machine\r\nhand note\r\n");
  shell.chooserAnswers = {file.string(), file.string()};
  SaveLog(context);
  SaveLog(context);
  EXPECT_EQ(test::ReadFile(file), "machine\r\nhand note\r\nmachine\r\nhand note\r\n");
  AppendLog(context, "next");
  EXPECT_EQ(log.text(), "machine\r\nhand note\r\nnext\r\n");
  ASSERT_EQ(shell.chooserRequests.size(), 2u);
  EXPECT_TRUE(shell.chooserRequests[0].save);
  EXPECT_EQ(shell.chooserRequests[0].request.filterName, "Log Text File");
  EXPECT_EQ(shell.chooserRequests[0].request.pattern, "*.txt");
  EXPECT_EQ(shell.chooserRequests[0].request.initialName, "*.txt");
}

TEST_F(SaveLogTest, CancelOrAnUnopenableFileChangesNothing) {
  AppendLog(context, "keep");
  main.type(id::LogPane, "typed");
  shell.chooserAnswers = {std::nullopt, (folder.path / "missing_dir" / "x.txt").string()};
  SaveLog(context);
  EXPECT_EQ(log.text(), "keep\r\n");
  SaveLog(context);  // must not throw or create anything
  EXPECT_FALSE(std::filesystem::exists(folder.path / "missing_dir"));
}

// While one append is inside the log (its mirror runs under the lock), another thread's
// append must wait. Without the lock it gets through at once; with it the bounded wait ends.
TEST(LogThreads, AnAppendWaitsForTheOneInProgress) {
  Log log;
  std::future<void> other;
  bool otherGotThrough = false;
  log.setMirror([&](std::string_view text) {
    if (text != "first\r\n") return;
    other = std::async(std::launch::async, [&] { log.append("second", true, nullptr, 0); });
    otherGotThrough = other.wait_for(std::chrono::milliseconds(200)) == std::future_status::ready;
  });
  log.append("first", true, nullptr, 0);
  other.get();
  EXPECT_FALSE(otherGotThrough);
  EXPECT_EQ(log.text(), "first\r\nsecond\r\n");
}

}  // namespace
}  // namespace kvt::app
