#include "testlog/template_expansion.h"

#include <algorithm>

#include "platform/path_parts.h"

namespace kvt::testlog {

namespace {

constexpr int kMarkerPasses = 6;
constexpr int kMaxReplacementsInPlace = 4;  // one round per code

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

char markerCharacter(int32_t outputFormat, uint8_t value, bool check, uint8_t mask, int bit) {
  const bool set = ((value >> bit) & 1) != 0;
  if (!check) return set ? '1' : '0';
  if (((mask >> bit) & 1) == 0) return outputFormat == kFormatATP ? 'X' : 'U';
  return set ? 'H' : 'L';
}

}  // namespace

void SubstituteBitMarkers(int32_t outputFormat, std::string& text, char letter, uint8_t value,
                          bool check, uint8_t mask) {
  const size_t length = text.size();
  for (int pass = 0; pass < kMarkerPasses; ++pass) {
    size_t position = 0;
    while (position < length) {
      position = text.find(letter, position);
      if (position == std::string::npos) break;
      const size_t digitAt = position + 1;
      if (digitAt >= length || text[digitAt] < '0' || text[digitAt] > '7') {
        ++position;
        continue;
      }
      text[position] = markerCharacter(outputFormat, value, check, mask, text[digitAt] - '0');
      size_t lineEnd = digitAt;
      while (lineEnd < length && !isLineEnd(text[lineEnd])) ++lineEnd;
      // Close the digit's gap and pad the line back to its length just before its end.
      text.erase(digitAt, 1);
      text.insert(lineEnd - 1, 1, ' ');
      position = lineEnd - 1;  // the rest of this line waits for the next pass
    }
  }
}

void ExpandPlaceholders(TestLogSettings& settings, std::string& text, std::string_view commentText,
                        std::string_view pathForName, const std::string* timeText) {
  const std::string name = platform::SplitPath(pathForName).name;
  size_t position = 0;
  size_t replacedUpTo = 0;  // end of the text the latest replacement put in
  int chain = 0;            // replacements in a row, each inside the text of the one before
  while (position < text.size()) {
    position = text.find('%', position);
    if (position == std::string::npos) break;
    const char code = position + 1 < text.size() ? text[position + 1] : '\0';
    std::string replacement;
    switch (code) {
      case 'f':
      case 'F':
        replacement = name;
        break;
      case '#':
        replacement = std::to_string(settings.vectorNumber);
        if (settings.outputFormat == kFormatATP) ++settings.vectorNumber;
        break;
      case 'c':
      case 'C':
        replacement = std::string(commentText);
        break;
      case 't':
      case 'T':
        if (timeText != nullptr) replacement = *timeText;
        break;
      default:
        break;
    }
    if (replacement.empty()) {
      ++position;
      continue;
    }
    text.replace(position, 2, replacement);
    const size_t end = position + replacement.size();
    if (position < replacedUpTo) {  // inside replaced text, which grows or shrinks with this one
      ++chain;
      replacedUpTo = std::max(replacedUpTo + replacement.size() - 2, end);
    } else {
      chain = 1;
      replacedUpTo = end;
    }
    // The walk goes on at the replacement, which may itself hold codes; one that starts with
    // the code it replaced would expand without end, so it is passed over, as is any chain of
    // codes in replaced text longer than the four there are (a name "a%f" brings its own code
    // back a character further on each time).
    const bool repeatsItself = replacement.size() >= 2 && replacement[0] == '%' &&
                               (replacement[1] == code || (replacement[1] ^ 0x20) == code);
    if (repeatsItself || chain >= kMaxReplacementsInPlace) {
      position += replacement.size();
    }
  }
}

}  // namespace kvt::testlog
