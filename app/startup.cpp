#include "app/startup.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/file_replace.h"

namespace kvt::app {

namespace {
constexpr uint8_t kHighestPort = 7;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::string StartFilePath(const std::filesystem::path& directory) {
  return (directory / kStartFileName).string();
}

uint8_t ReadPortIndex(const std::string& startFilePath) {
  std::FILE* file = std::fopen(startFilePath.c_str(), "rb");
  if (file == nullptr) return 0;
  const int first = std::fgetc(file);
  // A file that opens but cannot be read (a folder of that name) counts as missing.
  const bool unreadable = first == EOF && std::ferror(file) != 0;
  std::fclose(file);
  if (unreadable) return 0;
  // 8-bit arithmetic: everything below '0' wraps to a large value, EOF included.
  const auto index = static_cast<uint8_t>(first - '0');
  return index <= kHighestPort ? index : kHighestPort;
}

bool WritePortIndex(const std::string& startFilePath, uint8_t portIndex) {
  std::string content;
  {
    // A linked start-up file is read through its link and stays linked when rewritten.
    std::ifstream in(startFilePath, std::ios::binary);
    // A file that is there but cannot be read is left alone: rewriting it would lose its
    // sections.
    std::error_code error;
    if (!in && std::filesystem::exists(startFilePath, error)) return false;
    if (in) content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  const char digit = static_cast<char>('0' + (portIndex % 10));
  if (!content.empty() && isDigit(content[0])) {
    content[0] = digit;
  } else if (content.empty()) {
    content = std::string(1, digit);
  } else {
    const char* lineEnd = content.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    content = std::string(1, digit) + lineEnd + content;
  }
  return platform::ReplaceFile(startFilePath, content);
}

bool HasPiSwitch(std::string_view commandLine) {
  constexpr std::string_view kSeparators = " ,\t\n";
  std::size_t at = 0;
  while (at < commandLine.size()) {
    const std::size_t start = commandLine.find_first_not_of(kSeparators, at);
    if (start == std::string_view::npos) break;
    std::size_t end = commandLine.find_first_of(kSeparators, start);
    if (end == std::string_view::npos) end = commandLine.size();
    if (commandLine.substr(start, end - start) == "-pi") return true;
    at = end;
  }
  return false;
}

std::string JoinArguments(int argc, const char* const* argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace kvt::app
