#include "cardreader/card_lines.h"

#include "app/text_format.h"
#include "platform/hex_text.h"

namespace kvt::cardreader {

namespace {

using app::Format;

// "Name(0x<first>, 0x<digits>) --> Status: 0x<status>"
std::string twoValueLine(const char* name, uint8_t first, const std::string& digits,
                         chip::Status status) {
  return Format("%s(0x%02X, 0x%s) --> Status: 0x%04X", name, first, digits.c_str(), status);
}

}  // namespace

std::string RequestLine(uint8_t requestCode, const std::array<uint8_t, 2>& atqa,
                        chip::Status status) {
  return twoValueLine("Request", requestCode, platform::BytesToHex(atqa), status);
}

std::string AnticollisionSelectLine(uint8_t knownBits, uint8_t sak,
                                    const std::array<uint8_t, 12>& serial, chip::Status status) {
  std::string uid;
  switch (knownBits) {
    case 32:
      uid = platform::BytesToHex(std::span(serial).subspan(0, 4));
      break;
    case 64:  // the cascade tag in byte 0 is left out
      uid = platform::BytesToHex(std::span(serial).subspan(1, 7));
      break;
    case 96:  // both cascade tags (bytes 0 and 4) are left out
      uid = platform::BytesToHex(std::span(serial).subspan(1, 3)) +
            platform::BytesToHex(std::span(serial).subspan(5));
      break;
    default:
      sak = 0;
      uid = "00000000";
      break;
  }
  return Format("Anticollision/Select(0x93, 0x%02X, 0x%s) --> Status: 0x%04X", sak, uid.c_str(),
                status);
}

std::string HaltLine(chip::Status status) {
  return Format("Halt(0x50, 0x00) --> Status: 0x%04X", status);
}

std::string AuthenticationLine(bool keyB, uint8_t block, std::span<const uint8_t, 6> key,
                               chip::Status status) {
  return twoValueLine(keyB ? "Authentication KeyB" : "Authentication KeyA", block,
                      platform::BytesToHex(key), status);
}

std::string ReadLine(uint8_t block, std::span<const uint8_t, 16> data, chip::Status status) {
  return twoValueLine("Read", block, platform::BytesToHex(data), status);
}

std::string WriteLine(uint8_t block, std::span<const uint8_t, 16> data, chip::Status status) {
  return twoValueLine("Write", block, platform::BytesToHex(data), status);
}

std::string WriteKlLine(uint8_t block, std::span<const uint8_t, 4> data, chip::Status status) {
  return twoValueLine("WriteKL", block, platform::BytesToHex(data), status);
}

std::string TimerErrorLine(chip::Status status) {
  // The line has always been written without its closing parenthesis; logs are compared
  // against it byte for byte.
  return Format("Timeout Setting Errornous(Status: 0x%04X", status);
}

}  // namespace kvt::cardreader
