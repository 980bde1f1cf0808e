#include "testlog/pattern_header.h"

#include <optional>
#include <string>

#include "app/log.h"
#include "testlog/atf_generator.h"
#include "testlog/atp_generator.h"
#include "testlog/pattern_file.h"
#include "testlog/pattern_output.h"
#include "testlog/template_expansion.h"

namespace kvt::testlog {

namespace {

std::string headerTemplatePath(const TestLogSettings& settings, int32_t format) {
  const char* extension = format == kFormatATF ? ".atf" : ".atp";
  if (settings.interface == kInterfaceI2C) {
    return TemplatePath(settings.inputPath, std::string("HeaderI2C") + extension);
  }
  if (settings.interface == kInterfaceSPI) {
    return TemplatePath(settings.inputPath, std::string("HeaderSPI") + extension);
  }
  return settings.inputPath;  // no header name for another interface: normally not a file
}

void writeHeader(const app::DialogContext& context, TestLogSettings& settings, int32_t format,
                 const std::string& timeText) {
  std::string text;
  if (std::optional<std::string> found = ReadTemplate(headerTemplatePath(settings, format))) {
    app::AppendLog(context, "TestLog: Header file opened, preparing to configure output!");
    text = std::move(*found);
    SubstituteBitMarkers(format, text, 'S', settings.i2cAddress, false, 0);
    ExpandPlaceholders(settings, text,
                       format == kFormatATF ? " ==> Header finished" : " ==> Header finished ",
                       settings.outputFile, &timeText);
  } else {
    app::AppendLog(context, "TestLog: Header file not found, initialization with default header!");
    text = format == kFormatATF ? atf::DefaultHeader(settings, timeText)
                                : atp::DefaultHeader(settings, timeText);
  }
  FlushPatternOutputs();  // the header follows whatever was recorded before it
  if (FileHandle out = OpenForAppend(settings.outputFile)) Write(out.get(), text);
}

}  // namespace

void WriteAtfHeader(const app::DialogContext& context, TestLogSettings& settings,
                    const std::string& timeText) {
  writeHeader(context, settings, kFormatATF, timeText);
}

void WriteAtpHeader(const app::DialogContext& context, TestLogSettings& settings,
                    const std::string& timeText) {
  writeHeader(context, settings, kFormatATP, timeText);
}

}  // namespace kvt::testlog
