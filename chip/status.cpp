#include "chip/status.h"

namespace kvt::chip {

namespace {
struct StatusText {
  Status code;
  const char* text;
};

constexpr StatusText kTexts[] = {
    {status::Success, "success"},
    {status::Timeout, "timeout: the chip's timer expired before the awaited event"},
    {status::CrcError, "CRC error in the received frame"},
    {status::ParityError, "parity error"},
    {status::BitCountError, "bit-count error: the answer has the wrong number of bits"},
    {status::Collision, "bit collision detected"},
    {status::BufferTooSmall, "answer longer than the receive buffer"},
    {status::BufferOverflow, "buffer overflow"},
    {status::RfError, "RF error"},
    {status::ProtocolError, "protocol error: malformed frame or answer"},
    {status::OtherError, "other error flag of the chip's error register"},
    {status::TemperatureError, "temperature error"},
    {status::InvalidParameter, "invalid parameter"},
    {status::NotSupported, "parameter or attribute not supported"},
    {status::UnknownCommand, "Korvex command code not in the command table"},
    {status::SerialInterface, "serial interface error: no byte moved or wrong echo"},
    {status::UnexpectedAnswer, "unexpected answer format"},
    {status::AuthenticationFailed, "authentication failed"},
    {status::AckNakNibble, "4-bit answer with CRC error flag (ACK/NAK nibble)"},
    {status::Nak, "NAK received from the card"},
    {status::BccError, "identifier check byte (BCC) wrong"},
    {status::ConfigLength, "configuration read returned a wrong length"},
    {status::EventCreation, "event object creation failed"},
    {status::WaitFailed, "serial I/O failed or operation not allowed in this mode"},
};
}  // namespace

const char* describe(Status status) {
  for (const auto& entry : kTexts) {
    if (entry.code == status) return entry.text;
  }
  return "unknown status";
}

}  // namespace kvt::chip
