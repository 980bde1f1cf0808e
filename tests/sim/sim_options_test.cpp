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

TEST(SimOptions, DefaultsAndEachOptionMixedWithTheFieldOptions) {
  Parsed parsed = parse({});
  ASSERT_TRUE(parsed.ok);
  EXPECT_FALSE(parsed.options.help);
  EXPECT_TRUE(parsed.options.link.empty());
  EXPECT_EQ(parsed.options.version, 0x28);
  EXPECT_FALSE(parsed.options.testChip);
  EXPECT_TRUE(parsed.options.field.cards.empty());

  parsed = parse({"--sim-card", "11223344", "--link", "/tmp/kv380", "--version-reg", "b1",
                  "--sim-nak-writes", "--test-chip", "--sim-card=045162738495A6"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.link, "/tmp/kv380");
  EXPECT_EQ(parsed.options.version, 0xB1);
  EXPECT_TRUE(parsed.options.testChip);
  ASSERT_EQ(parsed.options.field.cards.size(), 2u);
  EXPECT_TRUE(parsed.options.field.cards[0].faults.nakWrites);
  parsed = parse({"--link=/tmp/x", "--version-reg=0x3F"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.options.link, "/tmp/x");
  EXPECT_EQ(parsed.options.version, 0x3F);
  EXPECT_TRUE(parse({"--help"}).options.help);
  EXPECT_TRUE(parse({"-h"}).options.help);
  EXPECT_TRUE(parse({"--version"}).options.showVersion);

  parsed = parse({"--line-silent-after", "0", "--line-wrong-echo", "--line-drop-every=7",
                  "--line-late", "60000", "--line-noise", "1", "--line-close-after", "9"});
  ASSERT_TRUE(parsed.ok) << parsed.error;
  const LineFaultOptions& line = parsed.options.line;
  EXPECT_EQ(line.silentAfter, 0u);
  EXPECT_TRUE(line.wrongEcho);
  EXPECT_EQ(line.dropEvery, 7u);
  EXPECT_EQ(line.lateMs, 60000u);
  EXPECT_EQ(line.noiseMs, 1u);
  EXPECT_EQ(line.closeAfter, 9u);
  EXPECT_FALSE(parse({}).options.line.silentAfter.has_value());
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
      {"extra"},
      {"--line-drop-every", "0"},
      {"--line-late", "60001"},
      {"--line-noise", "-5"},
      {"--line-close-after", "0"},
      {"--line-silent-after", "12345678901"},
      {"--line-wrong-echo=1"},
  };
  for (const auto& args : bad) {
    const Parsed parsed = parse(args);
    EXPECT_FALSE(parsed.ok) << args[0];
    EXPECT_FALSE(parsed.error.empty()) << args[0];
  }
  const std::pair<std::vector<const char*>, const char*> messages[] = {
      {{"--sim-cards", "11223344"}, "unknown option '--sim-cards'"},
      {{"--sim-card", "12345"},
       "--sim-card: UID \"12345\" has 5 digits; give 8, 14 or 20 hex digits (a 4-, 7- or "
       "10-byte UID)"},
      {{"--sim-card", "11223344", "--sim-empty"},
       "--sim-empty leaves no card for --sim-card, --sim-card-file or a fault option"},
      {{"--line-late", "0"}, "option --line-late needs milliseconds from 1 to 60000, not '0'"},
  };
  for (const auto& [args, message] : messages) EXPECT_EQ(parse(args).error, message);
}

TEST(SimOptions, HelpDocumentsEveryOption) {
  const std::string usage = simUsage();
  for (const char* option :
       {"--link PATH", "--version-reg HEX", "--test-chip", "--help", "--sim-card UID",
        "--sim-empty", "--sim-wrong-bcc", "--sim-nak-writes", "--sim-ack-value",
        "--sim-leave-after N", "--line-silent-after N", "--line-wrong-echo", "--line-drop-every N",
        "--line-late MS", "--line-noise MS", "--line-close-after N"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
}

}  // namespace
}  // namespace kvt::sim
