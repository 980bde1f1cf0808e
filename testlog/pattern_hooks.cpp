#include "testlog/pattern_hooks.h"

#include <memory>
#include <optional>
#include <string>

#include "app/text_format.h"
#include "chip/register_control.h"
#include "testlog/atf_generator.h"
#include "testlog/atp_generator.h"
#include "testlog/pattern_file.h"
#include "testlog/pattern_output.h"
#include "testlog/template_expansion.h"

namespace kvt::testlog {

namespace {

constexpr uint32_t kWaitModulo = 65536;

// One output format and interface: its template names and its built-in text.
struct Generator {
  int32_t outputFormat;
  int32_t interface;
  const char* templateSuffix;  // "I2C.atf": "Write", "Read" and "Sleep" go in front
  std::string (*write)(TestLogSettings&, uint8_t address, uint8_t data, std::string_view);
  std::string (*read)(TestLogSettings&, uint8_t address, uint8_t expected, uint8_t mask,
                      std::string_view);
  std::string (*sleep)(TestLogSettings&, uint32_t cycles, std::string_view);
  const char* commentMark;  // starts a comment line
};

const Generator kGenerators[] = {
    {kFormatATF, kInterfaceI2C, "I2C.atf", atf::I2cWrite, atf::I2cRead, atf::I2cSleep, "!"},
    {kFormatATF, kInterfaceSPI, "SPI.atf", atf::SpiWrite, atf::SpiRead, atf::SpiSleep, "!"},
    {kFormatATP, kInterfaceI2C, "I2C.atp",
     [](TestLogSettings& s, uint8_t a, uint8_t d, std::string_view c) {
       return atp::I2cWrite(s, a, d, c);
     },
     [](TestLogSettings& s, uint8_t a, uint8_t v, uint8_t m, std::string_view c) {
       return atp::I2cRead(s, a, v, m, c);
     },
     [](TestLogSettings& s, uint32_t n, std::string_view c) { return atp::I2cSleep(s, n, c); },
     "//"},
    {kFormatATP, kInterfaceSPI, "SPI.atp",
     [](TestLogSettings& s, uint8_t a, uint8_t d, std::string_view c) {
       return atp::SpiWrite(s, a, d, c);
     },
     [](TestLogSettings& s, uint8_t a, uint8_t v, uint8_t m, std::string_view c) {
       return atp::SpiRead(s, a, v, m, c);
     },
     [](TestLogSettings& s, uint32_t n, std::string_view c) { return atp::SpiSleep(s, n, c); },
     "//"},
};

// The text of a template found for this run, or nullopt (then the built-in text is used).
const Template* templateFor(PatternOutput& output, const Generator& generator,
                            const TestLogSettings& settings, Operation operation) {
  static constexpr std::string_view kNames[] = {"Write", "Read", "Sleep"};
  const std::string name =
      std::string(kNames[static_cast<size_t>(operation)]) + generator.templateSuffix;
  const std::optional<Template>& found = output.findTemplate(settings.inputPath, operation, name);
  return found ? &*found : nullptr;
}

void writeRegister(PatternOutput& output, const Generator& generator, TestLogSettings& settings,
                   const chip::RegisterParams& access) {
  const std::string comment = WriteComment(access.address, access.value);
  if (!output.available(settings.outputFile)) return;
  std::string text;
  if (const Template* found = templateFor(output, generator, settings, Operation::Write)) {
    text = found->text;
    const int32_t format = settings.outputFormat;
    if (generator.interface == kInterfaceI2C) {
      SubstituteBitMarkers(format, text, 'S', settings.i2cAddress, false, 0);
    }
    SubstituteBitMarkers(format, text, 'A', access.address, false, 0);
    SubstituteBitMarkers(format, text, 'D', access.value, false, 0);
    ExpandPlaceholders(settings, text, comment, found->path, nullptr);
  } else {
    text = generator.write(settings, access.address, access.value, comment);
  }
  output.append(settings.outputFile, text);
}

void readRegister(PatternOutput& output, const Generator& generator, TestLogSettings& settings,
                  const chip::RegisterParams& access, uint8_t mask) {
  const std::string comment = ReadComment(access.address, access.value, mask);
  if (!output.available(settings.outputFile)) return;
  std::string text;
  if (const Template* found = templateFor(output, generator, settings, Operation::Read)) {
    text = found->text;
    const int32_t format = settings.outputFormat;
    if (generator.interface == kInterfaceI2C) {
      SubstituteBitMarkers(format, text, 'S', settings.i2cAddress, false, 0);
    }
    SubstituteBitMarkers(format, text, 'A', access.address, false, 0);
    SubstituteBitMarkers(format, text, 'D', access.value, true, mask);
    ExpandPlaceholders(settings, text, comment, found->path, nullptr);
  } else {
    text = generator.read(settings, access.address, access.value, mask, comment);
  }
  output.append(settings.outputFile, text);
}

void writeSleep(PatternOutput& output, const Generator& generator, TestLogSettings& settings,
                uint32_t milliseconds) {
  const uint32_t cycles = SleepCycles(generator.interface, milliseconds);
  const std::string comment = SleepComment(milliseconds);
  if (!output.available(settings.outputFile)) return;
  std::string text;
  if (const Template* found = templateFor(output, generator, settings, Operation::Sleep)) {
    text = found->text;
    const std::string cycleText = std::to_string(cycles);
    ExpandPlaceholders(settings, text, comment, found->path, &cycleText);
  } else {
    text = generator.sleep(settings, cycles, comment);
  }
  output.append(settings.outputFile, text);
}

void writeCommentLine(PatternOutput& output, TestLogSettings& settings, std::string_view mark,
                      std::string_view text) {
  std::string line(mark);
  for (char c : text) line += (c == '\r' || c == '\n') ? ' ' : c;
  line += '\n';
  output.append(settings.outputFile, line);
}

}  // namespace

uint32_t SleepCycles(int32_t interface, uint32_t milliseconds) {
  const uint32_t perMillisecond =
      interface == kInterfaceSPI ? kSpiCyclesPerMillisecond : kI2cCyclesPerMillisecond;
  return (milliseconds % kWaitModulo) * perMillisecond;
}

std::string SleepComment(uint32_t milliseconds) {
  return app::Format(" ==> Sleep operation for %8u ms ", milliseconds % kWaitModulo);
}

std::string WriteComment(uint8_t address, uint8_t value) {
  return app::Format(" WR(h%02X,h%02X) ", address, value);
}

std::string ReadComment(uint8_t address, uint8_t expected, uint8_t mask) {
  return app::Format(" RD(h%02X,h%02X,h%02X) ", address, expected, mask);
}

bool HasGenerator(int32_t outputFormat, int32_t interface) {
  for (const Generator& generator : kGenerators) {
    if (generator.outputFormat == outputFormat && generator.interface == interface) return true;
  }
  return false;
}

void InstallGenerator(app::TestLogHooks& hooks, int32_t outputFormat, int32_t interface) {
  hooks = app::TestLogHooks{};
  for (const Generator& generator : kGenerators) {
    if (generator.outputFormat != outputFormat || generator.interface != interface) continue;
    const Generator* g = &generator;
    // The four writers share the open file and the templates until the next install.
    auto output = std::make_shared<PatternOutput>();
    hooks.writeHook = [g, output](TestLogSettings& s, const chip::RegisterParams& access) {
      writeRegister(*output, *g, s, access);
    };
    hooks.readHook = [g, output](TestLogSettings& s, const chip::RegisterParams& access,
                                 uint8_t mask) { readRegister(*output, *g, s, access, mask); };
    hooks.commentHook = [g, output](TestLogSettings& s, std::string_view text) {
      writeCommentLine(*output, s, g->commentMark, text);
    };
    hooks.sleepHook = [g, output](TestLogSettings& s, uint32_t milliseconds) {
      writeSleep(*output, *g, s, milliseconds);
    };
    return;
  }
}

}  // namespace kvt::testlog
