#include "sim/sim_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kvt::sim {
namespace {

struct Parsed {
  bool ok;
  SimOptions options;
  std::string error;
};

Parsed parse(std::vector<const char*> args) {
  args.insert(args.begin(), "kvt-sim");
  Parsed result;
  result.ok =
      parseSimOptions(static_cast<int>(args.size()), args.data(), result.options, result.error);
  return result;
}

TEST(SimOptions, DefaultsAreAPlainChipWithVersion28) {
  const Parsed parsed = parse({});
  ASSERT_TRUE(parsed.ok);
  EXPECT_FALSE(parsed.options.help);
  EXPECT_TRUE(parsed.options.link.empty());
  EXPECT_EQ(parsed.options.version, 0x28);
  EXPECT_FALSE(parsed.options.testChip);
}

TEST(SimOptions, EachOptionIsRead) {
  Parsed parsed = parse({"--link", "/tmp/kv380", "--version-reg", "b1", "--test-chip"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.link, "/tmp/kv380");
  EXPECT_EQ(parsed.options.version, 0xB1);
  EXPECT_TRUE(parsed.options.testChip);
  parsed = parse({"--link=/tmp/x", "--version-reg=0x3F"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.link, "/tmp/x");
  EXPECT_EQ(parsed.options.version, 0x3F);
  EXPECT_TRUE(parse({"--help"}).options.help);
  EXPECT_TRUE(parse({"-h"}).options.help);
}

TEST(SimOptions, BadInputIsRefusedWithAMessage) {
  const std::vector<std::vector<const char*>> bad = {
      {"--link"},
      {"--link="},
      {"--version-reg"},
      {"--version-reg", "100"},
      {"--version-reg", "zz"},
      {"--version-reg", ""},
      {"--version-reg=0x"},
      {"--test-chip=1"},
      {"--frobnicate"},
      {"extra"},
  };
  for (const auto& args : bad) {
    const Parsed parsed = parse(args);
    EXPECT_FALSE(parsed.ok) << args[0];
    EXPECT_FALSE(parsed.error.empty()) << args[0];
  }
  EXPECT_NE(parse({"--frobnicate"}).error.find("--frobnicate"), std::string::npos);
}

TEST(SimOptions, HelpDocumentsEveryOption) {
  const std::string usage = simUsage();
  for (const char* option : {"--link PATH", "--version-reg HEX", "--test-chip", "--help"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace kvt::sim
