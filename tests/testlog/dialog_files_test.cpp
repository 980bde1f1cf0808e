// Plays every dialog file of tests/testlog/dialogs against the test log dialog (see
// support/dialog_script.h); $DIR stands for the test's folder. Verbs: start-file TEXT,
// set NAME VALUE, and the checks state NAME VALUE, hooks 0|1, output-exists 0|1,
// start-file-has TEXT.
#include <gtest/gtest.h>

#include "support/dialog_script.h"
#include "testlog/test_log_dialog.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

const std::filesystem::path kDialogs =
    std::filesystem::path(KVT_SOURCE_DIR) / "tests/testlog/dialogs";

class DialogFiles : public TestLogFixture, public ::testing::WithParamInterface<std::string> {
 protected:
  std::string rest(std::istringstream& args) const {
    std::string text = kvt::test::DialogScript::Rest(args);
    for (std::size_t at; (at = text.find("$DIR")) != std::string::npos;) {
      text.replace(at, 4, dir.string());
    }
    return text;
  }
  std::string state(const std::string& name) const {
    if (name == "active") return std::to_string(settings.active);
    if (name == "interface") return std::to_string(settings.interface);
    if (name == "outputFormat") return std::to_string(settings.outputFormat);
    if (name == "i2cAddress") return std::to_string(settings.i2cAddress);
    if (name == "outputFile") return settings.outputFile;
    if (name == "inputPath") return settings.inputPath;
    return "(unknown state " + name + ")";
  }
  void extra(const std::string& verb, std::istringstream& args) {
    std::string name;
    int on = 0;
    if (verb == "start-file") {
      WriteFile(app.startFilePath, rest(args));
    } else if (verb == "set" && args >> name) {
      const std::string value = rest(args);
      if (name == "outputFile") settings.outputFile = value;
      if (name == "outputFormat") settings.outputFormat = std::stoi(value);
    } else if (verb == "state" && args >> name) {
      EXPECT_EQ(state(name), rest(args));
    } else if (verb == "hooks" && args >> on) {
      EXPECT_EQ(static_cast<bool>(app.testLogHooks.writeHook), on != 0);
    } else if (verb == "output-exists" && args >> on) {
      EXPECT_EQ(std::filesystem::exists(output()), on != 0);
    } else if (verb == "start-file-has") {
      EXPECT_EQ(CountLines(ReadFile(app.startFilePath), rest(args)), 1);
    } else {
      ADD_FAILURE() << "unknown step";
    }
  }
  TestLogDialog dialog{context};
  kvt::test::FakeView window;
};

TEST_P(DialogFiles, ControlsAndSettingsMatchTheFile) {
  kvt::test::DialogScript(*this, dialog, window)
      .run(kDialogs / (GetParam() + ".dlg"),
           [this](const std::string& verb, std::istringstream& args) { extra(verb, args); });
}

INSTANTIATE_TEST_SUITE_P(Files, DialogFiles,
                         ::testing::ValuesIn(kvt::test::ScriptNames(kDialogs, ".dlg")),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kvt::testlog::test
