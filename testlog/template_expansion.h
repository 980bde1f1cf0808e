#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "testlog/test_log_settings.h"

// The two passes that turn a user's template into pattern text.
namespace kvt::testlog {

// Replaces bit markers in place: a `letter` followed by a digit 0..7 (bit b) becomes, with
// `check` false, "1" or "0" for bit b of `value`; with `check` true, "H"/"L" for bit b of `value`
// when bit b of `mask` is set, else "X" (ATP) or "U" (ATF). The digit is taken out by moving the
// rest of its line one place left, and a blank goes in just before the line end, so the
// columns after the marker move but the line keeps its length. Each of six passes handles the
// first marker of every line: a line takes at most six markers of one letter; further ones
// stay as they are. The text's length never changes.
void SubstituteBitMarkers(int32_t outputFormat, std::string& text, char letter, uint8_t value,
                          bool check, uint8_t mask);

// Expands the "%" codes in place: "%f" the name (no folder, no extension) of `pathForName`,
// "%#" the vector number (in ATP it then counts up by one), "%c" `commentText`, "%t"
// `timeText`; letters match in either case. A code with an empty replacement (an unknown
// letter, "%t" without a time text) stays as it is. A replacement that starts with "%" is
// looked at again, except that one which starts with the very code it replaced is not: a file
// named "%f" must not expand forever.
void ExpandPlaceholders(TestLogSettings& settings, std::string& text, std::string_view commentText,
                        std::string_view pathForName, const std::string* timeText);

}  // namespace kvt::testlog
