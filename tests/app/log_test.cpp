#include "app/log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/control_ids.h"
#include "support/fake_view.h"

namespace kvt::app {
namespace {

using test::FakeShell;
using test::FakeView;

class LogTest : public ::testing::Test {
 protected:
  LogTest() {
    app.logBuffer = &log;
    app.instance = &shell;
    app.mainWindow = &main;
    context = DialogContext{&main, &main, &shell, 0, 0, &app};
  }
  std::string pane() const { return main.text(id::LogPane); }

  AppState app;
  Log log;
  FakeView main;
  FakeShell shell;
  DialogContext context;
};

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST_F(LogTest, LinesEndInCrLfAndTheCaretStandsOneBeforeTheEnd) {
  AppendLog(context, "first");
  AppendLog(context, "no end", false);
  AppendLog(context, " more");
  EXPECT_EQ(log.text(), "first\r\nno end more\r\n");
  EXPECT_EQ(pane(), log.text());
  EXPECT_EQ(main.carets[id::LogPane], log.size() - 1);
}

TEST_F(LogTest, APaneThatShowsTheLogGetsOnlyTheNewText) {
  AppendLog(context, "one");
  AppendLog(context, "two");
  AppendLog(context, "three");
  EXPECT_EQ(main.setTextCalls[id::LogPane], 1);  // the first append syncs the pane
  EXPECT_EQ(main.appendTextCalls[id::LogPane], 2);
  EXPECT_EQ(pane(), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(LogTest, TextTypedIntoThePaneIsReplacedAtTheNextAppend) {
  AppendLog(context, "kept");
  main.type(id::LogPane, "kept\r\nuser scribble");
  AppendLog(context, "next");
  EXPECT_EQ(pane(), "kept\r\nnext\r\n");
  // Once replaced, the pane is in step again and gets appends.
  AppendLog(context, "after");
  EXPECT_EQ(main.appendTextCalls[id::LogPane], 1);
  EXPECT_EQ(pane(), "kept\r\nnext\r\nafter\r\n");
}

TEST_F(LogTest, ALogSevenShortOfTheLimitIsEmptiedBeforeATenCharacterLine) {
  log.replace(std::string(Log::kLimit - 7, 'x'), &main, id::LogPane);
  AppendLog(context, "0123456789");
  EXPECT_EQ(log.text(), "0123456789\r\n");
  EXPECT_EQ(pane(), "0123456789\r\n");
}

TEST_F(LogTest, TextEndingJustBelowTheLimitIsAppended) {
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
  EXPECT_LT(text.size(), Log::kCapacity);
}

TEST_F(LogTest, ClearEmptiesLogAndPane) {
  AppendLog(context, "something");
  ClearLog(context);
  EXPECT_EQ(log.text(), "");
  EXPECT_EQ(pane(), "");
  AppendLog(context, "new");
  EXPECT_EQ(pane(), "new\r\n");
}

TEST_F(LogTest, WithoutALogNothingHappens) {
  app.logBuffer = nullptr;
  AppendLog(context, "lost");
  ClearLog(context);
  shell.chooserAnswers.push_back("/nonexistent/never.txt");
  SaveLog(context);
  EXPECT_EQ(pane(), "");
  EXPECT_TRUE(shell.chooserRequests.empty());
}

TEST_F(LogTest, AnotherPaneShowingTheLogMakesTheMainPaneResyncWithOnlyNewText) {
  // The card reader dialog shows the same log in its own pane and empties it on closing.
  FakeView cardPane;
  AppendLog(context, "main line");
  log.clear(&cardPane, 1076);
  log.append("card line", true, &cardPane, 1076);
  log.clear(&cardPane, 1076);
  EXPECT_EQ(pane(), "main line\r\n");  // the main pane keeps its old text meanwhile
  AppendLog(context, "after the card dialog");
  EXPECT_EQ(pane(), "after the card dialog\r\n");
}

class SaveLogTest : public LogTest {
 protected:
  SaveLogTest() {
    dir = std::filesystem::temp_directory_path() /
          ("kvt_savelog_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  ~SaveLogTest() override { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
};

TEST_F(SaveLogTest, SavingTwiceAppendsTheWholeLogAgain) {
  const auto file = dir / "log.txt";
  AppendLog(context, "line 1");
  AppendLog(context, "line 2");
  shell.chooserAnswers.push_back(file.string());
  shell.chooserAnswers.push_back(file.string());
  SaveLog(context);
  SaveLog(context);
  EXPECT_EQ(readFile(file), "line 1\r\nline 2\r\nline 1\r\nline 2\r\n");
  ASSERT_EQ(shell.chooserRequests.size(), 2u);
  EXPECT_TRUE(shell.chooserRequests[0].save);
  EXPECT_EQ(shell.chooserRequests[0].request.filterName, "Log Text File");
  EXPECT_EQ(shell.chooserRequests[0].request.pattern, "*.txt");
  EXPECT_EQ(shell.chooserRequests[0].request.initialName, "*.txt");
}

TEST_F(SaveLogTest, TextTypedIntoThePaneIsSavedAndBecomesTheLog) {
  const auto file = dir / "edited.txt";
  AppendLog(context, "machine");
  main.type(id::LogPane, "machine\r\nhand note\r\n");
  shell.chooserAnswers.push_back(file.string());
  SaveLog(context);
  EXPECT_EQ(readFile(file), "machine\r\nhand note\r\n");
  AppendLog(context, "next");
  EXPECT_EQ(log.text(), "machine\r\nhand note\r\nnext\r\n");
}

TEST_F(SaveLogTest, CancelOrAnUnopenableFileChangesNothing) {
  AppendLog(context, "keep");
  main.type(id::LogPane, "typed");
  shell.chooserAnswers.push_back(std::nullopt);
  SaveLog(context);
  EXPECT_EQ(log.text(), "keep\r\n");
  shell.chooserAnswers.push_back((dir / "missing_dir" / "x.txt").string());
  SaveLog(context);  // must not throw or create anything
  EXPECT_FALSE(std::filesystem::exists(dir / "missing_dir"));
}

TEST(LogThreads, ConcurrentAppendsKeepEveryLineWhole) {
  Log log;
  constexpr int kLines = 2000;
  auto writer = [&log](char mark) {
    for (int i = 0; i < kLines; ++i) log.append(std::string(20, mark), true, nullptr, 0);
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  a.join();
  b.join();
  const std::string text = log.text();
  ASSERT_EQ(text.size(), 2u * kLines * 22);
  for (std::size_t at = 0; at < text.size(); at += 22) {
    const char mark = text[at];
    ASSERT_TRUE(mark == 'a' || mark == 'b');
    ASSERT_EQ(text.substr(at, 22), std::string(20, mark) + "\r\n") << "at " << at;
  }
}

}  // namespace
}  // namespace kvt::app
