#include "cmd/command_reference.h"

#include <cctype>
#include <string_view>

#include "app/log.h"
#include "cmd/command_reference_text.h"

namespace kvt::cmd {

namespace {

// A blank line of the reference holds one space.
constexpr const char* kBlank = " ";

void printEntry(const app::DialogContext& context, const ReferenceEntry& entry) {
  app::AppendLog(context, entry.command, true);
  app::AppendLog(context, entry.synopsis, true);
  app::AppendLog(context, "Description:", true);
  for (const char* line : entry.description) {
    if (line != nullptr) app::AppendLog(context, line, true);
  }
}

void printSection(const app::DialogContext& context, const ReferenceSection& section) {
  app::AppendLog(context, section.title, true);
  app::AppendLog(context, kBlank, true);
  for (const ReferenceEntry& entry : section.entries) {
    printEntry(context, entry);
    app::AppendLog(context, kBlank, true);
  }
}

// The name an entry documents: its "Command:" line without the label.
std::string_view entryName(const ReferenceEntry& entry) {
  std::string_view name = entry.command;
  name.remove_prefix(std::string_view("Command:  ").size());
  return name;
}

bool sameName(std::string_view name, std::string_view wanted) {
  if (name.size() != wanted.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(wanted[i])) != name[i]) return false;
  }
  return true;
}

}  // namespace

bool PrintCommandEntry(const app::DialogContext& context, std::string_view command) {
  for (const ReferenceSection& section : CommandReferenceSections()) {
    for (const ReferenceEntry& entry : section.entries) {
      if (!sameName(entryName(entry), command)) continue;
      printEntry(context, entry);
      return true;
    }
  }
  return false;
}

std::vector<std::string> CommandNames() {
  std::vector<std::string> names;
  for (const ReferenceSection& section : CommandReferenceSections()) {
    for (const ReferenceEntry& entry : section.entries) names.emplace_back(entryName(entry));
  }
  return names;
}

void PrintCommandReference(const app::DialogContext& context) {
  app::ClearLog(context);
  for (const ReferenceSection& section : CommandReferenceSections()) {
    printSection(context, section);
    app::AppendLog(context, kBlank, true);
  }
  app::AppendLog(context, UserRegistersTitle(), true);
  app::AppendLog(context, kBlank, true);
  for (const char* line : UserRegisterLines()) app::AppendLog(context, line, true);
  app::AppendLog(context, "_", true);
}

}  // namespace kvt::cmd
