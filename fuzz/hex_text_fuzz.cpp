// Hexadecimal text as fields, options and commands read it. Any text fills every byte;
// bytes written out as hex read back as themselves, and a text of hex digits is what
// IsHexText says it is.
#include <cstdlib>

#include "fuzz/fuzz_target.h"
#include "platform/hex_text.h"

KVT_FUZZ_TARGET(hex_text) {
  if (size > 4096) return 0;
  namespace platform = kvt::platform;
  const std::string_view text = kvt::fuzz::AsText(data, size);
  std::vector<uint8_t> bytes(size / 2 + 1, 0xEE);
  platform::HexTextToBytes(text, bytes);

  bool allDigits = !text.empty();
  for (char c : text) allDigits = allDigits && platform::HexDigitValue(c) >= 0;
  if (platform::IsHexText(text) != allDigits) std::abort();

  const std::span<const uint8_t> input(data, size);
  const std::string hex = platform::BytesToHex(input);
  if (hex.size() != 2 * size || (size > 0 && !platform::IsHexText(hex))) std::abort();
  std::vector<uint8_t> back(size);
  platform::HexTextToBytes(hex, back);
  if (!std::equal(back.begin(), back.end(), input.begin())) std::abort();
  return 0;
}
