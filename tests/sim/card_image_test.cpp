#include "sim/card_image.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "sim/korvex_card.h"
#include "support/files.h"

namespace kvt::sim {
namespace {

// What block 0 of an image names, and images that name no card, are cases of
// tests/chip/ops/card_image.txt; here the files.
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
