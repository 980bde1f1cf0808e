// Plays every dialog file of tests/app/dialogs (see support/dialog_script.h) against the
// dialog its name starts with: main_window, register or port_settings. The main window runs
// each line it hands on as "exec LINE" in the log, and the line fails when it starts with X
// and jumps when it starts with J. App verbs: sim-port NAME, port-error NAME CODE,
// describe NAME TEXT, open-port, set NAME VALUE, and the check state NAME VALUE.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/port_settings_dialog.h"
#include "app/register_dialog.h"
#include "app/serial_ports.h"
#include "app_fixture.h"
#include "support/dialog_script.h"

namespace kvt::app {
namespace {

const std::filesystem::path kDialogs = std::filesystem::path(KVT_SOURCE_DIR) / "tests/app/dialogs";

std::string Joined(const std::vector<std::string>& items) {
  std::string joined;
  for (const auto& item : items) joined += (joined.empty() ? "" : "|") + item;
  return joined;
}

class DialogFiles : public test::AppFixture, public ::testing::WithParamInterface<std::string> {
 protected:
  DialogFiles() {
    app.services.executeLine = [this](const DialogContext&, std::string& line) {
      AppendLog(context, "exec " + line);
      return line[0] == 'X' ? 0 : line[0] == 'J' ? -1 : 1;
    };
  }
  std::string state(const std::string& name) const {
    if (name == "portIndex") return std::to_string(app.portIndex);
    if (name == "baudIndex") return std::to_string(app.baudIndex);
    if (name == "bitReversed") return std::to_string(serialBus.bitReversed());
    if (name == "testChip") return std::to_string(registerControl.testChipAddressing());
    if (name == "open") return std::to_string(app.port != nullptr);
    if (name == "piMenu") return std::to_string(app.piMenu.size());
    if (name == "monospaceFont") return std::to_string(app.monospaceFont);
    if (name == "commandFile") return app.commandFilePath;
    if (name == "history") return Joined(app.commandHistory);
    if (name == "verified") return Joined(opener.verified);
    return "(unknown state " + name + ")";
  }
  void set(const std::string& name, const std::string& value) {
    if (name == "portIndex") app.portIndex = std::stoi(value);
    if (name == "baudIndex") app.baudIndex = std::stoi(value);
    if (name == "bitReversed") serialBus.setBitReversed(value == "1");
    if (name == "piHidden") app.piHidden = std::stoi(value);
    if (name == "commandFile") app.commandFilePath = value;
  }
  void extra(const std::string& verb, std::istringstream& args) {
    std::string name;
    int code = 0;
    if (verb == "sim-port" && args >> name) {
      connectSimulatedChip(name);
    } else if (verb == "port-error" && args >> name >> code) {
      opener.errors[name] = code;
    } else if (verb == "describe" && args >> name) {
      opener.descriptions[name] = kvt::test::DialogScript::Rest(args);
    } else if (verb == "open-port") {
      OpenPort(context);
    } else if (verb == "set" && args >> name) {
      set(name, kvt::test::DialogScript::Rest(args));
    } else if (verb == "state" && args >> name) {
      EXPECT_EQ(state(name), kvt::test::DialogScript::Rest(args));
    } else {
      ADD_FAILURE() << "unknown step";
    }
  }
  MainWindow mainWindow{app};
  RegisterDialog registerDialog{app};
  PortSettingsDialog portSettings{app};
  kvt::test::FakeView window;
};

TEST_P(DialogFiles, ControlsLogAndStateMatchTheFile) {
  const std::string name = GetParam();
  const bool isMain = name.starts_with("main_window");
  platform::DialogProcedure& procedure =
      isMain                         ? static_cast<platform::DialogProcedure&>(mainWindow)
      : name.starts_with("register") ? static_cast<platform::DialogProcedure&>(registerDialog)
                                     : portSettings;
  kvt::test::DialogScript(*this, procedure, isMain ? main : window)
      .run(kDialogs / (name + ".dlg"),
           [this](const std::string& verb, std::istringstream& args) { extra(verb, args); });
}

INSTANTIATE_TEST_SUITE_P(Files, DialogFiles,
                         ::testing::ValuesIn(kvt::test::ScriptNames(kDialogs, ".dlg")),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace kvt::app
