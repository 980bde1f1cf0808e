#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// The start-up file and the command line: which port the last run used, and the "-pi" switch.
namespace kvt::app {

constexpr const char* kStartFileName = "kvt_start.cfg";

// `directory` joined with kStartFileName by the platform's separator.
std::string StartFilePath(const std::filesystem::path& directory);

// The port index from the first byte of the start-up file: '0'..'7' give 0..7, any other byte
// (a letter, a blank, a line end, or none in an empty file) gives 7; a file that cannot be
// opened gives 0.
uint8_t ReadPortIndex(const std::string& startFilePath);

// Writes `portIndex` as the file's port digit and changes nothing else: a leading digit is
// replaced; otherwise a line with the digit is put in front of the content (the INI sections
// the TestLog settings and the port map keep there stay as they are). A missing file is
// created holding the digit alone. The file is replaced as a whole (platform::ReplaceFile), so a
// crash leaves either the old or the new file, with its permissions. False when it cannot write.
bool WritePortIndex(const std::string& startFilePath, uint8_t portIndex);

// True when the command line holds the token "-pi" (exact case); tokens are separated by
// blanks, commas, tabs and line feeds.
bool HasPiSwitch(std::string_view commandLine);
// The program's arguments after its name, joined by blanks, as one command line.
std::string JoinArguments(int argc, const char* const* argv);

}  // namespace kvt::app
