// The INI reader and writer on a file of the input's making. The input is the file, then
// NUL-separated a section, a key, a value (absent: remove the key) and a second section and
// key. After a write that succeeded the key reads back as written (blanks and matching quotes
// around the value taken off, as the reader gives it), and the other key reads as before.
#include <cstdlib>
#include <fstream>
#include <optional>

#include "fuzz/fuzz_target.h"
#include "platform/profile.h"

namespace {

namespace platform = kvt::platform;

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

std::string AsRead(std::string_view value) {
  value = Trimmed(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool SameName(std::string_view a, std::string_view b) {
  a = Trimmed(a);
  b = Trimmed(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

constexpr char kMissing[] = "\x01missing";

}  // namespace

KVT_FUZZ_TARGET(profile) {
  if (size > 65536) return 0;
  const std::vector<std::string> parts = kvt::fuzz::Split(kvt::fuzz::AsText(data, size), '\0');
  const std::string file = kvt::fuzz::PrivateFolder() + "/profile.ini";
  std::ofstream(file, std::ios::binary | std::ios::trunc) << parts[0];
  const std::string section = parts.size() > 1 ? parts[1] : "Ports";
  const std::string key = parts.size() > 2 ? parts[2] : "COM1";
  const std::optional<std::string> value =
      parts.size() > 3 ? std::optional<std::string>(parts[3]) : std::nullopt;
  const std::string otherSection = parts.size() > 4 ? parts[4] : section;
  const std::string otherKey = parts.size() > 5 ? parts[5] : "COM2";

  platform::GetPrivateProfileInt(section, key, 7, file);
  const std::string otherBefore =
      platform::GetPrivateProfileString(otherSection, otherKey, kMissing, file);
  if (!platform::WritePrivateProfileString(section, key, value, file)) return 0;
  const std::string readBack = platform::GetPrivateProfileString(section, key, kMissing, file);
  if (readBack != (value ? AsRead(*value) : std::string(kMissing))) std::abort();
  const bool sameKey = SameName(section, otherSection) && SameName(key, otherKey);
  if (!sameKey &&
      platform::GetPrivateProfileString(otherSection, otherKey, kMissing, file) != otherBefore) {
    std::abort();
  }
  return 0;
}
