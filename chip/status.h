#pragma once

#include <cstdint>

namespace kvt::chip {

// 16-bit result of every chip stack operation; 0 is success. The high byte groups the codes:
// 0x00 RF exchange, 0x01 parameters and host interface, 0x02 card answers, 0x05 identifier
// check, 0x7E host system.
using Status = uint16_t;

namespace status {
constexpr Status Success = 0x0000;
constexpr Status Timeout = 0x0001;            // chip timer expired before the awaited event
constexpr Status CrcError = 0x0002;           // CRC error in the received frame
constexpr Status ParityError = 0x0003;
constexpr Status BitCountError = 0x0004;      // answer with the wrong number of bits
constexpr Status Collision = 0x0006;          // bit collision detected
constexpr Status BufferTooSmall = 0x0007;     // answer longer than the receive buffer
constexpr Status BufferOverflow = 0x0009;     // FIFO overflow, or > 16 Korvex data bytes
constexpr Status RfError = 0x000A;
constexpr Status ProtocolError = 0x000B;      // malformed frame or answer
constexpr Status OtherError = 0x000C;         // another flag of the chip's error register
constexpr Status TemperatureError = 0x000D;
constexpr Status InvalidParameter = 0x0101;
constexpr Status NotSupported = 0x0102;       // parameter or attribute not supported
constexpr Status UnknownCommand = 0x0103;     // Korvex code not in the command table
constexpr Status SerialInterface = 0x0104;    // no byte moved, or a write echo mismatch
constexpr Status UnexpectedAnswer = 0x0105;   // unexpected answer format
constexpr Status AuthenticationFailed = 0x0201;
constexpr Status AckNakNibble = 0x0202;       // 4-bit answer flagged with a CRC error
constexpr Status Nak = 0x0203;
constexpr Status BccError = 0x0501;           // identifier check byte wrong
constexpr Status ConfigLength = 0x7E01;       // configuration read returned a wrong length
constexpr Status EventCreation = 0x7E02;
constexpr Status WaitFailed = 0x7E03;         // serial I/O wait failed, or not allowed in mode
}  // namespace status

// A short English description for people ("serial interface error"); never null.
const char* describe(Status status);

}  // namespace kvt::chip
