#include "testlog/test_log_dialog.h"

#include "app/text_format.h"
#include "platform/hex_text.h"
#include "platform/path_parts.h"
#include "testlog/apply_settings.h"
#include "testlog/control_ids.h"

namespace kvt::testlog {

namespace {

// Every control but the check box, the "0x" label and OK follows the check box.
constexpr int kOptionControls[] = {id::Interface,       id::InterfaceLabel,   id::Format,
                                   id::FormatLabel,     id::SelectOutputFile, id::OutputFileName,
                                   id::SelectInputPath, id::InputPathName,    id::I2cAddress,
                                   id::I2cAddressLabel};

std::string fileNameOf(const std::string& path) {
  const platform::PathParts parts = platform::SplitPath(path);
  return parts.name + parts.extension;
}

std::string folderOf(const std::string& path) {
  const platform::PathParts parts = platform::SplitPath(path);
  return parts.drive + parts.directory;
}

void fillList(platform::View& window, int listId, const char* first, const char* second,
              int32_t selected) {
  window.clearItems(listId);
  window.addItem(listId, first);
  window.addItem(listId, second);
  window.selectItem(listId, selected == 0 || selected == 1 ? selected : -1);
}

// The pattern of the output format's files, the initial name of both choosers.
const char* filePattern(int32_t outputFormat) {
  return outputFormat == kFormatATF ? "*.atf" : "*.atp";
}

}  // namespace

uint8_t ParseI2cAddress(std::string_view text) {
  unsigned value = 0;
  for (size_t i = 0; i < text.size() && i < 2; ++i) {
    const int digit = platform::HexDigitValue(text[i]);
    if (digit < 0) break;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return static_cast<uint8_t>(value & 0xFF);
}

TestLogDialog::TestLogDialog(const app::DialogContext& context)
    : context_(context), app_(*context.app), settings_(*context.app->testLog) {}

void TestLogDialog::init(platform::View& window) {
  TestLogSettings shown;
  store([&](TestLogSettings& s) {
    LoadTestLogSettings(s, app_.startFilePath);
    shown = s;
  });
  window.setChecked(id::Activate, shown.active != 0);
  enableOptions(window, shown.active != 0);
  fillList(window, id::Interface, "I2C", "SPI", shown.interface);
  fillList(window, id::Format, "ATF", "ATP", shown.outputFormat);
  window.setText(id::OutputFileName, fileNameOf(shown.outputFile));
  window.setText(id::InputPathName, folderOf(shown.inputPath));
  window.setText(id::I2cAddress, app::Format("%02X", shown.i2cAddress));
}

void TestLogDialog::command(platform::View& window, int id, int notification) {
  switch (id) {
    case id::Activate: {
      const bool on = window.checked(id::Activate);
      store([on](TestLogSettings& s) { s.active = on ? 1 : 0; });
      enableOptions(window, on);
      break;
    }
    case id::Interface: {
      const int selected = window.selectedItem(id::Interface);
      store([selected](TestLogSettings& s) { s.interface = selected; });
      break;
    }
    case id::Format: {
      const int selected = window.selectedItem(id::Format);
      store([selected](TestLogSettings& s) { s.outputFormat = selected; });
      break;
    }
    case id::I2cAddress: {
      const uint8_t address = ParseI2cAddress(window.text(id::I2cAddress));
      store([address](TestLogSettings& s) { s.i2cAddress = address; });
      break;
    }
    case id::SelectOutputFile:
      selectOutputFile(window);
      break;
    case id::SelectInputPath:
      selectInputPath(window);
      break;
    case id::Ok:
      ApplyTestLogSettings(context_);
      window.close(1);
      break;
    default:
      break;
  }
}

void TestLogDialog::enableOptions(platform::View& window, bool on) {
  for (int control : kOptionControls) window.enable(control, on);
}

void TestLogDialog::selectOutputFile(platform::View& window) {
  if (context_.instance == nullptr) return;
  const char* pattern = filePattern(settings_.outputFormat);
  // A new pattern file is the usual choice, so the file need not exist yet.
  const platform::FileChooser request{"Test Log File", pattern, pattern, false};
  const std::optional<std::string> chosen = context_.instance->saveFile(&window, request);
  // Cancel keeps the file chosen before, which the dialog still shows.
  if (!chosen) return;
  store([&chosen](TestLogSettings& s) { s.outputFile = *chosen; });
  window.setText(id::OutputFileName, fileNameOf(*chosen));
}

void TestLogDialog::selectInputPath(platform::View& window) {
  if (context_.instance == nullptr) return;
  const char* pattern = filePattern(settings_.outputFormat);
  // The user points at one of the templates; its folder becomes the input path.
  const platform::FileChooser request{"Input File", pattern, pattern, true};
  const std::optional<std::string> chosen = context_.instance->openFile(&window, request);
  if (!chosen) return;
  std::string folder = folderOf(*chosen);
  if (folder.empty())
    folder = std::string(".") + kPathSeparator;  // a bare name: the working folder
  window.setText(id::InputPathName, folder);
  store([&folder](TestLogSettings& s) { s.inputPath = folder; });
}

void RunTestLogDialog(const app::DialogContext& context) {
  if (context.instance == nullptr || context.app == nullptr || context.app->testLog == nullptr) {
    return;
  }
  TestLogDialog dialog(context);
  context.instance->runModal(id::TestLogDialog, context.owner, dialog);
}

}  // namespace kvt::testlog
