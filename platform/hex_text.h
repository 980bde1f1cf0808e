#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Hexadecimal digits as the program's fields, options and commands read them.
namespace kvt::platform {

// The value 0..15 of a hexadecimal digit in either case; -1 for any other character.
int HexDigitValue(char c);

// True when `text` holds at least one character and only hexadecimal digits.
bool IsHexText(std::string_view text);

// Byte data as the card reader's fields show it: two upper-case hexadecimal digits per byte.

// "0A1B..." for the bytes, two upper-case digits each.
std::string BytesToHex(std::span<const uint8_t> bytes);

// Fills `out` from the first 2 * out.size() characters of `text`, two characters per byte.
// A pair is read as a hexadecimal number that ends at the first character that is no
// hexadecimal digit ("1G" is 0x01, "G1" is 0x00). Digits missing at the end of a short text
// count as '0' ("123" fills 12 30 00 ...), so no byte is ever left undefined.
void HexTextToBytes(std::string_view text, std::span<uint8_t> out);

}  // namespace kvt::platform
