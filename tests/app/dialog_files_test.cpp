// Plays every dialog file of tests/app/dialogs (see support/dialog_script.h) against the
// dialog its name starts with: main_window (or log), register or port_settings. The main window
// runs each line it hands on as "exec LINE" in the log, and the line fails when it starts with X
// and jumps when it starts with J. App verbs: sim-port NAME, scripted-port NAME, chip-answers
// (BYTE COUNT)..., port-error NAME CODE, describe NAME TEXT, open-port, stack (the recording
// chip stack), services (each logs "service NAME"), set NAME VALUE, and the check
// state NAME VALUE. append TEXT and append-part TEXT (no line end) add to the log.
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

template <typename T>
std::vector<std::string> Strings(const std::vector<T>& values, const char* format = "%d") {
  std::vector<std::string> strings;
  for (T value : values) strings.push_back(Format(format, value));
  return strings;
}

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
  std::string state(const std::string& name) {
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
    if (name == "opened") return Joined(opener.opened);
    if (name == "busPort") return std::to_string(serialBus.port() != nullptr);
    if (name == "hostRate") return std::to_string(simulatedPort()->hostRate());
    if (name == "chipRate") return std::to_string(chip.lineRate());
    if (name == "resumeLine") return std::to_string(app.resumeLine);
    if (name == "modals") return Joined(Strings(shell.modalDialogs));
    if (name == "choosers") return std::to_string(shell.chooserRequests.size());
    if (name == "unlocked") return std::to_string(stack.callsWithoutLock);
    if (name == "calls") return Joined(std::exchange(stack.calls, {}));
    if (!scripted) return "(no scripted port)";
    if (name == "purges") return std::to_string(scripted->purges());
    if (name == "rate") return std::to_string(scripted->rate());
    if (name == "reads") return std::to_string(scripted->reads());
    if (name == "written") return Joined(Strings(scripted->written(), "%02X"));
    return "(unknown state " + name + ")";
  }
  void set(const std::string& name, const std::string& value) {
    if (name == "portIndex") app.portIndex = std::stoi(value);
    if (name == "baudIndex") app.baudIndex = std::stoi(value);
    if (name == "bitReversed") serialBus.setBitReversed(value == "1");
    if (name == "piHidden") app.piHidden = std::stoi(value);
    if (name == "commandFile") app.commandFilePath = value;
    if (name == "resumeLine") app.resumeLine = std::stoi(value);
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
    } else if (verb == "append" || verb == "append-part") {
      AppendLog(context, kvt::test::DialogScript::Rest(args), verb == "append");
    } else if (verb == "open-port") {
      OpenPort(context);
    } else if (verb == "scripted-port" && args >> name) {
      connectScriptedPort(name);
    } else if (verb == "chip-answers") {
      for (unsigned byte, count; args >> std::hex >> byte >> std::dec >> count;) {
        while (count-- > 0) scripted->answerByte(byte);
      }
    } else if (verb == "stack") {
      app.registerControl = &stack;
      app.iso14443A = &stack;
      app.korvexReader = &stack;
      app.operationControl = &stack;
    } else if (verb == "services") {
      for (auto* service : {&app.services.selectCommandFile, &app.services.processCommandFile,
                            &app.services.printCommandReference, &app.services.runTestLogDialog,
                            &app.services.runCardReaderDialog}) {
        *service = [this, service](const DialogContext&) { AppendLog(context, Service(service)); };
      }
    } else if (verb == "set" && args >> name) {
      set(name, kvt::test::DialogScript::Rest(args));
    } else if (verb == "state" && args >> name) {
      EXPECT_EQ(state(name), kvt::test::DialogScript::Rest(args));
    } else {
      ADD_FAILURE() << "unknown step";
    }
  }
  std::string Service(const void* service) const {
    const auto& s = app.services;
    return service == &s.selectCommandFile       ? "service select"
           : service == &s.processCommandFile    ? "service process"
           : service == &s.printCommandReference ? "service reference"
           : service == &s.runTestLogDialog      ? "service testlog"
                                                 : "service card";
  }
  test::RecordingStack stack{app};
  MainWindow mainWindow{app};
  RegisterDialog registerDialog{app};
  PortSettingsDialog portSettings{app};
  kvt::test::FakeView window;
};

TEST_P(DialogFiles, ControlsLogAndStateMatchTheFile) {
  const std::string name = GetParam();
  const bool isMain = name.starts_with("main_window") || name.starts_with("log");
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
