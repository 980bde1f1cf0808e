// A Korvex card spoken to directly, frame by frame, as the chip would.
#include <stdexcept>

#include "chip/crc_a.h"
#include "op_stack.h"
#include "sim/card_frames.h"
#include "sim/card_image.h"
#include "sim/iso14443a_card.h"

namespace kvt::chip::test {
namespace {

// "-" for silence, "nibble X", "crc PAYLOAD" for a frame whose CRC is right, else the bytes
// and, when the last byte is incomplete, "/BITS".
std::string answerText(const std::optional<sim::AirFrame>& answer) {
  if (!answer) return "-";
  if (answer->bitCount == 4) return "nibble " + hexText(answer->bytes).substr(1);
  if (const auto payload = sim::payloadIfCrcOk(*answer)) return "crc " + hexText(*payload);
  const std::string bytes = hexText(answer->bytes);
  if (answer->bitCount == 8 * answer->bytes.size()) return bytes;
  return bytes + "/" + std::to_string(answer->bitCount);
}

sim::KorvexMemory::Block blockOf(const Bytes& bytes) {
  sim::KorvexMemory::Block block{};
  std::copy(bytes.begin(), bytes.end(), block.begin());
  return block;
}

}  // namespace

// A card image whose block 0 is `block0` and whose other blocks carry their own number (or
// `size` bytes of zeros): the card it names, or why it names none.
std::string cardImageText(const OpArgs& args) {
  Bytes image(static_cast<size_t>(args.number("size", sim::kCardImageSize)));
  for (size_t i = 16; i < image.size() && !args.has("size"); ++i)
    image[i] = static_cast<uint8_t>(i / 16);
  const Bytes block0 = args.positionalBytes(0);
  std::copy(block0.begin(), block0.end(), image.begin());
  std::string error;
  const auto parsed = sim::parseCardImage(image, error);
  if (!parsed) return error;
  const sim::KorvexCard card(*parsed);
  const auto atqaBytes = card.atqa();
  const Bytes atqa(atqaBytes.begin(), atqaBytes.end());
  const bool same = sim::cardImageBytes(card.memory()) == image;
  return "uid=" + hexText(card.uid()) + " sak=" + hexText({card.sak()}) + " atqa=" + hexText(atqa) +
         (same ? " written back alike" : " written back changed");
}

std::string OpStack::cardOp(const std::string& op, const OpArgs& args) {
  sim::Iso14443ACard& c = *card;
  if (op == "air") {
    const Bytes bytes = args.positionalBytes(0);
    sim::AirFrame frame =
        args.has("crc") ? sim::frameWithCrc(bytes) : sim::AirFrame::fromBytes(bytes);
    if (args.has("bits")) frame.bitCount = static_cast<size_t>(args.number("bits", 0));
    return answerText(c.receive(frame));
  }
  if (op == "auth") {  // KIND BLOCK KEY SERIAL
    Bytes block = args.positionalBytes(0);
    block.resize(12);
    return c.authenticate(block.data()) ? "accepted" : "refused";
  }
  if (op == "state") {
    static const char* const kNames[] = {"idle", "ready", "active", "halt"};
    return kNames[static_cast<int>(c.state())];
  }
  auto& korvex = dynamic_cast<sim::KorvexCard&>(c);
  if (op == "sector") {
    const auto sector = korvex.authenticatedSector();
    return sector ? std::to_string(*sector) : "none";
  }
  const int index = std::stoi(args.positional.at(0));
  if (op == "block")
    return hexText(Bytes(korvex.memory().block(index).begin(), korvex.memory().block(index).end()));
  if (op == "keys") {
    const auto a = korvex.memory().keyA(index), b = korvex.memory().keyB(index);
    return hexText(Bytes(a.begin(), a.end())) + " " + hexText(Bytes(b.begin(), b.end()));
  }
  if (op == "value") {
    const auto value = sim::KorvexMemory::decodeValue(korvex.memory().block(index));
    return value ? std::to_string(*value) : "no value";
  }
  throw std::invalid_argument("unknown operation " + op);
}

bool OpStack::cardDirective(const Words& w) {
  const auto korvex = [&]() -> sim::KorvexCard& { return dynamic_cast<sim::KorvexCard&>(*card); };
  if (w[0] == "card") {
    const Bytes uid = hexBytes(w.at(1));
    card = w.size() > 2 ? std::make_shared<sim::Iso14443ACard>(uid)  // "card UID type-a"
                        : std::make_shared<sim::KorvexCard>(uid);
  } else if (w[0] == "select-card") {  // woken and selected at every level
    card->receive(sim::AirFrame{{0x26}, 7});
    for (int level = 0; level < card->cascadeLevels(); ++level) {
      const auto s = card->levelSerial(level);
      card->receive(sim::frameWithCrc(
          {static_cast<uint8_t>(0x93 + 2 * level), 0x70, s[0], s[1], s[2], s[3], bcc(s.data())}));
    }
  } else if (w[0] == "set-block") {
    korvex().memory().setBlock(std::stoi(w.at(1)), blockOf(hexBytes(w.at(2))));
  } else if (w[0] == "value-block") {
    const int block = std::stoi(w.at(1));
    korvex().memory().setBlock(block, sim::KorvexMemory::encodeValue(std::stoi(w.at(2)), block));
  } else if (w[0] == "set-keys") {
    const Bytes a = hexBytes(w.at(2)), b = hexBytes(w.at(3));
    sim::KorvexCard::Key keyA, keyB;
    std::copy(a.begin(), a.end(), keyA.begin());
    std::copy(b.begin(), b.end(), keyB.begin());
    korvex().memory().setKeys(std::stoi(w.at(1)), keyA, keyB);
  } else if (w[0] == "crypto-off" || w[0] == "field-reset") {
    w[0] == "crypto-off" ? card->cryptoOff() : card->fieldReset();
  } else if (w[0] == "nak-writes") {
    korvex().setNakWrites(true);
  } else {
    return false;
  }
  return true;
}

}  // namespace kvt::chip::test
