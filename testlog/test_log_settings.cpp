#include "testlog/test_log_settings.h"

#include <string>

#include "platform/profile.h"

namespace kvt::testlog {

void LoadTestLogSettings(TestLogSettings& settings, const std::string& iniFile) {
  using platform::GetPrivateProfileInt;
  using platform::GetPrivateProfileString;
  settings.interface = GetPrivateProfileInt(kSection, "Interface", kInterfaceI2C, iniFile);
  settings.i2cAddress =
      static_cast<uint8_t>(GetPrivateProfileInt(kSection, "I2CAddress", 0x2C, iniFile) & 0xFF);
  settings.outputFormat = GetPrivateProfileInt(kSection, "OutputFormat", kFormatATP, iniFile);
  settings.outputFile = GetPrivateProfileString(kSection, "OutputFile", "test1.txt", iniFile);
  settings.inputPath = GetPrivateProfileString(kSection, "InputPath", kDefaultInputPath, iniFile);
}

bool SaveTestLogSettings(const TestLogSettings& settings, const std::string& iniFile) {
  using platform::WritePrivateProfileString;
  // Every key is tried even after one fails, so one bad path does not lose the others.
  bool ok =
      WritePrivateProfileString(kSection, "Interface", std::to_string(settings.interface), iniFile);
  ok &= WritePrivateProfileString(kSection, "I2CAddress", std::to_string(settings.i2cAddress),
                                  iniFile);
  ok &= WritePrivateProfileString(kSection, "OutputFormat", std::to_string(settings.outputFormat),
                                  iniFile);
  ok &= WritePrivateProfileString(kSection, "OutputFile", settings.outputFile, iniFile);
  ok &= WritePrivateProfileString(kSection, "InputPath", settings.inputPath, iniFile);
  return ok;
}

}  // namespace kvt::testlog
