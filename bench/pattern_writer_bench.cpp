// The pattern writers alone: the text of N I2C register writes built in memory, one access at a
// time, by today's writers and by the printf-based ones they replaced. Both must give the same
// bytes.
// Usage: kvt-pattern-bench [N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pattern_text_before.h"
#include "testlog/atf_generator.h"
#include "testlog/atp_generator.h"
#include "testlog/pattern_hooks.h"

namespace {

using kvt::testlog::TestLogSettings;
using Writer = std::string (*)(TestLogSettings&, uint8_t, uint8_t, std::string_view);

TestLogSettings freshSettings() {
  TestLogSettings settings;
  settings.i2cAddress = 0x51;
  settings.vectorNumber = 1;
  return settings;
}

// Seconds to build the text of `count` writes, one access at a time as the writer hook does;
// the median of five rounds.
double timeWriter(Writer writer, long count) {
  std::vector<double> rounds;
  for (int round = 0; round < 5; ++round) {
    TestLogSettings settings = freshSettings();
    size_t bytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < count; ++i) {
      const auto address = static_cast<uint8_t>(i & 0x3F), data = static_cast<uint8_t>(i);
      bytes += writer(settings, address, data, kvt::testlog::WriteComment(address, data)).size();
    }
    rounds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    if (bytes == 0) std::puts("no text");  // keeps the loop from being optimised away
  }
  std::sort(rounds.begin(), rounds.end());
  return rounds[rounds.size() / 2];
}

// True when both writers give the same bytes for every address and data pair.
bool sameText(Writer before, Writer after) {
  TestLogSettings a = freshSettings(), b = freshSettings();
  for (int i = 0; i < 0x4000; ++i) {
    const auto address = static_cast<uint8_t>(i >> 8 & 0x3F), data = static_cast<uint8_t>(i);
    const std::string comment = kvt::testlog::WriteComment(address, data);
    if (before(a, address, data, comment) != after(b, address, data, comment)) return false;
  }
  return true;
}

bool compare(const char* name, Writer before, Writer after, long count) {
  const double beforeSeconds = timeWriter(before, count);
  const double afterSeconds = timeWriter(after, count);
  const bool same = sameText(before, after);
  std::printf("| %-30s | %9.0f k/s | %9.0f k/s | %5.1fx | %s |\n", name,
              count / beforeSeconds / 1e3, count / afterSeconds / 1e3, beforeSeconds / afterSeconds,
              same ? "same bytes" : "DIFFER");
  return same;
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 20000;
  std::printf("| %-30s | %13s | %13s | %6s | %-10s |\n", "writer, accesses built in memory",
              "before", "after", "ratio", "output");
  std::printf(
      "|--------------------------------|---------------|---------------|--------|"
      "------------|\n");
  namespace before = kvt::bench::before;
  bool same =
      compare(".atf I2C register write", before::atf::I2cWrite, kvt::testlog::atf::I2cWrite, count);
  same &= compare(
      ".atp I2C register write",
      [](TestLogSettings& s, uint8_t a, uint8_t d, std::string_view c) {
        return before::atp::I2cWrite(s, a, d, c);
      },
      [](TestLogSettings& s, uint8_t a, uint8_t d, std::string_view c) {
        return kvt::testlog::atp::I2cWrite(s, a, d, c);
      },
      count);
  return same ? 0 : 1;
}
