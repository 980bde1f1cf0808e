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

// UIDs and malformed options with their messages are cases of tests/chip/ops/field_options.txt.
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
