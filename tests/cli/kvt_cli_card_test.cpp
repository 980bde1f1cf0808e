// kvt-cli card end to end: the built program against its built-in simulated chip and cards.
#include <gtest/gtest.h>

#include "cli_process.h"

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
  for (const char* steps :
       {"", "reqa", "auth a 5A17C3E90B4", "write 0011", "writekl CAFEF00D00", "block 256", "sam"}) {
    const CliResult result = cli(Words(std::string("--sim card ") + steps));
    EXPECT_EQ(result.status, 2) << steps;
    EXPECT_EQ(result.out, "") << steps;
    EXPECT_EQ(result.err.rfind("kvt-cli: ", 0), 0u) << result.err;
  }
}

}  // namespace
}  // namespace kvt::cli::test
