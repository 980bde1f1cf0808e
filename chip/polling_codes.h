#pragma once

#include <cstdint>

// ISO/IEC 18092 passive polling at 212/424 kbit/s, as the reader stack sends it and the
// simulated targets answer it.
namespace kvt::chip::polling {

// Request frame: length, command, system code (2 bytes), request code, time slots.
constexpr uint8_t RequestFrameLength = 6;
constexpr uint8_t RequestBytes = 4;  // what the caller supplies: all but length and command
constexpr uint8_t PollingCommand = 0x00;
constexpr uint8_t PollingAnswer = 0x01;
constexpr uint8_t AnySystemCodeByte = 0xFF;  // matches any value in its byte
constexpr uint8_t RequestSystemCode = 0x01;
constexpr uint8_t RequestCommunication = 0x02;
// Answer lengths (with the length byte): without and with the requested two bytes.
constexpr uint8_t ShortAnswer = 18;
constexpr uint8_t LongAnswer = 20;

}  // namespace kvt::chip::polling
