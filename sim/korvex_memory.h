#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The memory of a Korvex 1K card: 16 sectors of 4 blocks of 16 bytes. Block 0 is the
// manufacturer block; the last block of every sector is its trailer (key A, access bits,
// key B). Value blocks keep a signed 32-bit value three times (once inverted) and an address
// byte four times, so a damaged block is recognised.
namespace kvt::sim {

class KorvexMemory {
 public:
  static constexpr int kSectors = 16;
  static constexpr int kBlocksPerSector = 4;
  static constexpr int kBlocks = kSectors * kBlocksPerSector;
  static constexpr int kBlockSize = 16;
  using Block = std::array<uint8_t, kBlockSize>;
  using Key = std::array<uint8_t, 6>;

  // Access bits of a card as it leaves the factory (key A or B opens everything).
  static constexpr std::array<uint8_t, 4> kTransportAccessBits{0xFF, 0x07, 0x80, 0x69};

  // Every trailer gets `keyA`, the transport access bits and `keyB`; data blocks are zero.
  KorvexMemory(const Key& keyA, const Key& keyB);
  // A memory holding `blocks` as they are (a card image).
  explicit KorvexMemory(const std::array<Block, kBlocks>& blocks) : blocks_(blocks) {}

  static int sectorOf(int block) { return block / kBlocksPerSector; }
  static bool isTrailer(int block) { return block % kBlocksPerSector == kBlocksPerSector - 1; }
  static int trailerOf(int sector) { return sector * kBlocksPerSector + kBlocksPerSector - 1; }

  const Block& block(int index) const { return blocks_.at(index); }
  const std::array<Block, kBlocks>& blocks() const { return blocks_; }
  void setBlock(int index, const Block& data) { blocks_.at(index) = data; }
  Key keyA(int sector) const;
  Key keyB(int sector) const;
  void setKeys(int sector, const Key& keyA, const Key& keyB);

  // Block 0: UID, the check byte of the last cascade level, SAK, ATQA, then fixed
  // manufacturer bytes.
  void writeManufacturerBlock(const std::vector<uint8_t>& uid, uint8_t check, uint8_t sak,
                              const std::array<uint8_t, 2>& atqa);

  static Block encodeValue(int32_t value, uint8_t address);
  // The value of a block in value format; nullopt when the copies disagree.
  static std::optional<int32_t> decodeValue(const Block& block);

 private:
  std::array<Block, kBlocks> blocks_{};
};

}  // namespace kvt::sim
