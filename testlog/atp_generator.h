#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "testlog/test_log_settings.h"

// The built-in text of the .atp format: ">" vector statements with a label column, waits as
// "repeat" statements, "//" comment lines. Nothing here uses or changes the vector number.
namespace kvt::testlog::atp {

// I2C register write (29 vector statements) and read of `expected` under `mask` (39).
std::string I2cWrite(const TestLogSettings& settings, uint8_t address, uint8_t data,
                     std::string_view comment);
std::string I2cRead(const TestLogSettings& settings, uint8_t address, uint8_t expected,
                    uint8_t mask, std::string_view comment);
// One idle statement, then a repeat of `cycles`.
std::string I2cSleep(const TestLogSettings& settings, uint32_t cycles, std::string_view comment);

// SPI register write and read: read/write bit, six address bits, the reserved bit and eight
// data bits, 16 statements each; the comment rides on the D[0] statement. No chip-select or
// stop statements, so operations follow each other directly.
std::string SpiWrite(const TestLogSettings& settings, uint8_t address, uint8_t data,
                     std::string_view comment);
std::string SpiRead(const TestLogSettings& settings, uint8_t address, uint8_t expected,
                    uint8_t mask, std::string_view comment);
std::string SpiSleep(const TestLogSettings& settings, uint32_t cycles, std::string_view comment);

// The header written when no header template is found; `timeText` ends in LF.
std::string DefaultHeader(const TestLogSettings& settings, std::string_view timeText);

}  // namespace kvt::testlog::atp
