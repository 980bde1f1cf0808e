#include "sim/field_setup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "air_helpers.h"
#include "sim/leaving_target.h"
#include "support/files.h"

namespace kvt::sim {
namespace {

using test::Bytes;
using test::hex;
using Args = std::vector<std::string>;

// Parses all of `args` as field options; returns the first error, or "" when all were taken.
std::string parseAll(FieldSetup& spec, const Args& args) {
  for (size_t i = 0; i < args.size();) {
    auto r = parseFieldOption(spec, args, i);
    if (!r.error.empty()) return r.error;
    if (r.consumed == 0) return "not a field option: " + args[i];
    i += r.consumed;
  }
  return checkFieldSetup(spec);
}

std::string digitsError(const std::string& uid) {
  return "UID \"" + uid + "\" has " + std::to_string(uid.size()) +
         " digits; give 8, 14 or 20 hex digits (a 4-, 7- or 10-byte UID)";
}

TEST(FieldSetupTest, UidsOfEachSizeAndBadUidsWithTheReason) {
  std::string error;
  EXPECT_EQ(parseUid("c43b9e12", &error), (Bytes{0xC4, 0x3B, 0x9E, 0x12}));
  EXPECT_EQ(parseUid("045162738495A6", &error), (Bytes{0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6}));
  EXPECT_EQ(parseUid("0411223344556677AA99", &error)->size(), 10u);
  const std::pair<std::string, std::string> cases[] = {
      {"", digitsError("")},
      {"1234567", digitsError("1234567")},
      {"123456789", digitsError("123456789")},
      {"1234567G", "UID \"1234567G\" is not hexadecimal"},
      {"0x123456", "UID \"0x123456\" is not hexadecimal"},
      {"11:22:33:44", "UID \"11:22:33:44\" is not hexadecimal"},
      {"88112233", "UID \"88112233\": byte 1 may not be 88, the cascade tag"},
      {"04112288445566", "UID \"04112288445566\": byte 4 may not be 88, the cascade tag"},
  };
  for (const auto& [text, message] : cases) {
    EXPECT_FALSE(parseUid(text, &error)) << text;
    EXPECT_EQ(error, message);
  }
}

TEST(FieldSetupTest, DefaultCardHasTheDefaultKeysInEveryTrailer) {
  RfField field;
  applyFieldSetup(FieldSetup{}, field);
  ASSERT_EQ(field.size(), 1u);
  auto card = std::dynamic_pointer_cast<KorvexCard>(field.targets()[0]);
  ASSERT_TRUE(card);
  const KorvexCard::Key key{0x5A, 0x17, 0xC3, 0xE9, 0x0B, 0x42};
  for (int sector = 0; sector < 16; ++sector) {
    EXPECT_EQ(card->memory().keyA(sector), key);
    EXPECT_EQ(card->memory().keyB(sector), key);
  }
}

TEST(FieldSetupTest, RepeatedCardsEmptyFieldAndFaults) {
  FieldSetup spec;
  ASSERT_EQ(
      parseAll(spec, {"--sim-card", "11223344", "--sim-nak-writes", "--sim-card=045162738495A6",
                      "--sim-wrong-bcc", "--sim-leave-after", "3"}),
      "");
  ASSERT_EQ(spec.cards.size(), 2u);
  EXPECT_TRUE(spec.cards[0].faults.nakWrites);
  EXPECT_FALSE(spec.cards[1].faults.nakWrites);
  RfField field;
  applyFieldSetup(spec, field);
  ASSERT_EQ(field.size(), 2u);
  auto first = std::dynamic_pointer_cast<KorvexCard>(field.targets()[0]);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->uid(), hex("11 22 33 44"));
  // The second card sends a wrong check byte and leaves after three frames.
  auto leaving = std::dynamic_pointer_cast<LeavingTarget>(field.targets()[1]);
  ASSERT_TRUE(leaving);
  auto second = std::dynamic_pointer_cast<KorvexCard>(leaving->target());
  ASSERT_TRUE(second);
  EXPECT_EQ(second->uid(), hex("04 51 62 73 84 95 A6"));
  EXPECT_TRUE(leaving->receive(test::reqa()));
  auto level1 = leaving->receive(test::anticollisionFrame(0x93, second->levelSerial(0), 0));
  ASSERT_TRUE(level1);
  EXPECT_NE(level1->bytes[4], chip::bcc(level1->bytes.data()));
  EXPECT_TRUE(leaving->receive(test::reqa()));
  EXPECT_FALSE(leaving->present());
  EXPECT_FALSE(leaving->receive(test::reqa()));

  FieldSetup empty;
  ASSERT_EQ(parseAll(empty, {"--sim-empty"}), "");
  applyFieldSetup(empty, field);
  EXPECT_EQ(field.size(), 0u);

  FieldSetup defaultCardLeaves;  // faults before any card go to the default card
  ASSERT_EQ(parseAll(defaultCardLeaves, {"--sim-leave-after=1"}), "");
  applyFieldSetup(defaultCardLeaves, field);
  ASSERT_EQ(field.size(), 1u);
  EXPECT_TRUE(field.targets()[0]->receive(test::reqa()));
  EXPECT_FALSE(field.targets()[0]->receive(test::reqa()));
}

TEST(FieldSetupTest, MalformedOptionsAndCombinations) {
  const std::pair<Args, std::string> cases[] = {
      {{"--sim-card"}, "--sim-card needs a UID (8, 14 or 20 hex digits)"},
      {{"--sim-card", "123"}, "--sim-card: " + digitsError("123")},
      {{"--sim-card", "11223344", "--sim-card", "11223344"},
       "--sim-card: UID \"11223344\" given twice"},
      {{"--sim-empty=1"}, "--sim-empty takes no value"},
      {{"--sim-leave-after"}, "--sim-leave-after needs a number of frames"},
      {{"--sim-leave-after", "0"},
       "--sim-leave-after: \"0\" is not a number of frames from 1 to 1000000"},
      {{"--sim-leave-after", "5x"},
       "--sim-leave-after: \"5x\" is not a number of frames from 1 to 1000000"},
      {{"--sim-empty", "--sim-card", "11223344"},
       "--sim-empty leaves no card for --sim-card, --sim-card-file or a fault option"},
      {{"--sim-nak-writes", "--sim-card", "11223344"},
       "a fault option applies to the --sim-card before it; give it after that option"},
  };
  for (const auto& [args, message] : cases) {
    FieldSetup spec;
    EXPECT_EQ(parseAll(spec, args), message) << args[0];
  }
  FieldSetup spec;
  const Args other{"--port", "sim"};
  EXPECT_EQ(parseFieldOption(spec, other, 0).consumed, 0);
  EXPECT_EQ(parseFieldOption(spec, other, 0).error, "");
}

// Image cards are read with their option and written back only by saveImageCards.
TEST(FieldSetupTest, ImageCardsComeFromTheirFilesAndGoBackToThem) {
  const kvt::test::TempFolder folder;
  const std::string file = (folder / "card.mfd").string();
  KorvexCard original({0x11, 0x22, 0x33, 0x44});
  original.memory().setBlock(4, KorvexMemory::Block{0xAB});
  std::string error;
  ASSERT_TRUE(saveCardImage(file, original.memory(), error)) << error;

  FieldSetup setup;
  ASSERT_EQ(parseAll(setup, {"--sim-card-file", file, "--sim-nak-writes", "--sim-save"}), "");
  EXPECT_EQ(parseAll(setup, {"--sim-card", "11223344"}),
            "--sim-card: UID \"11223344\" given twice");
  RfField field;
  const auto imageCards = applyFieldSetup(setup, field);
  ASSERT_EQ(imageCards.size(), 1u);
  ASSERT_EQ(field.size(), 1u);
  EXPECT_EQ(field.targets()[0], imageCards[0].card);
  EXPECT_EQ(imageCards[0].card->uid(), hex("11 22 33 44"));
  EXPECT_EQ(imageCards[0].card->memory().block(4)[0], 0xAB);
  imageCards[0].card->memory().setBlock(5, KorvexMemory::Block{0xCD});
  EXPECT_EQ(loadCardImage(file, error)->memory.block(5)[0], 0x00);  // not saved yet
  EXPECT_TRUE(saveImageCards(imageCards).empty());
  EXPECT_EQ(loadCardImage(file, error)->memory.block(5)[0], 0xCD);

  std::filesystem::remove_all(folder.path);
  EXPECT_EQ(saveImageCards(imageCards),
            std::vector<std::string>{
                file + ": the card image could not be written; the file is as it was"});
  FieldSetup missing;
  EXPECT_EQ(parseAll(missing, {"--sim-card-file=" + file}),
            "--sim-card-file: " + file + ": cannot be read: No such file or directory");
  FieldSetup nothingToSave;
  EXPECT_EQ(parseAll(nothingToSave, {"--sim-card", "11223344", "--sim-save"}),
            "--sim-save saves the cards of --sim-card-file; give one");
}

}  // namespace
}  // namespace kvt::sim
