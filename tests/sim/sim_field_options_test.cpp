// The field options of kvt-sim, read together with its other options.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_options.h"

namespace kvt::sim {
namespace {

bool parse(std::vector<const char*> args, SimOptions& options, std::string& error) {
  args.insert(args.begin(), "kvt-sim");
  return parseSimOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(SimFieldOptions, CardsAndFaultsMixWithTheOtherOptions) {
  SimOptions options;
  std::string error;
  ASSERT_TRUE(parse({"--sim-card", "11223344", "--test-chip", "--sim-nak-writes",
                     "--sim-card=045162738495A6", "--link", "/tmp/x"},
                    options, error))
      << error;
  EXPECT_TRUE(options.testChip);
  EXPECT_EQ(options.link, "/tmp/x");
  ASSERT_EQ(options.field.cards.size(), 2u);
  EXPECT_TRUE(options.field.cards[0].faults.nakWrites);
  EXPECT_FALSE(options.field.cards[1].faults.nakWrites);
  RfField field;
  applyFieldSetup(options.field, field);
  EXPECT_EQ(field.size(), 2u);
}

TEST(SimFieldOptions, BadFieldOptionsGiveTheirReason) {
  SimOptions options;
  std::string error;
  EXPECT_FALSE(parse({"--sim-card", "12345"}, options, error));
  EXPECT_EQ(error,
            "--sim-card: UID \"12345\" has 5 digits; give 8, 14 or 20 hex digits (a 4-, 7- or "
            "10-byte UID)");
  SimOptions both;
  EXPECT_FALSE(parse({"--sim-card", "11223344", "--sim-empty"}, both, error));
  EXPECT_EQ(error, "--sim-empty leaves no card for --sim-card or a fault option");
  SimOptions unknown;
  EXPECT_FALSE(parse({"--sim-cards", "11223344"}, unknown, error));
  EXPECT_EQ(error, "unknown option '--sim-cards' (see --help)");
  EXPECT_NE(simUsage().find("--sim-card UID"), std::string::npos);
  EXPECT_NE(simUsage().find("--sim-leave-after N"), std::string::npos);
}

}  // namespace
}  // namespace kvt::sim
