#include "sim/korvex_access.h"

namespace kvt::sim {

namespace {
// Which keys a rule admits.
constexpr uint8_t kNever = 0, kA = 1, kB = 2, kAB = kA | kB;

// Data blocks, by condition C1 C2 C3: read, write, increment, decrement/transfer/restore.
constexpr uint8_t kDataRules[8][4] = {
    {kAB, kAB, kAB, kAB},        // 000: transport configuration
    {kAB, kNever, kNever, kAB},  // 001: value block that only goes down
    {kAB, kNever, kNever, kNever},
    {kB, kB, kNever, kNever},
    {kAB, kB, kNever, kNever},
    {kB, kNever, kNever, kNever},
    {kAB, kB, kB, kAB},  // 110: value block, recharged with key B
    {kNever, kNever, kNever, kNever},
};

// Trailers, by condition C1 C2 C3: {read, write} of key A, of the access bits, of key B.
// Key A itself is never readable.
constexpr uint8_t kTrailerRules[8][3][2] = {
    {{kNever, kA}, {kA, kNever}, {kA, kA}},
    {{kNever, kA}, {kA, kA}, {kA, kA}},  // 001: transport configuration
    {{kNever, kNever}, {kA, kNever}, {kA, kNever}},
    {{kNever, kB}, {kAB, kB}, {kNever, kB}},
    {{kNever, kB}, {kAB, kNever}, {kNever, kB}},
    {{kNever, kNever}, {kAB, kB}, {kNever, kNever}},
    {{kNever, kNever}, {kAB, kNever}, {kNever, kNever}},
    {{kNever, kNever}, {kAB, kNever}, {kNever, kNever}},
};

constexpr int kTrailerBlock = KorvexMemory::kBlocksPerSector - 1;

uint8_t bitOf(KeyKind key) { return key == KeyKind::A ? kA : kB; }
int bit(uint8_t byte, int index) { return (byte >> index) & 1; }
}  // namespace

SectorAccess::SectorAccess(const KorvexMemory::Block& trailer) {
  const uint8_t b6 = trailer[6], b7 = trailer[7], b8 = trailer[8];
  blocked_ = (b6 & 0x0F) != (~b7 >> 4 & 0x0F) || (b6 >> 4) != (~b8 & 0x0F) ||
             (b7 & 0x0F) != (~b8 >> 4 & 0x0F);
  for (int block = 0; block < KorvexMemory::kBlocksPerSector; ++block) {
    conditions_[block] = bit(b7, 4 + block) << 2 | bit(b8, block) << 1 | bit(b8, 4 + block);
  }
}

bool SectorAccess::keyBReadable() const {
  return kTrailerRules[conditions_[kTrailerBlock]][2][0] & kA;
}

bool SectorAccess::usable(KeyKind key) const {
  return !blocked_ && !(key == KeyKind::B && keyBReadable());
}

bool SectorAccess::allows(int blockInSector, DataAccess what, KeyKind key) const {
  return usable(key) &&
         (kDataRules[conditions_[blockInSector]][static_cast<int>(what)] & bitOf(key)) != 0;
}

bool SectorAccess::mayRead(TrailerPart part, KeyKind key) const {
  return usable(key) &&
         (kTrailerRules[conditions_[kTrailerBlock]][static_cast<int>(part)][0] & bitOf(key)) != 0;
}

bool SectorAccess::mayWrite(TrailerPart part, KeyKind key) const {
  return usable(key) &&
         (kTrailerRules[conditions_[kTrailerBlock]][static_cast<int>(part)][1] & bitOf(key)) != 0;
}

bool SectorAccess::mayWriteTrailer(KeyKind key) const {
  return mayWrite(TrailerPart::KeyA, key) || mayWrite(TrailerPart::AccessBits, key) ||
         mayWrite(TrailerPart::KeyB, key);
}

}  // namespace kvt::sim
