#include "testlog/pattern_file.h"

#include <filesystem>
#include <system_error>

#include "app/text_format.h"
#include "platform/local_time.h"
#include "testlog/test_log_settings.h"

namespace kvt::testlog {

FileHandle OpenForAppend(const std::string& path) {
  if (path.empty()) return nullptr;
  return FileHandle(std::fopen(path.c_str(), "ab"));
}

bool Write(std::FILE* file, std::string_view text) {
  if (text.empty()) return true;
  return std::fwrite(text.data(), 1, text.size(), file) == text.size();
}

std::optional<std::string> ReadTemplate(const std::string& path) {
  // Only regular files: opening a pipe or device for reading could block the run for ever.
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  FileHandle file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  std::string text;
  char chunk[8192];
  bool pendingCr = false;  // a CR at the end of one chunk may start a CR LF
  while (text.size() < kTemplateLimit) {
    const size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    if (got == 0) break;
    for (size_t i = 0; i < got; ++i) {
      const char c = chunk[i];
      if (pendingCr) {
        pendingCr = false;
        if (c != '\n') text += '\r';
      }
      if (c == '\r') {
        pendingCr = true;
        continue;
      }
      text += c;
    }
  }
  if (pendingCr) text += '\r';
  if (std::ferror(file.get())) return std::nullopt;
  if (text.size() > kTemplateLimit) text.resize(kTemplateLimit);
  return text;
}

std::string TemplatePath(const std::string& inputPath, std::string_view fileName) {
  std::string path = inputPath;
  path += kPathSeparator;
  path += fileName;
  return path;
}

std::string TimeText(const std::tm& time) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* day = time.tm_wday >= 0 && time.tm_wday < 7 ? kDays[time.tm_wday] : "???";
  const char* month = time.tm_mon >= 0 && time.tm_mon < 12 ? kMonths[time.tm_mon] : "???";
  return app::Format("%s %s %02d %02d:%02d:%02d %04d\n", day, month, time.tm_mday, time.tm_hour,
                     time.tm_min, time.tm_sec, time.tm_year + 1900);
}

std::string CurrentTimeText() { return TimeText(platform::LocalTime(std::time(nullptr))); }

}  // namespace kvt::testlog
