#include "sim/korvex_memory.h"

#include <algorithm>
#include <cstring>

namespace kvt::sim {

KorvexMemory::KorvexMemory(const Key& keyA, const Key& keyB) {
  for (int sector = 0; sector < kSectors; ++sector) setKeys(sector, keyA, keyB);
}

KorvexMemory::Key KorvexMemory::keyA(int sector) const {
  Key key;
  const Block& trailer = blocks_.at(trailerOf(sector));
  std::copy_n(trailer.begin(), key.size(), key.begin());
  return key;
}

KorvexMemory::Key KorvexMemory::keyB(int sector) const {
  Key key;
  const Block& trailer = blocks_.at(trailerOf(sector));
  std::copy_n(trailer.begin() + 10, key.size(), key.begin());
  return key;
}

void KorvexMemory::setKeys(int sector, const Key& keyA, const Key& keyB) {
  Block& trailer = blocks_.at(trailerOf(sector));
  std::copy(keyA.begin(), keyA.end(), trailer.begin());
  std::copy(kTransportAccessBits.begin(), kTransportAccessBits.end(), trailer.begin() + 6);
  std::copy(keyB.begin(), keyB.end(), trailer.begin() + 10);
}

void KorvexMemory::writeManufacturerBlock(const std::vector<uint8_t>& uid, uint8_t check,
                                          uint8_t sak, const std::array<uint8_t, 2>& atqa) {
  Block block{};
  size_t at = 0;
  for (uint8_t b : uid) block[at++] = b;
  block[at++] = check;
  block[at++] = sak;
  block[at++] = atqa[0];
  block[at++] = atqa[1];
  // The rest is the maker's production data; any fixed pattern will do.
  for (uint8_t fill = 0x61; at < block.size(); ++fill) block[at++] = fill;
  blocks_[0] = block;
}

KorvexMemory::Block KorvexMemory::encodeValue(int32_t value, uint8_t address) {
  Block block{};
  uint32_t raw;
  std::memcpy(&raw, &value, sizeof raw);
  for (int i = 0; i < 4; ++i) {
    const auto byte = static_cast<uint8_t>(raw >> (8 * i));  // little endian
    block[i] = byte;
    block[4 + i] = static_cast<uint8_t>(~byte);
    block[8 + i] = byte;
  }
  block[12] = address;
  block[13] = static_cast<uint8_t>(~address);
  block[14] = address;
  block[15] = static_cast<uint8_t>(~address);
  return block;
}

std::optional<int32_t> KorvexMemory::decodeValue(const Block& block) {
  for (int i = 0; i < 4; ++i) {
    if (block[i] != block[8 + i] || block[i] != static_cast<uint8_t>(~block[4 + i])) {
      return std::nullopt;
    }
  }
  if (block[12] != block[14] || block[13] != block[15] ||
      block[12] != static_cast<uint8_t>(~block[13])) {
    return std::nullopt;
  }
  uint32_t raw = 0;
  for (int i = 0; i < 4; ++i) raw |= uint32_t(block[i]) << (8 * i);
  int32_t value;
  std::memcpy(&value, &raw, sizeof value);
  return value;
}

}  // namespace kvt::sim
