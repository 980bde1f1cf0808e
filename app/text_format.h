#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>

namespace kvt::app {

// printf-style formatting into a string, for the program's fixed log line formats.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
inline std::string
Format(const char* format, ...) {
  // The log's lines fit the buffer: they are formatted once. A longer text is formatted again
  // into a string of its length.
  char buffer[256];
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  std::string text;
  if (length > 0 && static_cast<size_t>(length) < sizeof buffer) {
    text.assign(buffer, static_cast<size_t>(length));
  } else if (length > 0) {
    text.resize(static_cast<size_t>(length));
    std::vsnprintf(text.data(), text.size() + 1, format, copy);
  }
  va_end(copy);
  return text;
}

}  // namespace kvt::app
