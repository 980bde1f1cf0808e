#include "sim/card_image.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "chip/crc_a.h"
#include "chip/iso14443a_codes.h"
#include "platform/file_replace.h"

namespace kvt::sim {

namespace {
std::string hexBytes(std::span<const uint8_t> bytes) {
  std::string text;
  char digits[4];
  for (uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%s%02X", text.empty() ? "" : " ", b);
    text += digits;
  }
  return text;
}

std::string sizeError(uintmax_t size) {
  return "has " + std::to_string(size) + " bytes; a 1K card image has 1024 (64 blocks of 16 bytes)";
}

// The UID size block 0 announces: the first of 4, 7 and 10 bytes whose ATQA, lying behind the
// UID and its BCC and SAK, gives that size in bits 7..6. 0 when none does.
size_t uidSizeOf(const KorvexMemory::Block& block0) {
  constexpr size_t kSizes[] = {4, 7, 10};
  for (size_t level = 0; level < 3; ++level) {
    if (block0[kSizes[level] + 2] >> 6 == level) return kSizes[level];
  }
  return 0;
}

}  // namespace

std::optional<CardImage> parseCardImage(std::span<const uint8_t> bytes, std::string& error) {
  if (bytes.size() != kCardImageSize) {
    error = sizeError(bytes.size());
    return std::nullopt;
  }
  std::array<KorvexMemory::Block, KorvexMemory::kBlocks> blocks;
  for (size_t i = 0; i < blocks.size(); ++i) {
    std::copy_n(bytes.begin() + i * KorvexMemory::kBlockSize, KorvexMemory::kBlockSize,
                blocks[i].begin());
  }
  const KorvexMemory::Block& block0 = blocks[0];
  const size_t size = uidSizeOf(block0);
  if (size == 0) {
    error = "block 0 (" + hexBytes(block0) + ") holds no ATQA that gives a UID of 4, 7 or 10 bytes";
    return std::nullopt;
  }
  CardImage image;
  image.uid.assign(block0.begin(), block0.begin() + size);
  const uint8_t* lastLevel = block0.data() + size - 4;
  const uint8_t check = chip::bcc(lastLevel);
  if (block0[size] != check) {
    char found[64];
    std::snprintf(found, sizeof found, "the check byte (BCC) %02X should be %02X", block0[size],
                  check);
    error = "block 0: " + std::string(found) + " for the UID " + hexBytes(image.uid);
    return std::nullopt;
  }
  if (lastLevel[0] == chip::iso14443::CascadeTag) {
    error = "block 0: the UID " + hexBytes(image.uid) +
            " has the cascade tag 88 where its last level starts";
    return std::nullopt;
  }
  image.sak = block0[size + 1];
  image.atqa = {block0[size + 2], block0[size + 3]};
  image.memory = KorvexMemory(blocks);
  return image;
}

std::optional<std::vector<uint8_t>> readCardImageBytes(const std::string& path,
                                                       std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot be read: " + std::strerror(errno);
    return std::nullopt;
  }
  // One byte more than an image, so a longer file is told apart without reading all of it.
  std::vector<uint8_t> bytes(kCardImageSize + 1);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) {
    error = path + ": cannot be read";
    return std::nullopt;
  }
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (bytes.size() == kCardImageSize) return bytes;
  std::error_code ec;
  const auto fileSize = std::filesystem::file_size(path, ec);
  error = path + ": " + sizeError(ec ? bytes.size() : fileSize);
  return std::nullopt;
}

std::optional<CardImage> loadCardImage(const std::string& path, std::string& error) {
  const auto bytes = readCardImageBytes(path, error);
  if (!bytes) return std::nullopt;
  auto image = parseCardImage(*bytes, error);
  if (!image) error = path + ": " + error;
  return image;
}

std::vector<uint8_t> cardImageBytes(const KorvexMemory& memory) {
  std::vector<uint8_t> bytes;
  bytes.reserve(kCardImageSize);
  for (const auto& block : memory.blocks()) bytes.insert(bytes.end(), block.begin(), block.end());
  return bytes;
}

bool saveCardImage(const std::string& path, const KorvexMemory& memory, std::string& error) {
  const auto bytes = cardImageBytes(memory);
  if (platform::ReplaceFile(
          path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())))
    return true;
  error = path + ": the card image could not be written; the file is as it was";
  return false;
}

}  // namespace kvt::sim
