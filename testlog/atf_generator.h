#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "testlog/test_log_settings.h"

// The built-in text of the .atf format: numbered vector lines, one pin state for a number of
// tester cycles each. Every vector line takes settings.vectorNumber and counts it up; the "!"
// comment lines between the blocks do not.
namespace kvt::testlog::atf {

// An I2C register write: start, slave address, write bit, acknowledge, register address,
// acknowledge, data, acknowledge, stop carrying `comment`. 63 vector lines.
std::string I2cWrite(TestLogSettings& settings, uint8_t address, uint8_t data,
                     std::string_view comment);
// An I2C register read of `expected` under `mask`: as the write up to the register address's
// acknowledge, then a repeated start, slave address, read bit, acknowledge, the checked data
// bits, acknowledge, stop. 85 vector lines.
std::string I2cRead(TestLogSettings& settings, uint8_t address, uint8_t expected, uint8_t mask,
                    std::string_view comment);
// One vector line repeated `cycles` times.
std::string I2cSleep(TestLogSettings& settings, uint32_t cycles, std::string_view comment);

// SPI register write and read: chip select, read/write bit, six address bits, the reserved bit,
// eight data bits, chip select released with `comment`. 36 vector lines each.
std::string SpiWrite(TestLogSettings& settings, uint8_t address, uint8_t data,
                     std::string_view comment);
std::string SpiRead(TestLogSettings& settings, uint8_t address, uint8_t expected, uint8_t mask,
                    std::string_view comment);
std::string SpiSleep(TestLogSettings& settings, uint32_t cycles, std::string_view comment);

// The header written when no header template is found; `timeText` ends in LF. Four vector lines
// for I2C and SPI, none for any other interface.
std::string DefaultHeader(TestLogSettings& settings, std::string_view timeText);

}  // namespace kvt::testlog::atf
