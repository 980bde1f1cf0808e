#include "op_script.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kvt::chip::test {

Bytes hexBytes(const std::string& text) {
  std::string digits;
  for (char c : text) {
    if (c != ' ') digits += c;
  }
  if (digits.size() % 2 != 0) throw std::invalid_argument("odd hex digits: " + text);
  Bytes bytes;
  for (size_t i = 0; i < digits.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

std::string hexText(const Bytes& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (uint8_t b : bytes) text += {kDigits[b >> 4], kDigits[b & 15]};
  return text;
}

Words splitWords(const std::string& text) {
  std::istringstream in(text);
  Words words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

namespace {

using Macros = std::map<std::string, std::vector<ScriptLine>>;

// $1..$9 by the word of that place, $N+ by the words from N on.
std::string substitute(const std::string& text, const Words& call) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '$' || i + 1 >= text.size() || !isdigit(text[i + 1])) {
      out += text[i];
      continue;
    }
    const size_t n = static_cast<size_t>(text[++i] - '0');
    const bool rest = i + 1 < text.size() && text[i + 1] == '+';
    for (size_t w = n; w < call.size() && (w == n || rest); ++w)
      out += (w > n ? " " : "") + call[w];
    if (rest) ++i;
  }
  return out;
}

// The body of the block that starts after lines[at]: up to its "end".
std::vector<ScriptLine> block(const std::vector<ScriptLine>& lines, size_t& at) {
  std::vector<ScriptLine> body;
  for (int depth = 1; ++at < lines.size();) {
    const Words w = splitWords(lines[at].text);
    if (w[0] == "repeat" || w[0] == "def") ++depth;
    if (w[0] == "end" && --depth == 0) return body;
    body.push_back(lines[at]);
  }
  throw std::invalid_argument("a block without its end");
}

void expand(const std::vector<ScriptLine>& lines, Macros& macros, std::vector<ScriptLine>& out) {
  for (size_t at = 0; at < lines.size(); ++at) {
    const Words w = splitWords(lines[at].text);
    if (w[0] == "def") {
      macros[w.at(1)] = block(lines, at);
    } else if (w[0] == "repeat") {
      const auto body = block(lines, at);
      for (int n = std::stoi(w.at(1)); n > 0; --n) expand(body, macros, out);
    } else if (macros.count(w[0])) {
      std::vector<ScriptLine> body = macros[w[0]];
      for (ScriptLine& line : body) line = {lines[at].number, substitute(line.text, w)};
      expand(body, macros, out);
    } else {
      out.push_back(lines[at]);
    }
  }
}

// The lines of `path`, those of each "include FILE" (beside it) in its place.
std::vector<ScriptLine> readLines(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) throw std::invalid_argument("cannot read " + path.string());
  std::vector<ScriptLine> lines;
  int number = 0;
  for (std::string text; std::getline(in, text);) {
    ++number;
    text = text.substr(0, text.find('#'));
    text.erase(text.find_last_not_of(" \t\r") + 1);
    const Words w = splitWords(text);
    if (w.empty()) continue;
    if (w[0] != "include") {
      lines.push_back({number, text});
      continue;
    }
    const auto included = readLines(path.parent_path() / w.at(1));
    lines.insert(lines.end(), included.begin(), included.end());
  }
  return lines;
}

}  // namespace

std::vector<ScriptLine> expandScript(const std::string& path) {
  Macros macros;
  std::vector<ScriptLine> out;
  expand(readLines(path), macros, out);
  return out;
}

OpArgs::OpArgs(const Words& words) {
  for (const std::string& w : words) {
    const size_t eq = w.find('=');
    if (eq == std::string::npos) {
      positional.push_back(w);
    } else {
      named[w.substr(0, eq)] = w.substr(eq + 1);
    }
  }
}

bool OpArgs::has(const std::string& key) const {
  return named.count(key) != 0 ||
         std::find(positional.begin(), positional.end(), key) != positional.end();
}

int OpArgs::number(const std::string& key, int otherwise) const {
  return has(key) ? std::stoi(named.at(key), nullptr, 0) : otherwise;
}

Bytes OpArgs::bytes(const std::string& key) const {
  return has(key) ? hexBytes(named.at(key)) : Bytes{};
}

Bytes OpArgs::positionalBytes(size_t from) const {
  Bytes out;
  for (size_t i = from; i < positional.size(); ++i) {
    if (positional[i].find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) continue;
    const Bytes b = hexBytes(positional[i]);
    out.insert(out.end(), b.begin(), b.end());
  }
  return out;
}

uint8_t OpArgs::byte(size_t index) const { return hexBytes(positional.at(index)).at(0); }

}  // namespace kvt::chip::test
