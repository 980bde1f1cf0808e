#include "sim/field_setup.h"

#include <gtest/gtest.h>

#include "air_helpers.h"
#include "sim/leaving_target.h"

namespace kvt::sim {
namespace {

using Bytes = std::vector<uint8_t>;
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

TEST(FieldSetupTest, UidsOfEachSizeInEitherCase) {
  std::string error;
  EXPECT_EQ(parseUid("c43b9e12", &error), (Bytes{0xC4, 0x3B, 0x9E, 0x12}));
  EXPECT_EQ(parseUid("045162738495A6", &error), (Bytes{0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6}));
  EXPECT_EQ(parseUid("0411223344556677AA99", &error)->size(), 10u);
}

TEST(FieldSetupTest, BadUidsAreRejectedWithTheReason) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "UID \"\" has 0 digits; give 8, 14 or 20 hex digits (a 4-, 7- or 10-byte UID)"},
      {"1234567",
       "UID \"1234567\" has 7 digits; give 8, 14 or 20 hex digits (a 4-, 7- or "
       "10-byte UID)"},
      {"123456789",
       "UID \"123456789\" has 9 digits; give 8, 14 or 20 hex digits (a 4-, 7- or "
       "10-byte UID)"},
      {"1234567G", "UID \"1234567G\" is not hexadecimal"},
      {"0x123456", "UID \"0x123456\" is not hexadecimal"},
      {"11:22:33:44", "UID \"11:22:33:44\" is not hexadecimal"},
      {"88112233", "UID \"88112233\": byte 1 may not be 88, the cascade tag"},
      {"04112288445566", "UID \"04112288445566\": byte 4 may not be 88, the cascade tag"},
  };
  for (auto [text, message] : cases) {
    std::string error;
    EXPECT_FALSE(parseUid(text, &error)) << text;
    EXPECT_EQ(error, message);
  }
}

TEST(FieldSetupTest, DefaultFieldHoldsOneKorvexCard) {
  FieldSetup spec;
  ASSERT_EQ(parseAll(spec, {}), "");
  RfField field;
  applyFieldSetup(spec, field);
  ASSERT_EQ(field.size(), 1u);
  auto card = std::dynamic_pointer_cast<KorvexCard>(field.targets()[0]);
  ASSERT_TRUE(card);
  EXPECT_EQ(card->uid(), (Bytes{0xC4, 0x3B, 0x9E, 0x12}));
  EXPECT_EQ(card->atqa(), (std::array<uint8_t, 2>{0x04, 0x00}));
  EXPECT_EQ(card->sak(), 0x08);
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
  RfField field;
  applyFieldSetup(spec, field);
  ASSERT_EQ(field.size(), 2u);
  auto first = std::dynamic_pointer_cast<KorvexCard>(field.targets()[0]);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->uid(), (Bytes{0x11, 0x22, 0x33, 0x44}));
  auto leaving = std::dynamic_pointer_cast<LeavingTarget>(field.targets()[1]);
  ASSERT_TRUE(leaving);
  // The second card carries the wrong check byte and leaves after three frames.
  auto second = std::dynamic_pointer_cast<KorvexCard>(leaving->target());
  ASSERT_TRUE(second);
  EXPECT_EQ(second->uid().size(), 7u);
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
}

TEST(FieldSetupTest, FaultsBeforeAnyCardGoToTheDefaultCard) {
  FieldSetup spec;
  ASSERT_EQ(parseAll(spec, {"--sim-leave-after=1"}), "");
  RfField field;
  applyFieldSetup(spec, field);
  ASSERT_EQ(field.size(), 1u);
  EXPECT_TRUE(field.targets()[0]->receive(test::reqa()));
  EXPECT_FALSE(field.targets()[0]->receive(test::reqa()));
}

TEST(FieldSetupTest, MalformedOptionsAndCombinations) {
  const std::pair<Args, const char*> cases[] = {
      {{"--sim-card"}, "--sim-card needs a UID (8, 14 or 20 hex digits)"},
      {{"--sim-card", "123"},
       "--sim-card: UID \"123\" has 3 digits; give 8, 14 or 20 hex digits (a 4-, 7- or 10-byte "
       "UID)"},
      {{"--sim-card", "11223344", "--sim-card", "11223344"},
       "--sim-card: UID \"11223344\" given twice"},
      {{"--sim-empty=1"}, "--sim-empty takes no value"},
      {{"--sim-leave-after"}, "--sim-leave-after needs a number of frames"},
      {{"--sim-leave-after", "0"},
       "--sim-leave-after: \"0\" is not a number of frames from 1 to 1000000"},
      {{"--sim-leave-after", "5x"},
       "--sim-leave-after: \"5x\" is not a number of frames from 1 to 1000000"},
      {{"--sim-empty", "--sim-card", "11223344"},
       "--sim-empty leaves no card for --sim-card or a fault option"},
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

}  // namespace
}  // namespace kvt::sim
