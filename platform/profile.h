#pragma once

#include <optional>
#include <string>
#include <string_view>

// Private-profile (INI) files with the semantics engineers know from Win32: sections and keys
// match case-insensitively, a missing file or key yields the default, and a write changes only
// the one key line, keeping every other line of the file as it is (comments, blank lines, the
// bare port digit at the top of kvt_start.cfg). Writes go to a temporary file that is then
// renamed over the original, so a crash never leaves half a file.
namespace kvt::platform {

// The key's value parsed as a decimal integer (leading digits, optional sign); the default when
// the file, section or key is missing or the value does not start with a number.
int GetPrivateProfileInt(std::string_view section, std::string_view key, int defaultValue,
                         const std::string& file);

// The key's value with surrounding blanks removed; `defaultValue` when missing.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, const std::string& file);

// Sets `key` in `section` (creating the file, section or key as needed); a nullopt value
// removes the key. False when the file cannot be written.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::optional<std::string_view> value, const std::string& file);

}  // namespace kvt::platform
