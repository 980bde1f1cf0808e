#include "sim/polling_target.h"

#include <algorithm>
#include <vector>

#include "chip/polling_codes.h"
#include "sim/card_frames.h"

namespace kvt::sim {

namespace polling = chip::polling;

namespace {
constexpr uint8_t kRequestLength = polling::RequestFrameLength;
// Communication ability of a target that speaks 212 and 424 kbit/s.
constexpr uint8_t kCommunicationAbility[] = {0x00, 0x83};

bool systemCodeMatches(uint8_t requestHigh, uint8_t requestLow, uint16_t own) {
  // 0xFF in either byte of the request matches any value there.
  return (requestHigh == polling::AnySystemCodeByte || requestHigh == (own >> 8)) &&
         (requestLow == polling::AnySystemCodeByte || requestLow == (own & 0xFF));
}
}  // namespace

std::optional<AirFrame> PollingTarget::receive(const AirFrame& frame) {
  // The request arrives with its CRC when the chip appends one, and bare otherwise.
  std::optional<std::vector<uint8_t>> request = payloadIfCrcOk(frame);
  if (!request || request->size() != kRequestLength) request = wholeBytes(frame);
  if (!request || request->size() != kRequestLength) return std::nullopt;
  const auto& r = *request;
  if (r[0] != kRequestLength || r[1] != polling::PollingCommand) return std::nullopt;
  if (!systemCodeMatches(r[2], r[3], systemCode_)) return std::nullopt;
  answerSlot_ = std::min(slot_, static_cast<int>(r[5]));

  std::vector<uint8_t> answer{polling::ShortAnswer, polling::PollingAnswer};
  answer.insert(answer.end(), idm_.begin(), idm_.end());
  answer.insert(answer.end(), pmm_.begin(), pmm_.end());
  if (r[4] == polling::RequestSystemCode) {
    answer.push_back(static_cast<uint8_t>(systemCode_ >> 8));
    answer.push_back(static_cast<uint8_t>(systemCode_ & 0xFF));
  } else if (r[4] == polling::RequestCommunication) {
    answer.insert(answer.end(), std::begin(kCommunicationAbility), std::end(kCommunicationAbility));
  }
  answer[0] = lengthByte_.value_or(static_cast<uint8_t>(answer.size()));
  AirFrame out = frameWithCrc(std::move(answer));
  if (damaged_) out.bytes.back() ^= 0xFF;
  return out;
}

}  // namespace kvt::sim
