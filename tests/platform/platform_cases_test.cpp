// Paths, hex text, port names and start-up file reads and writes as one table:
// tests/platform/cases.txt holds each call with what it gives.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/com_ports.h"
#include "platform/hex_text.h"
#include "platform/path_parts.h"
#include "platform/port_name.h"
#include "platform/profile.h"
#include "start_file_fixture.h"

namespace kvt::platform {
namespace {

namespace fs = std::filesystem;

// Start-up file text as the table writes it: \r and \n stand for CR and LF.
std::string Escaped(const std::string& text) {
  std::string marked;
  for (char c : text) marked += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
  return marked;
}
std::string Unescaped(std::string text) {
  for (size_t at; (at = text.find("\\r")) != std::string::npos;) text.replace(at, 2, "\r");
  for (size_t at; (at = text.find("\\n")) != std::string::npos;) text.replace(at, 2, "\n");
  return text;
}

class PlatformCasesTest : public test::StartFileTest {
 protected:
  // What `call` with `args` gives, as the table writes it.
  std::string give(const std::string& call, const std::vector<std::string>& a) {
    if (call == "split") {
      const PathParts p = SplitPath(a[0]);
      const std::string back = JoinPath(p) == a[0] ? "" : " (joins as " + JoinPath(p) + ")";
      return p.drive + "|" + p.directory + "|" + p.name + "|" + p.extension + back;
    }
    if (call == "hex") {
      uint8_t bytes[3] = {0xAB, 0xAB, 0xAB};
      HexTextToBytes(a[0], bytes);
      char text[9];
      snprintf(text, sizeof text, "%02X %02X %02X", bytes[0], bytes[1], bytes[2]);
      return text;
    }
    if (call == "port" || call == "loose") {
      return std::to_string(
          PortNameIndex(a[0], call == "port" ? PortNameSpelling::Exact : PortNameSpelling::Loose));
    }
    if (call == "file") {
      fs::remove(file_);
      if (a[0] != "-") put(Unescaped(a[0]));
      return "";
    }
    if (call == "content") return fs::exists(file_) ? Escaped(content()) : "-";
    if (call == "device") return deviceForPort(std::stoi(a[0]), file_);
    if (call == "get") return GetPrivateProfileString(a[0], a[1], a[2], file_);
    if (call == "int")
      return std::to_string(GetPrivateProfileInt(a[0], a[1], std::stoi(a[2]), file_));
    if (call == "write" || call == "remove") {
      const std::optional<std::string> value =
          call == "write" ? std::optional(Unescaped(a[2])) : std::nullopt;
      return WritePrivateProfileString(a[0], a[1], value, file_) ? "ok" : "refused";
    }
    ADD_FAILURE() << "unknown call " << call;
    return "";
  }
};

// A line is "CALL ARG|ARG|... => WHAT IT GIVES" ("file TEXT" only sets the start-up file).
TEST_F(PlatformCasesTest, AsTheTableSays) {
  std::istringstream table(
      kvt::test::ReadFile(fs::path(KVT_SOURCE_DIR) / "tests/platform/cases.txt"));
  int cases = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t arrow = line.find(" =>");
    const std::string call = line.substr(0, line.find(' '));
    std::vector<std::string> args;
    std::string rest = line.substr(call.size(), arrow - call.size());
    std::istringstream fields(rest.empty() ? rest : rest.substr(1));
    for (std::string field; std::getline(fields, field, '|');) args.push_back(field);
    args.resize(std::max<size_t>(args.size(), 3));
    const std::string given = give(call, args);
    if (arrow != std::string::npos) {
      EXPECT_EQ(given, line.substr(std::min(line.size(), arrow + 4))) << line;
      ++cases;
    }
  }
  EXPECT_GT(cases, 80);
}

}  // namespace
}  // namespace kvt::platform
