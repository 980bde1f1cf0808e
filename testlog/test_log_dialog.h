#pragma once

#include <mutex>
#include <string_view>

#include "app/app_state.h"
#include "platform/shell.h"
#include "testlog/pattern_output.h"
#include "testlog/test_log_settings.h"

namespace kvt::testlog {

// Dialog 115: edits the TestLog settings of context.app (which must have a settings record).
// Opening it reloads the settings from the start-up file (only `active` survives from memory);
// each control stores its value at once; OK applies the settings and closes. The close box
// closes without applying (edits stay in memory); Escape does nothing.
class TestLogDialog final : public platform::DialogProcedure {
 public:
  // `context` is the main window's: its shell opens the file choosers, its log takes the
  // header messages of OK.
  explicit TestLogDialog(const app::DialogContext& context);

  void init(platform::View& window) override;
  void command(platform::View& window, int id, int notification) override;
  void closeRequest(platform::View& window) override { window.close(0); }
  bool key(platform::View& window, int id, platform::Key key) override {
    return key == platform::Key::Escape;
  }

 private:
  // A running script's pattern writers read the settings: they change under the chip lock,
  // between two of the script's accesses. What was recorded before a change (recording
  // switched off, another file) is in the file when the user looks.
  template <typename Change>
  void store(Change change) {
    std::lock_guard lock(app_.chipLock);
    change(settings_);
    FlushPatternOutputs();
  }
  void enableOptions(platform::View& window, bool on);
  void selectOutputFile(platform::View& window);
  void selectInputPath(platform::View& window);

  app::DialogContext context_;
  app::AppState& app_;
  TestLogSettings& settings_;
};

// Reads an I2C address as typed: at most the first two characters, as hexadecimal digits up to
// the first character that is not one; 0 without digits.
uint8_t ParseI2cAddress(std::string_view text);

// Runs dialog 115 modally, owned by context.owner (menu entry 40026).
void RunTestLogDialog(const app::DialogContext& context);

}  // namespace kvt::testlog
