// Runs the table tests/testlog/expansion_cases.tsv (its head says how it reads).
#include "testlog/template_expansion.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/files.h"

namespace kvt::testlog {
namespace {

// The tab-separated fields of `line`, with \r\n and \n escapes undone.
std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) {
    for (auto [code, text] : {std::pair{"\\r\\n", "\r\n"}, {"\\n", "\n"}}) {
      for (std::size_t at = 0; (at = field.find(code, at)) != std::string::npos; ++at) {
        field.replace(at, std::string(code).size(), text);
      }
    }
    fields.push_back(field);
  }
  return fields;
}

TEST(TemplateExpansion, TheCasesOfTheTable) {
  std::istringstream table(test::ReadFile(KVT_SOURCE_DIR "/tests/testlog/expansion_cases.tsv"));
  int cases = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    const auto f = Fields(line);
    ++cases;
    if (f[0] == "markers" && f.size() == 9) {
      std::string text = f[2];
      SubstituteBitMarkers(f[1] == "ATP" ? kFormatATP : kFormatATF, text, f[3][0],
                           std::stoi(f[4], nullptr, 16), f[5] == "1", std::stoi(f[6], nullptr, 16));
      EXPECT_EQ(text, f[7]) << line;
    } else if (f[0] == "codes" && f.size() == 6) {
      TestLogSettings settings;
      settings.outputFormat = kFormatATF;
      settings.vectorNumber = 5;
      std::string text = f[1];
      ExpandPlaceholders(settings, text, f[2], f[3], nullptr);
      EXPECT_EQ(text, f[4]) << line;
      EXPECT_EQ(settings.vectorNumber, 5u) << line;
    } else {
      ADD_FAILURE() << "malformed: " << line;
    }
  }
  EXPECT_EQ(cases, 26);
}

}  // namespace
}  // namespace kvt::testlog
