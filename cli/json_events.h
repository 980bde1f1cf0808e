#pragma once

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "app/run_events.h"

namespace kvt::cli {

// kvt-cli --json: one JSON object per line on `out` instead of the log text. Register
// accesses, compares and card steps come as records from the layers that did them; every
// other log line is a message. A log line that a record already reported is not repeated.
//
//   {"event":"access","command":"GR","address":"37","value":"28","status":"0000",
//    "description":"success","line":"GR  37 ..."}
//   {"event":"compare","command":"RE","address":"37","expected":"28","actual":"28",
//    "equal":true,"line":"RE  37  28 ..."}
//   {"event":"card","step":"read","parameters":"","status":"0000","description":"success",
//    "data":"00112233...","lines":["Read(0x04, 0x0011...) --> Status: 0x0000"]}
//   {"event":"message","text":"//< Hello"}
class JsonEvents final : public app::RunEvents {
 public:
  explicit JsonEvents(std::ostream& out) : out_(out) {}
  ~JsonEvents() override;

  void registerAccess(const app::RegisterAccessRecord& record) override;
  void compare(const app::CompareRecord& record) override;
  void cardStepBegins() override;
  void cardStep(const app::CardStepRecord& record) override;

  // The log pane's text as it grows, line ends as LF.
  std::ostream& logStream() { return logStream_; }

 private:
  class LineBuffer final : public std::streambuf {
   public:
    explicit LineBuffer(JsonEvents& owner) : owner_(owner) {}
    // A last line without its line end.
    void flushPartial();

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

   private:
    JsonEvents& owner_;
    std::string pending_;
  };

  void logLine(std::string_view line);
  void claim(std::string_view line);

  std::ostream& out_;
  LineBuffer lineBuffer_{*this};
  std::ostream logStream_{&lineBuffer_};
  std::string claimed_;  // the log line of the last record, until it comes
  bool inCardStep_ = false;
  std::vector<std::string> stepLines_;
};

}  // namespace kvt::cli
