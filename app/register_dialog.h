#pragma once

#include <cstdint>
#include <string>

#include "app/app_state.h"
#include "chip/status.h"
#include "platform/shell.h"

namespace kvt::app {

// Converts a hex byte field in place: characters outside '0'..'F' become '0', the text is read
// as hex up to the first non-hex character, values above 0xFF keep their low byte. `changed` is
// set when the text had to be corrected. The text ends as exactly two upper-case hex digits.
uint8_t HexTextToByte(std::string& text, bool& changed);
// "00000111" for 7: most significant bit first.
std::string ByteToBinary(uint8_t value);
// The result lines; the status parenthesis stands at column 34 in both.
std::string FormatSetLine(uint8_t address, uint8_t value, chip::Status status);
std::string FormatGetLine(uint8_t address, uint8_t value, chip::Status status);

// Dialog 106 "Access RF Front End Registers", modeless: set and get single registers. Each
// access holds the chip lock, so it waits while a script line talks to the chip.
class RegisterDialog final : public platform::DialogProcedure {
 public:
  explicit RegisterDialog(AppState& app) : app_(app) {}

  void init(platform::View& window) override;
  void command(platform::View& window, int id, int notification) override;
  void closeRequest(platform::View& window) override { close(window); }

 private:
  DialogContext contextFor(platform::View& window) const;
  // Reads an edit (upper-cased, as the edit shows typed letters) and converts it.
  uint8_t readField(platform::View& window, int id, bool writeBackCorrections);
  void set(platform::View& window);
  void get(platform::View& window);
  void close(platform::View& window);

  AppState& app_;
};

}  // namespace kvt::app
