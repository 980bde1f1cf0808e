#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Reading of the chip operation scripts (tests/chip/ops/*.txt): comments, macros, repeats and
// the words and hex of one line.
namespace kvt::chip::test {

using Bytes = std::vector<uint8_t>;
using Words = std::vector<std::string>;

struct ScriptLine {
  int number;
  std::string text;
};

// "3004" or "30 04" as bytes.
Bytes hexBytes(const std::string& text);
std::string hexText(const Bytes& bytes);
Words splitWords(const std::string& text);

// The lines of `path` without comments ('#' to the end) and blank lines, with every macro
// ("def NAME" ... "end", called as "NAME args", $1..$9 and $N+ for the words from N on) and
// every "repeat N" ... "end" written out.
std::vector<ScriptLine> expandScript(const std::string& path);

// The words of an operation: "key=value" ones by key, the others in order.
struct OpArgs {
  explicit OpArgs(const Words& words);
  // A "key=value" word or a bare word `key`.
  bool has(const std::string& key) const;
  int number(const std::string& key, int otherwise) const;
  Bytes bytes(const std::string& key) const;
  // The hex words from `from` on, as bytes (words such as "crc" left out).
  Bytes positionalBytes(size_t from) const;
  uint8_t byte(size_t index) const;

  Words positional;
  std::map<std::string, std::string> named;
};

}  // namespace kvt::chip::test
