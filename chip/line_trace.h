#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace kvt::chip {

// A readable record of the serial line: every byte with its time (microseconds since the
// trace began) and direction ("> " host to chip, "< " chip to host), and on the last line of
// each register access the access it made:
//
//        1042 > 19
//        2083 > 5A
//        3125 < 19     W 19 5A -> echo 19
//        4166 > B7
//        5208 < 28     R 37 -> 28
//      505208   ---    R 37 -> no answer      (a read time-out; "port lost" likewise)
//
// Bytes are decoded in the normal address layout (bit 7 the read flag). The text of an access
// goes to the sink in one piece once the access is over, so tracing adds one write per access
// and nothing between its bytes.
class LineTrace {
 public:
  using Sink = std::function<void(std::string_view)>;
  explicit LineTrace(Sink sink, platform::Clock& clock = platform::SystemClock::instance());
  ~LineTrace();
  LineTrace(const LineTrace&) = delete;
  LineTrace& operator=(const LineTrace&) = delete;

  void hostByte(uint8_t byte);
  void chipByte(uint8_t byte);
  // The read waited out its time-out: no byte came.
  void noAnswer();
  // The port vanished (adapter unplugged, the other end closed).
  void lost();
  // A change of the line, e.g. "line at 115200 bit/s"; ends an unfinished access.
  void note(std::string_view text);

 private:
  enum class State { Idle, ReadSent, WriteAddressSent, WriteDataSent };
  void byteLine(char direction, uint8_t byte);
  void eventLine(std::string_view what);
  // Ends the access with `outcome` appended to its last line and hands the text to the sink.
  void finish(const std::string& outcome);
  std::string access() const;
  std::string stamp();

  Sink sink_;
  platform::Clock& clock_;
  std::chrono::microseconds start_;
  std::string pending_;
  State state_ = State::Idle;
  uint8_t address_ = 0;
  uint8_t data_ = 0;
};

// A sink writing to `file` with one unbuffered write per piece; a null file writes nothing.
LineTrace::Sink FileSink(std::FILE* file);

}  // namespace kvt::chip
