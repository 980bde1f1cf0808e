#include "platform/profile.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "platform/file_replace.h"

namespace kvt::platform {

namespace {

// Far beyond any settings file; a larger file is refused rather than read into memory.
constexpr std::uintmax_t kMaxFileSize = 16u * 1024 * 1024;

// One line of the file as found: its text and the terminator that followed it ("\r\n", "\n",
// or "" for a last line without one). Joining text + end of every line gives the file back.
struct Line {
  std::string text;
  std::string end;
};

enum class LoadResult { Loaded, Missing, Failed };

LoadResult loadFile(const std::string& path, std::string& content) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) return LoadResult::Missing;
  if (ec || !std::filesystem::is_regular_file(status)) return LoadResult::Failed;
  const auto size = std::filesystem::file_size(path, ec);
  if (ec || size > kMaxFileSize) return LoadResult::Failed;
  std::ifstream in(path, std::ios::binary);
  if (!in) return LoadResult::Failed;
  content.resize(static_cast<size_t>(size));
  in.read(content.data(), static_cast<std::streamsize>(size));
  content.resize(static_cast<size_t>(in.gcount()));  // the file may have shrunk meanwhile
  return in.bad() ? LoadResult::Failed : LoadResult::Loaded;
}

std::vector<Line> splitLines(const std::string& content) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < content.size()) {
    const size_t newline = content.find('\n', start);
    if (newline == std::string::npos) {
      lines.push_back({content.substr(start), ""});
      break;
    }
    const bool crlf = newline > start && content[newline - 1] == '\r';
    const size_t textEnd = crlf ? newline - 1 : newline;
    lines.push_back({content.substr(start, textEnd - start), crlf ? "\r\n" : "\n"});
    start = newline + 1;
  }
  return lines;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return lower(x) == lower(y); });
}

enum class LineKind { Other, Section, Key };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  std::string_view name;   // section or key name, blanks removed
  std::string_view value;  // key lines: the text after '=', blanks removed
};

// "[name]" opens a section (anything after the ']' is ignored); "key=value" is a key line;
// comments (';'), blank lines, an unterminated '[' and lines without '=' are kept but mean
// nothing.
ParsedLine parseLine(std::string_view text) {
  const std::string_view body = trim(text);
  if (body.empty() || body.front() == ';') return {};
  if (body.front() == '[') {
    const size_t close = body.find(']');
    if (close != std::string_view::npos) {
      return {LineKind::Section, trim(body.substr(1, close - 1)), {}};
    }
  }
  const size_t equals = body.find('=');
  if (equals == std::string_view::npos) return {};
  const std::string_view key = trim(body.substr(0, equals));
  if (key.empty()) return {};
  return {LineKind::Key, key, trim(body.substr(equals + 1))};
}

// Where a key and its section sit in the file. A section may appear more than once; its keys
// are looked up through every occurrence in order, and new keys join the first occurrence.
struct Location {
  std::vector<size_t> keyLines;           // every line holding the key inside the section
  std::optional<size_t> sectionInsertAt;  // after the last non-blank line of the first section
};

Location locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Location where;
  bool inSection = false;
  bool inFirstSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const ParsedLine parsed = parseLine(lines[i].text);
    if (parsed.kind == LineKind::Section) {
      inSection = equalsIgnoreCase(parsed.name, section);
      inFirstSection = inSection && !where.sectionInsertAt;
      if (inFirstSection) where.sectionInsertAt = i + 1;
      continue;
    }
    if (!inSection) continue;
    if (inFirstSection && !trim(lines[i].text).empty()) where.sectionInsertAt = i + 1;
    if (parsed.kind == LineKind::Key && equalsIgnoreCase(parsed.name, key)) {
      where.keyLines.push_back(i);
    }
  }
  return where;
}

std::optional<std::string> lookup(std::string_view section, std::string_view key,
                                  const std::string& file) {
  std::string content;
  if (loadFile(file, content) != LoadResult::Loaded) return std::nullopt;
  const std::vector<Line> lines = splitLines(content);
  const Location where = locate(lines, trim(section), trim(key));
  if (where.keyLines.empty()) return std::nullopt;
  std::string_view value = parseLine(lines[where.keyLines.front()].text).value;
  // A value in matching quotes is given without them.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool hasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// A name that would not read back as itself (or would break the file's structure) is refused.
bool validSectionName(std::string_view name) {
  return !name.empty() && !hasLineBreakOrNul(name) && name.find(']') == std::string_view::npos;
}

bool validKeyName(std::string_view name) {
  return !name.empty() && !hasLineBreakOrNul(name) && name.find('=') == std::string_view::npos &&
         name.front() != '[' && name.front() != ';';
}

}  // namespace

int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& file) {
  const std::optional<std::string> text = lookup(section, key, file);
  if (!text) return defaultValue;
  size_t pos = 0;
  bool negative = false;
  if (pos < text->size() && ((*text)[pos] == '-' || (*text)[pos] == '+')) {
    negative = (*text)[pos] == '-';
    ++pos;
  }
  if (pos >= text->size() || (*text)[pos] < '0' || (*text)[pos] > '9') return defaultValue;
  // Accumulate negatively so INT_MIN fits; saturate on overflow.
  long long value = 0;
  for (; pos < text->size() && (*text)[pos] >= '0' && (*text)[pos] <= '9'; ++pos) {
    value = value * 10 + ((*text)[pos] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) return static_cast<int>(-value);
  return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& file) {
  std::optional<std::string> value = lookup(section, key, file);
  return value ? std::move(*value) : std::string(defaultValue);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::optional<std::string_view> value, const std::string& file) {
  section = trim(section);
  key = trim(key);
  if (!validSectionName(section) || !validKeyName(key)) return false;
  if (value && hasLineBreakOrNul(*value)) return false;

  std::string content;
  const LoadResult loaded = loadFile(file, content);
  if (loaded == LoadResult::Failed) return false;
  std::vector<Line> lines = splitLines(content);
  const Location where = locate(lines, section, key);

  // New lines follow the file's own convention; a new file gets CR LF like the log files.
  std::string eol = "\r\n";
  for (const Line& line : lines) {
    if (!line.end.empty()) {
      eol = line.end;
      break;
    }
  }
  const std::string newKeyLine = std::string(key) + "=" + std::string(value.value_or(""));

  if (!value) {
    if (where.keyLines.empty()) return true;  // nothing to remove
    for (auto it = where.keyLines.rbegin(); it != where.keyLines.rend(); ++it) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*it));
    }
  } else if (!where.keyLines.empty()) {
    // Keep the line's own spelling and spacing up to the '=', replace what follows.
    Line& line = lines[where.keyLines.front()];
    const size_t equals = line.text.find('=');
    size_t valueStart = equals + 1;
    while (valueStart < line.text.size() && isBlank(line.text[valueStart])) ++valueStart;
    line.text = line.text.substr(0, valueStart) + std::string(*value);
  } else if (where.sectionInsertAt) {
    const size_t at = *where.sectionInsertAt;
    if (lines[at - 1].end.empty()) lines[at - 1].end = eol;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{newKeyLine, eol});
  } else {
    if (!lines.empty() && lines.back().end.empty()) lines.back().end = eol;
    lines.push_back({"[" + std::string(section) + "]", eol});
    lines.push_back({newKeyLine, eol});
  }

  std::string output;
  output.reserve(content.size() + newKeyLine.size() + section.size() + 8);
  for (const Line& line : lines) output += line.text + line.end;
  return ReplaceFile(file, output);
}

}  // namespace kvt::platform
