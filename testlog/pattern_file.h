#pragma once

#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// File handling shared by the pattern writers: nothing stays open between two writes.
namespace kvt::testlog {

// Templates are read up to this many characters (after CR LF became LF).
constexpr size_t kTemplateLimit = 100000;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The pattern file opened for appending in binary (created if missing); null when it cannot be
// opened (then the caller writes nothing and reports nothing).
FileHandle OpenForAppend(const std::string& path);
// Writes all of `text`; false on a write error.
bool Write(std::FILE* file, std::string_view text);

// The template at `path` as text with CR LF turned into LF, cut to kTemplateLimit characters;
// nullopt when it is missing or is not a readable regular file (a folder, a pipe).
std::optional<std::string> ReadTemplate(const std::string& path);

// Where a template is looked for: the input folder, the platform separator and the name. The
// folder normally ends in a separator already; the doubled one is harmless.
std::string TemplatePath(const std::string& inputPath, std::string_view fileName);

// The time text of headers: "Tue Mar 05 14:07:09 2024" and LF, English names whatever the
// locale, day of the month with a leading zero.
std::string TimeText(const std::tm& time);
// TimeText of the local time now.
std::string CurrentTimeText();

}  // namespace kvt::testlog
