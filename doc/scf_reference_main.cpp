// Writes the manual page source of the command language: the template with its
// %COMMAND_REFERENCE% line replaced by the command reference that `kvt-cli help` prints, so the
// reference text lives in one place (cmd/command_reference_text.cpp).
//
//   kvt-scf-reference TEMPLATE.scd.in OUTPUT.scd
#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "cmd/command_reference_text.h"

namespace {

constexpr std::string_view kMarker = "%COMMAND_REFERENCE%";

// scdoc reads '*', '_' and '\' as markup; the reference means them literally.
std::string escaped(std::string_view text) {
  std::string result;
  for (char c : text) {
    if (c == '*' || c == '_' || c == '\\') result += '\\';
    result += c;
  }
  return result;
}

// "S A R V E L   C O M M A N D S :" reads "SARVEL COMMANDS" as a heading.
std::string heading(std::string_view title) {
  std::string result;
  for (size_t i = 0; i < title.size(); ++i) {
    const bool wordGap = title.substr(i, 3) == "   ";
    if (wordGap) {
      result += ' ';
      i += 2;
    } else if (title[i] != ' ' && title[i] != ':') {
      result += title[i];
    }
  }
  while (!result.empty() && result.back() == ' ') result.pop_back();
  return result;
}

std::string_view afterLabel(std::string_view line) {
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos) return line;
  line.remove_prefix(colon + 1);
  while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  return line;
}

// One command: its synopsis with the command in bold, then its description as one paragraph.
void writeEntry(std::ostream& out, const kvt::cmd::ReferenceEntry& entry) {
  const std::string_view command = afterLabel(entry.command);
  std::string_view synopsis = afterLabel(entry.synopsis);
  synopsis.remove_prefix(std::min(command.size(), synopsis.size()));
  out << "*" << escaped(command) << "*" << escaped(synopsis) << "\n\t";
  std::string_view separator;
  for (const char* line : entry.description) {
    if (line == nullptr) continue;
    out << separator << escaped(line);
    separator = " ";
  }
  out << "\n\n";
}

void writeReference(std::ostream& out) {
  for (const kvt::cmd::ReferenceSection& section : kvt::cmd::CommandReferenceSections()) {
    out << "## " << heading(section.title) << "\n\n";
    for (const kvt::cmd::ReferenceEntry& entry : section.entries) writeEntry(out, entry);
  }
  out << "## " << heading(kvt::cmd::UserRegistersTitle()) << "\n\n";
  std::string_view separator;
  for (const char* line : kvt::cmd::UserRegisterLines()) {
    out << separator << escaped(line);
    separator = " ";
  }
  out << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "kvt-scf-reference: expected TEMPLATE and OUTPUT\n"
              << "Usage: kvt-scf-reference TEMPLATE.scd.in OUTPUT.scd\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "kvt-scf-reference: cannot read " << argv[1] << "\n";
    return 1;
  }
  std::ostringstream page;
  bool replaced = false;
  for (std::string line; std::getline(in, line);) {
    if (line == kMarker) {
      writeReference(page);
      replaced = true;
    } else {
      page << line << "\n";
    }
  }
  if (!replaced) {
    std::cerr << "kvt-scf-reference: " << argv[1] << " has no " << kMarker << " line\n";
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << page.str();
  out.flush();
  if (!out) {
    std::cerr << "kvt-scf-reference: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
