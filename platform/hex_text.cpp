#include "platform/hex_text.h"

#include <algorithm>

namespace kvt::platform {

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

uint8_t pairToByte(char high, char low) {
  const int first = HexDigitValue(high);
  if (first < 0) return 0;
  const int second = HexDigitValue(low);
  if (second < 0) return static_cast<uint8_t>(first);
  return static_cast<uint8_t>(first * 16 + second);
}

}  // namespace

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsHexText(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return HexDigitValue(c) >= 0; });
}

std::string BytesToHex(std::span<const uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (uint8_t byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0F]);
  }
  return text;
}

void HexTextToBytes(std::string_view text, std::span<uint8_t> out) {
  auto at = [text](std::size_t index) { return index < text.size() ? text[index] : '0'; };
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = pairToByte(at(2 * i), at(2 * i + 1));
}

}  // namespace kvt::platform
