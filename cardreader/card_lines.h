#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "chip/status.h"

// The result lines of the card reader's steps. Each shows the step's parameters and answer
// bytes as two upper-case hex digits and the status as four.
namespace kvt::cardreader {

inline constexpr char kEnablingSamMode[] = "Enabling SAM Mode";
inline constexpr char kDisablingSamMode[] = "Disabling SAM Mode";

// "Request(0x26, 0x0400) --> Status: 0x0000"
std::string RequestLine(uint8_t requestCode, const std::array<uint8_t, 2>& atqa,
                        chip::Status status);
// By `knownBits`: 32, 64 or 96 show the serial number without cascade tags; any other value
// (a failed step) shows SAK and serial number as zeros.
std::string AnticollisionSelectLine(uint8_t knownBits, uint8_t sak,
                                    const std::array<uint8_t, 12>& serial, chip::Status status);
std::string HaltLine(chip::Status status);
std::string AuthenticationLine(bool keyB, uint8_t block, std::span<const uint8_t, 6> key,
                               chip::Status status);
std::string ReadLine(uint8_t block, std::span<const uint8_t, 16> data, chip::Status status);
std::string WriteLine(uint8_t block, std::span<const uint8_t, 16> data, chip::Status status);
std::string WriteKlLine(uint8_t block, std::span<const uint8_t, 4> data, chip::Status status);
// A timer setting the chip refused (the step still runs).
std::string TimerErrorLine(chip::Status status);

}  // namespace kvt::cardreader
