#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The small texts of the pattern writers, built without printf: a long run writes hundreds of
// vector lines for every register access.
namespace kvt::testlog {

// "N[b]": bit b (0 to 7) of the byte named N.
inline std::string BitName(char name, int bit) {
  return std::string{name, '[', static_cast<char>('0' + bit), ']'};
}

// "N[b] : v": the bit and the character its pin gets.
inline std::string BitComment(char name, int bit, char value) {
  return std::string{name, '[', static_cast<char>('0' + bit), ']', ' ', ':', ' ', value};
}

// `value` in decimal, right-aligned in `width` characters (printf's "%*u").
inline void AppendNumber(std::string& text, uint32_t value, int width) {
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  if (count < width) text.append(static_cast<std::size_t>(width - count), ' ');
  while (count > 0) text += digits[--count];
}

// `word` left-aligned in `width` characters (printf's "%-*s"); a longer word is kept whole.
inline void AppendPadded(std::string& text, std::string_view word, std::size_t width) {
  text += word;
  if (word.size() < width) text.append(width - word.size(), ' ');
}

}  // namespace kvt::testlog
