#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace kvt::cli {
namespace {

using Args = std::vector<std::string>;

CliOptions parse(const Args& args) {
  CliOptions options;
  std::string error;
  EXPECT_TRUE(ParseCliOptions(args, options, error)) << error;
  return options;
}

std::string failure(const Args& args) {
  CliOptions options;
  std::string error;
  EXPECT_FALSE(ParseCliOptions(args, options, error));
  return error;
}

TEST(CliOptions, OptionsStandBeforeAndAfterTheCommand) {
  const CliOptions options = parse({"--port", "COM3", "exec", "GR 37", "--strict", "SR 01 00",
                                    "--log=out.txt", "--baud", "115200"});
  EXPECT_EQ(options.command, "exec");
  EXPECT_EQ(options.arguments, (Args{"GR 37", "SR 01 00"}));
  EXPECT_EQ(options.port, "COM3");
  EXPECT_TRUE(options.strict);
  EXPECT_EQ(options.logFile, "out.txt");
  EXPECT_EQ(options.baud, 115200u);
  EXPECT_EQ(options.config, "kvt_start.cfg");
  EXPECT_FALSE(options.configGiven);
}

TEST(CliOptions, DoubleDashEndsTheOptions) {
  const CliOptions options = parse({"--sim", "exec", "--", "--strict", "-x"});
  EXPECT_EQ(options.port, "sim");
  EXPECT_FALSE(options.strict);
  EXPECT_EQ(options.arguments, (Args{"--strict", "-x"}));
}

TEST(CliOptions, SimulatedCardsAreCollectedInOrder) {
  const CliOptions options =
      parse({"--sim", "--sim-card", "01020304", "--sim-card=0A0B0C0D0E0F10", "dump"});
  ASSERT_EQ(options.field.cards.size(), 2u);
  EXPECT_EQ(options.field.cards[0].uid, (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(options.field.cards[1].uid.size(), 7u);
  EXPECT_EQ(options.command, "dump");
}

TEST(CliOptions, MalformedOptionsAreNamed) {
  EXPECT_EQ(failure({"--baud", "57600"}), "option --baud takes 9600 or 115200, not '57600'");
  EXPECT_EQ(failure({"dump", "--port"}), "option --port needs a value");
  EXPECT_EQ(failure({"--config="}), "option --config needs a value");
  EXPECT_EQ(failure({"--help=1"}), "option --help takes no value");
  EXPECT_EQ(failure({"--colour"}), "unknown option --colour");
  EXPECT_FALSE(failure({"--sim-card", "XYZ"}).empty());
  // Cards and faults exist only on the simulated chip.
  EXPECT_EQ(failure({"--sim-card", "01020304", "dump"}), "option --sim-card needs --sim");
  EXPECT_EQ(failure({"--port", "COM2", "--sim-nak-writes", "dump"}),
            "option --sim-nak-writes needs --sim");
}

}  // namespace
}  // namespace kvt::cli
