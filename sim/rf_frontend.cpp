#include "sim/rf_frontend.h"

#include <algorithm>

#include "chip/crc_a.h"
#include "chip/registers.h"

namespace kvt::sim {

namespace bits = chip::bits;
namespace err = chip::err;

uint32_t airRateKbps(uint8_t modeRegister) {
  const unsigned speed = std::min<unsigned>((modeRegister >> 4) & 0x07, 3);
  return 106u << speed;
}

Nanos airTime(size_t bitCount, uint8_t modeRegister) {
  const uint64_t bitsOnAir = bitCount + (bitCount + 7) / 8 + 2;
  return Nanos(static_cast<int64_t>(bitsOnAir * 1'000'000 / airRateKbps(modeRegister)));
}

AirFrame buildFrame(const std::vector<uint8_t>& bytes, uint8_t txMode, uint8_t txLastBits) {
  AirFrame frame;
  frame.txMode = txMode;
  const unsigned lastBits = txLastBits & 0x07;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned count = (i + 1 == bytes.size() && lastBits != 0) ? lastBits : 8;
    for (unsigned b = 0; b < count; ++b) frame.appendBit((bytes[i] >> b) & 1);
  }
  if ((txMode & bits::CrcOn) && !bytes.empty()) {
    const uint16_t crc = chip::crcA(bytes.data(), bytes.size());
    for (unsigned b = 0; b < 16; ++b) frame.appendBit((crc >> b) & 1);
  }
  return frame;
}

namespace {
// Checks and strips the CRC of a whole-byte answer; flags every other answer.
uint8_t checkCrc(std::vector<uint8_t>& bytes, size_t& bitCount) {
  if (bitCount % 8 != 0 || bitCount < 16) return err::Crc;
  const size_t length = bitCount / 8 - 2;
  const uint16_t crc = chip::crcA(bytes.data(), length);
  const bool good = bytes[length] == (crc & 0xFF) && bytes[length + 1] == (crc >> 8);
  bytes.resize(length);
  bitCount = length * 8;
  return good ? 0 : err::Crc;
}
}  // namespace

ReceivedFrame decodeAnswer(const AirAnswer& answer, uint8_t rxMode, uint8_t rxAlign,
                           bool keepAfterCollision) {
  ReceivedFrame out;
  std::vector<uint8_t> heard = answer.frame.bytes;
  size_t bitCount = answer.frame.bitCount;
  if (answer.firstCollision) {
    out.errors |= err::Collision;
    if (!keepAfterCollision) bitCount = std::min(bitCount, *answer.firstCollision + 1);
  }
  heard.resize((bitCount + 7) / 8);
  if (bitCount % 8 != 0) heard.back() &= static_cast<uint8_t>((1u << (bitCount % 8)) - 1);
  if (rxMode & bits::CrcOn) out.errors |= checkCrc(heard, bitCount);

  const unsigned align = rxAlign & 0x07;
  const size_t total = align + bitCount;
  out.bytes.assign((total + 7) / 8, 0);
  for (size_t i = 0; i < bitCount; ++i) {
    if ((heard[i / 8] >> (i % 8)) & 1) {
      out.bytes[(align + i) / 8] |= static_cast<uint8_t>(1u << ((align + i) % 8));
    }
  }
  out.lastBits = static_cast<uint8_t>(total % 8);
  if (answer.firstCollision) out.collisionBit = align + *answer.firstCollision;
  return out;
}

}  // namespace kvt::sim
