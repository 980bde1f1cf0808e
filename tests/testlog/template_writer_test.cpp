// The operations' templates from the input folder, as the pattern writers use them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testlog/atf_generator.h"
#include "testlog/pattern_header.h"
#include "testlog_fixture.h"

namespace kvt::testlog::test {
namespace {

using TemplateWriterTest = TestLogFixture;

TEST_F(TemplateWriterTest, WriteTemplateTakesMarkersAndPlaceholders) {
  install(kFormatATF, kInterfaceI2C);
  settings.vectorNumber = 5;
  putTemplate("WriteI2C.atf",
              "%# Waveset1 1 : 000010 1UUUUUUU S611 H1UUUZ ; ! %c\n"
              "A4 D5D4 %t %x 100%\n");
  write(0x12, 0x34);
  // S6 of 0x2C is 0, A4 of 0x12 is 1, D5 and D4 of 0x34 are 1; %t has no text in a write.
  EXPECT_EQ(outputText(),
            "5 Waveset1 1 : 000010 1UUUUUUU 011 H1UUUZ ; !  WR(h12,h34)  \n"
            "1 11 %t %x 100%   \n");
  EXPECT_EQ(settings.vectorNumber, 5u);  // %# in .atf does not count
}

TEST_F(TemplateWriterTest, ReadTemplateChecksD3ByFormat) {
  putTemplate("ReadI2C.atf", "D3 S0 A0\n");
  putTemplate("ReadI2C.atp", "D3 D2 %#%#\n");
  install(kFormatATF, kInterfaceI2C);
  read(0x01, 0xFF, 0xF7);
  install(kFormatATP, kInterfaceI2C);
  settings.vectorNumber = 5;
  read(0x01, 0x0C, 0x0C);
  EXPECT_EQ(outputText(), "U 0 1   \nH H 56  \n");
  EXPECT_EQ(settings.vectorNumber, 7u);
}

TEST_F(TemplateWriterTest, SpiTemplatesHaveNoSlaveAddressMarkers) {
  install(kFormatATP, kInterfaceSPI);
  putTemplate("WriteSPI.atp", "S6 A5 D0 %c\n");
  putTemplate("ReadSPI.atp", "S6 A5 D0 %c\n");
  write(0x20, 0x01);
  read(0x20, 0x00, 0x00);
  EXPECT_EQ(outputText(), "S6 1 1  WR(h20,h01)   \nS6 1 X  RD(h20,h00,h00)   \n");
}

TEST_F(TemplateWriterTest, SleepTemplateGetsCyclesAndComment) {
  install(kFormatATF, kInterfaceSPI);
  putTemplate("SleepSPI.atf", "D1 repeat %t;%c|%f\n");
  sleep(70000);  // waits 4464 ms
  EXPECT_EQ(outputText(), "D1 repeat 111600000; ==> Sleep operation for     4464 ms |SleepSPI\n");
}

TEST_F(TemplateWriterTest, EachTemplateReplacesItsOwnOperationOnly) {
  install(kFormatATF, kInterfaceI2C);
  putTemplate("WriteI2C.atf", "W\n");
  write(1, 2);
  read(1, 2, 0xFF);
  comment("c");
  TestLogSettings reference = settings;
  reference.vectorNumber = 1;
  EXPECT_EQ(outputText(),
            "W\n" + atf::I2cRead(reference, 1, 2, 0xFF, " RD(h01,h02,hFF) ") + "!c\n");
}

TEST_F(TemplateWriterTest, TemplatesAreReadAsTextUpTo100000Characters) {
  install(kFormatATP, kInterfaceI2C);
  putTemplate("WriteI2C.atp", "a D0\r\nb\rc\r\n\r\n");
  write(0, 1);
  EXPECT_EQ(outputText(), "a 1 \nb\rc\n\n");
  std::string big;
  while (big.size() < 150000) big += "0123456789\r\n";
  putTemplate("WriteI2C.atp", big);
  std::filesystem::remove(output());
  write(0, 1);
  const std::string written = outputText();
  ASSERT_EQ(written.size(), 100000u);
  EXPECT_EQ(written.substr(0, 22), "0123456789\n0123456789\n");
}

TEST_F(TemplateWriterTest, MalformedTemplatesNeverBreakTheRun) {
  install(kFormatATF, kInterfaceI2C);
  // Binary bytes, a lone percent sign and a marker at the very end.
  const std::string junk("\0\xff%\x01S\0D", 7);
  putTemplate("WriteI2C.atf", junk + "%");
  putTemplate("ReadI2C.atf", "");
  std::filesystem::create_directory(templates() / "SleepI2C.atf");  // a folder, not a file
  write(0, 1);
  read(0, 1, 0xFF);
  sleep(1);
  const std::string written = outputText();
  EXPECT_EQ(written.substr(0, 8), junk + "%");  // an empty read template writes nothing
  EXPECT_EQ(written.substr(8),
            "       1 Waveset1     8334 :   000010 UUUUUUUU U11 H1UUUZ 0111 UUX; !  ==> Sleep "
            "operation for        1 ms  \n");
}

TEST_F(TemplateWriterTest, HeaderTemplatesNameTheOutputFileAndTime) {
  install(kFormatATF, kInterfaceI2C);
  settings.outputFile = (dir / "run7.atf").string();
  putTemplate("HeaderI2C.atf", "! %f started %t! S6S5S4S3S2S1S0\n! S0 %c|%#\n");
  WriteAtfHeader(context, settings, kTime);
  EXPECT_EQ(ReadFile(dir / "run7.atf"),
            "! run7 started Tue Mar 05 14:07:09 2024\n! 010110S0      \n"
            "! 0  ==> Header finished|1 \n");
  EXPECT_EQ(log.text(), "TestLog: Header file opened, preparing to configure output!\r\n");
  EXPECT_EQ(settings.vectorNumber, 1u);
  // In .atp the header's %# count.
  settings.outputFile = output().string();
  install(kFormatATP, kInterfaceSPI);
  putTemplate("HeaderSPI.atp", "%c|%#|%#\n");
  WriteAtpHeader(context, settings, kTime);
  EXPECT_EQ(outputText(), " ==> Header finished |1|2\n");
  EXPECT_EQ(settings.vectorNumber, 3u);
}

}  // namespace
}  // namespace kvt::testlog::test
