// Template expansion as the pattern writers run it: bit markers, then "%" codes. The first
// four bytes choose the format, the value, the mask and the marker; the rest is the template,
// then NUL-separated the comment, the file name and the time text. Bit markers never change
// the text's length.
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "testlog/template_expansion.h"

KVT_FUZZ_TARGET(template) {
  if (size < 4 || size > 65536) return 0;
  const int32_t format = data[0] & 1;
  const uint8_t value = data[1];
  const uint8_t mask = data[2];
  const bool check = (data[3] & 1) != 0;
  static constexpr char kLetters[] = {'S', 'A', 'D', 'C'};
  const char letter = kLetters[(data[3] >> 1) & 3];
  const std::vector<std::string> parts =
      kvt::fuzz::Split(kvt::fuzz::AsText(data + 4, size - 4), '\0');
  std::string text = parts[0];
  const std::size_t length = text.size();
  kvt::testlog::SubstituteBitMarkers(format, text, letter, value, check, mask);
  if (text.size() != length) std::abort();

  kvt::testlog::TestLogSettings settings;
  settings.outputFormat = format;
  settings.vectorNumber = value;
  const std::string comment = parts.size() > 1 ? parts[1] : "comment";
  const std::string path = parts.size() > 2 ? parts[2] : "/tmp/pattern.atp";
  const std::string time = parts.size() > 3 ? parts[3] : "";
  kvt::testlog::ExpandPlaceholders(settings, text, comment, path,
                                   parts.size() > 3 ? &time : nullptr);
  return 0;
}
