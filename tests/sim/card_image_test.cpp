#include "sim/card_image.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "air_helpers.h"
#include "sim/korvex_card.h"
#include "support/files.h"

namespace kvt::sim {
namespace {

using namespace kvt::sim::test;

// An image whose block 0 is `block0` and whose other blocks carry their own number.
Bytes imageWith(const char* block0) {
  Bytes bytes(kCardImageSize);
  for (size_t i = 16; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i / 16);
  const Bytes first = hex(block0);
  std::copy(first.begin(), first.end(), bytes.begin());
  return bytes;
}

TEST(CardImageTest, BlockZeroNamesTheCard) {
  const struct {
    const char* block0;
    Bytes uid;
    uint8_t sak;
    Bytes atqa;
  } cases[] = {
      {"C4 3B 9E 12 73 08 04 00 61 62 63 64 65 66 67 68", hex("C4 3B 9E 12"), 0x08, hex("04 00")},
      {"B4 7C 3E 21 D7 88 02 00 62 63 64 65 66 67 68 69", hex("B4 7C 3E 21"), 0x88, hex("02 00")},
      // A 7-byte UID: its BCC is that of the last level, 73 84 95 A6.
      {"04 51 62 73 84 95 A6 C4 18 44 00 61 62 63 64 65", hex("04 51 62 73 84 95 A6"), 0x18,
       hex("44 00")},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto image = parseCardImage(imageWith(c.block0), error);
    ASSERT_TRUE(image) << c.block0 << ": " << error;
    const KorvexCard card(*image);
    EXPECT_EQ(card.uid(), c.uid);
    EXPECT_EQ(card.sak(), c.sak);
    const auto atqa = card.atqa();
    EXPECT_EQ(Bytes(atqa.begin(), atqa.end()), c.atqa);
    EXPECT_EQ(cardImageBytes(card.memory()), imageWith(c.block0));
  }
}

TEST(CardImageTest, ImagesThatNameNoCardAreRefused) {
  const struct {
    Bytes image;
    const char* error;
  } cases[] = {
      {Bytes(1023), "has 1023 bytes; a 1K card image has 1024 (64 blocks of 16 bytes)"},
      {Bytes(4096), "has 4096 bytes; a 1K card image has 1024 (64 blocks of 16 bytes)"},
      {imageWith("C4 3B 9E 12 74 08 04 00"),
       "block 0: the check byte (BCC) 74 should be 73 for the UID C4 3B 9E 12"},
      {imageWith("88 3B 9E 12 3F 08 04 00"),
       "block 0: the UID 88 3B 9E 12 has the cascade tag 88 where its last level starts"},
      {imageWith("C4 3B 9E 12 73 08 C4 00 00 00 00 00 00 00 00 00"),
       "block 0 (C4 3B 9E 12 73 08 C4 00 00 00 00 00 00 00 00 00) holds no ATQA that gives a "
       "UID of 4, 7 or 10 bytes"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(parseCardImage(c.image, error));
    EXPECT_EQ(error, c.error);
  }
}

class CardImageFileTest : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return (dir_ / name).string(); }
  size_t filesInDir() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_), {}));
  }

  kvt::test::TempFolder folder_;
  std::filesystem::path dir_ = folder_.path;
};

TEST_F(CardImageFileTest, SaveReplacesTheFileWholeAndLoadReadsItBack) {
  KorvexCard card({0xC4, 0x3B, 0x9E, 0x12});
  card.memory().setBlock(9, KorvexMemory::encodeValue(1234, 9));
  const std::string file = path("card.mfd");
  std::ofstream(file) << "an older, shorter image";
  ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
  std::string error;
  ASSERT_TRUE(saveCardImage(file, card.memory(), error)) << error;
  struct stat info {};
  ASSERT_EQ(::stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  EXPECT_EQ(filesInDir(), 1u);  // no temporary file is left behind
  const auto image = loadCardImage(file, error);
  ASSERT_TRUE(image) << error;
  EXPECT_EQ(image->memory.blocks(), card.memory().blocks());

  std::ofstream(file, std::ios::app) << "x";
  EXPECT_FALSE(loadCardImage(file, error));
  EXPECT_EQ(error, file + ": has 1025 bytes; a 1K card image has 1024 (64 blocks of 16 bytes)");
}

TEST_F(CardImageFileTest, FailuresNameTheFileAndLeaveNothingBehind) {
  std::string error;
  EXPECT_FALSE(loadCardImage(path("missing.mfd"), error));
  EXPECT_EQ(error, path("missing.mfd") + ": cannot be read: No such file or directory");
  const std::string nowhere = path("no-folder/card.mfd");
  EXPECT_FALSE(saveCardImage(nowhere, KorvexCard({1, 2, 3, 4}).memory(), error));
  EXPECT_EQ(error, nowhere + ": the card image could not be written; the file is as it was");
  EXPECT_EQ(filesInDir(), 0u);
}

}  // namespace
}  // namespace kvt::sim
