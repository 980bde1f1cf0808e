#pragma once

#include <span>

// The text of the command reference, apart from the log that shows it, so that the manual page
// of the command language is made from the same lines (doc/scf_reference_main.cpp).
namespace kvt::cmd {

struct ReferenceEntry {
  const char* command;         // "Command:  SR"
  const char* synopsis;        // "Synopsis: SR <address> <data>"
  const char* description[4];  // unused lines stay null
};

struct ReferenceSection {
  const char* title;  // "S A R V E L   C O M M A N D S :"
  std::span<const ReferenceEntry> entries;
};

// The chip's commands, then the application's commands.
std::span<const ReferenceSection> CommandReferenceSections();

// The title and the lines that describe the user registers.
const char* UserRegistersTitle();
std::span<const char* const> UserRegisterLines();

}  // namespace kvt::cmd
