// kvt-cli card end to end: the built program against its built-in simulated chip and cards.
#include <gtest/gtest.h>

#include "cli_process.h"
#include "sim/card_image.h"
#include "sim/korvex_card.h"

namespace kvt::cli::test {
namespace {

using KvtCliCardTest = CliTest;

const std::string kActivated =
    "Request(0x26, 0x0400) --> Status: 0x0000\n"
    "Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000\n";

TEST_F(KvtCliCardTest, StepsRunInOrderAndPrintTheDialogsLog) {
  const CliResult result =
      cli(Words("--sim card activate block 5 auth b 000000000000 activate auth a write "
                "00112233445566778899AABBCCDDEEFF read halt request request wupa sam on"));
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, kActivated +
                            "Authentication KeyB(0x05, 0x000000000000) --> Status: 0x0201\n" +
                            kActivated +
                            "Authentication KeyA(0x05, 0x5A17C3E90B42) --> Status: 0x0000\n"
                            "Write(0x05, 0x00112233445566778899AABBCCDDEEFF) --> Status: 0x0000\n"
                            "Read(0x05, 0x00112233445566778899AABBCCDDEEFF) --> Status: 0x0000\n"
                            "Halt(0x50, 0x00) --> Status: 0x0000\n"
                            "Request(0x26, 0x0000) --> Status: 0x0001\n"
                            "Request(0x52, 0x0400) --> Status: 0x0000\n"
                            "Enabling SAM Mode\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(KvtCliCardTest, ChosenCardsAndTheEmptyField) {
  const CliResult seven = cli(Words("--sim --sim-card 045162738495A6 card activate"));
  EXPECT_EQ(seven.status, 0) << seven.err;
  EXPECT_EQ(seven.out,
            "Request(0x26, 0x4400) --> Status: 0x0000\n"
            "Anticollision/Select(0x93, 0x08, 0x045162738495A6) --> Status: 0x0000\n");

  const std::string emptyField =
      "Request(0x26, 0x0000) --> Status: 0x0001\n"
      "Anticollision/Select(0x93, 0x00, 0x00000000) --> Status: 0x0001\n";
  const CliResult empty = cli(Words("--sim --sim-empty card activate"));
  EXPECT_EQ(empty.status, 0) << "without --strict the log tells";
  EXPECT_EQ(empty.out, emptyField);
  // Under --strict the steps stop at the first failing one.
  const CliResult strict = cli(Words("--sim --sim-empty --strict card activate request halt"));
  EXPECT_EQ(strict.status, 1);
  EXPECT_EQ(strict.out, emptyField);
  EXPECT_EQ(strict.err,
            "kvt-cli: card step 1 failed (status 0001); the 2 later steps were skipped "
            "(--strict)\n");
  const CliResult nak =
      cli(Words("--sim --sim-nak-writes --strict card activate block 4 auth a writekl CAFEF00D"));
  EXPECT_EQ(nak.status, 1);
  EXPECT_NE(nak.out.find("WriteKL(0x04, 0xCAFEF00D) --> Status: 0x0203\n"), std::string::npos)
      << nak.out;
}

TEST_F(KvtCliCardTest, OpeningAt115200KeepsChipAndPcTogether) {
  const CliResult result = cli(Words("--sim --baud 115200 --strict card activate"));
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, kActivated);
  EXPECT_EQ(result.err, "");
}

TEST_F(KvtCliCardTest, TheLogFileKeepsTheCardLines) {
  ASSERT_EQ(cli(Words("--sim --log card.txt card request")).status, 0);
  EXPECT_EQ(readFile("card.txt"), "Request(0x26, 0x0400) --> Status: 0x0000\r\n");
}

TEST_F(KvtCliCardTest, MalformedStepsAreUsageErrors) {
  for (const char* steps : {"", "reqa", "auth a 5A17C3E90B4", "write 0011", "writekl CAFEF00D00",
                            "block 256", "sam", "dump", "dump a b c", "restore x 5A17C3E90B4"}) {
    const CliResult result = cli(Words(std::string("--sim card ") + steps));
    EXPECT_EQ(result.status, 2) << steps;
    EXPECT_EQ(result.out, "") << steps;
    EXPECT_EQ(result.err.rfind("kvt-cli: ", 0), 0u) << result.err;
  }
}

// A card copied to an image and from there onto another card: what the key opens comes over,
// the sector it does not open is zeros and its trailer is not written.
TEST_F(KvtCliCardTest, DumpOfOneSimulatedCardRestoredOntoAnother) {
  using sim::KorvexMemory;
  sim::KorvexCard source({0x11, 0x22, 0x33, 0x44});
  source.memory().setBlock(5, KorvexMemory::Block{0x55, 0x01, 0x02});
  source.memory().setBlock(62, KorvexMemory::encodeValue(-7, 62));
  source.memory().setKeys(2, {1, 2, 3, 4, 5, 6}, sim::KorvexCard::kDefaultKey);
  source.memory().setBlock(9, KorvexMemory::Block{0x99});
  const sim::KorvexCard blank({0xA1, 0xB2, 0xC3, 0xD4});
  std::string error;
  ASSERT_TRUE(sim::saveCardImage((folder / "source.mfd").string(), source.memory(), error));
  ASSERT_TRUE(sim::saveCardImage((folder / "blank.mfd").string(), blank.memory(), error));

  const CliResult dump = cli(Words("--sim --sim-card-file source.mfd --strict card dump copy.mfd"));
  EXPECT_EQ(dump.status, 1) << "four blocks could not be read";
  EXPECT_NE(dump.out.find("Authentication KeyA(0x0B, 0x5A17C3E90B42) --> Status: 0x0201\n"
                          "Block 0x08 not read: zeros in the image\n"
                          "Block 0x09 not read: zeros in the image\n"
                          "Block 0x0A not read: zeros in the image\n"
                          "Block 0x0B not read: zeros in the image\n" +
                          kActivated.substr(0, kActivated.find('\n') + 1)),
            std::string::npos)
      << dump.out;
  EXPECT_NE(dump.out.find("Card image copy.mfd: 60 of 64 blocks read\n"), std::string::npos);
  std::string expected = readFile("source.mfd");
  std::fill_n(expected.begin() + 8 * 16, 4 * 16, '\0');
  EXPECT_EQ(readFile("copy.mfd"), expected);

  const CliResult restore =
      cli(Words("--sim --sim-card-file blank.mfd --sim-save card restore copy.mfd --trailers"));
  EXPECT_EQ(restore.status, 0) << restore.err;
  EXPECT_NE(restore.out.find("Block 0x0B not written: its access bits would block the sector\n"
                             "Authentication KeyA(0x0F, "),
            std::string::npos)
      << restore.out;
  EXPECT_NE(restore.out.find("Card image copy.mfd: 62 blocks written\n"), std::string::npos);
  const auto blankBytes = sim::cardImageBytes(blank.memory());
  const std::string blankBefore(blankBytes.begin(), blankBytes.end());
  std::copy_n(blankBefore.begin(), 16, expected.begin());                      // block 0 stays
  std::copy_n(blankBefore.begin() + 11 * 16, 16, expected.begin() + 11 * 16);  // and this trailer
  EXPECT_EQ(readFile("blank.mfd"), expected);
}

}  // namespace
}  // namespace kvt::cli::test
