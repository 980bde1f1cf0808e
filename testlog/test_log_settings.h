#pragma once

#include <cstdint>
#include <string>

#include "platform/native_names.h"

// The settings every pattern writer reads, and their place in the start-up file.
namespace kvt::testlog {

// Combo indices of the interface and the output format.
constexpr int32_t kInterfaceI2C = 0;
constexpr int32_t kInterfaceSPI = 1;
constexpr int32_t kFormatATF = 0;
constexpr int32_t kFormatATP = 1;

// Folders and file names join with this separator.
using platform::kPathSeparator;

// The input folder used when the start-up file names none: the root of drive C on Windows, the
// working folder elsewhere.
using platform::kDefaultInputPath;

constexpr const char* kSection = "TestLog";

// One record for the whole run. Every field is 0 or empty until the settings are first loaded.
struct TestLogSettings {
  uint8_t active = 0;         // 1: pattern output on. Never stored in the start-up file.
  int32_t interface = 0;      // kInterfaceI2C, kInterfaceSPI; anything else selects no generator
  int32_t outputFormat = 0;   // kFormatATF, kFormatATP; anything else selects no generator
  std::string outputFile;     // the pattern file the writers append to
  std::string inputPath;      // folder of the template files, with its trailing separator
  uint32_t vectorNumber = 0;  // the next .atf vector number; OK sets it to 1
  uint8_t i2cAddress = 0;     // the chip's I2C slave address; writers use bits 6 to 0
};

// Reads the five keys of section "TestLog" of `iniFile` into `settings` (active and
// vectorNumber stay as they are). A missing file or key gives its default: interface I2C,
// address 0x2C, format ATP, output file "test1.txt", input path kDefaultInputPath.
void LoadTestLogSettings(TestLogSettings& settings, const std::string& iniFile);

// Writes the five keys in the order Interface, I2CAddress, OutputFormat, OutputFile, InputPath;
// numbers as decimal text, paths unchanged. Other lines of the file are kept. False when a key
// could not be written (the file cannot be written, or a path holds a line break).
bool SaveTestLogSettings(const TestLogSettings& settings, const std::string& iniFile);

}  // namespace kvt::testlog
