#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/korvex_memory.h"

// A Korvex 1K card kept in a file: the 1024 bytes of its memory, 64 blocks of 16 bytes, block 0
// first (the layout NFC tools use for 1K dumps). Block 0 names the card: the UID, the check
// byte (BCC) of its last cascade level, SAK and ATQA; the UID size is the one the ATQA gives
// (bits 7..6 of its first byte), so a 7- or 10-byte UID is followed by its BCC as well.
namespace kvt::sim {

inline constexpr size_t kCardImageSize = KorvexMemory::kBlocks * KorvexMemory::kBlockSize;

struct CardImage {
  std::vector<uint8_t> uid;
  uint8_t sak = 0;
  std::array<uint8_t, 2> atqa{};
  KorvexMemory memory{std::array<KorvexMemory::Block, KorvexMemory::kBlocks>{}};
};

// The card `bytes` describe; nullopt with a one-line reason in `error` when the image has the
// wrong size or its block 0 names no card (no UID size, a wrong BCC, a cascade tag in place of
// the UID's last level).
std::optional<CardImage> parseCardImage(std::span<const uint8_t> bytes, std::string& error);

// The 1024 bytes of the image file at `path`, unchecked beyond their number; nullopt with a
// reason that names the file when it cannot be read or has another size.
std::optional<std::vector<uint8_t>> readCardImageBytes(const std::string& path, std::string& error);

// parseCardImage of the file at `path`; the reason names the file.
std::optional<CardImage> loadCardImage(const std::string& path, std::string& error);

// The 1024 bytes of `memory`, block 0 first.
std::vector<uint8_t> cardImageBytes(const KorvexMemory& memory);

// Replaces the file at `path` by the image of `memory` in one step: readers and a crash find the
// old file or the new one, never a part. False with a reason in `error` when it fails; the old
// file is then as it was.
bool saveCardImage(const std::string& path, const KorvexMemory& memory, std::string& error);

}  // namespace kvt::sim
