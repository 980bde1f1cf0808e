#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What the command language, the register dump and the card steps did, as records for a
// program that wants more than the log text (kvt-cli --json). They are handed to the listener
// in AppState::events on the thread that did the work, just before the log line they report.
namespace kvt::app {

// One register access.
struct RegisterAccessRecord {
  std::string_view command;  // "SR", "GR", "MR", "RE", "RF", or "dump"
  uint8_t address = 0;
  std::optional<uint8_t> value;  // the value written (SR) or read (GR, RE, RF, dump)
  std::optional<uint8_t> mask;   // MR: the bits changed
  std::optional<bool> set;       // MR: set (true) or cleared
  uint16_t status = 0;
  std::string_view line;  // the log line that reports it; empty when it has none
};

// The outcome of a compare (RE, RF).
struct CompareRecord {
  std::string_view command;
  uint8_t address = 0;
  uint8_t expected = 0;
  std::optional<uint8_t> mask;  // RF
  uint8_t actual = 0;
  bool equal = false;
  std::string_view line;  // the log line that reports it
};

// One step of the card reader. Its log lines come between stepBegins and the record.
struct CardStepRecord {
  std::string_view name;   // "request", "select", "auth" ...
  std::string parameters;  // the step's parameters as the user gave them ("wupa", "b KEY")
  uint16_t status = 0;
  std::optional<int> block;         // auth, read, write: the block the step acted on
  std::optional<std::string> uid;   // after a select: the card's identifier, hexadecimal
  std::optional<std::string> data;  // the bytes read or written, hexadecimal
};

// Receives the records; every member may be left as it is.
class RunEvents {
 public:
  virtual ~RunEvents() = default;
  virtual void registerAccess(const RegisterAccessRecord&) {}
  virtual void compare(const CompareRecord&) {}
  virtual void cardStepBegins() {}
  virtual void cardStep(const CardStepRecord&) {}
};

}  // namespace kvt::app
