// Request, anticollision and halt from the card reader dialog against the simulated chip.
#include <gtest/gtest.h>

#include "card_reader_fixture.h"
#include "chip/registers.h"

namespace kvt::cardreader::test {
namespace {

namespace reg = chip::reg;

using CardActivationTest = CardReaderTest;

TEST_F(CardActivationTest, FourByteCardAnswersAndAfterHaltOnlyWupaFindsItAgain) {
  addDefaultCard();
  open();
  click(id::Request);
  click(id::AnticollisionSelect);
  EXPECT_EQ(session.sak, 0x08);
  EXPECT_EQ(view.text(id::LogPane), log.text());  // the dialog shows the log in its own pane
  click(id::Halt);
  // The halt's short reload is replaced by the opening's again.
  EXPECT_EQ(chip.peek(reg::TimerReloadLow), 0xE8);
  EXPECT_EQ(chip.peek(reg::TimerReloadHigh), 0x03);
  click(id::Request);
  choose(id::RequestCode, 1);
  click(id::RequestAndSelect);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "Request(0x26, 0x0400) --> Status: 0x0000",
                            "Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000",
                            "Halt(0x50, 0x00) --> Status: 0x0000",
                            "Request(0x26, 0x0000) --> Status: 0x0001",
                            "Request(0x52, 0x0400) --> Status: 0x0000",
                            "Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000",
                        }));
}

TEST_F(CardActivationTest, LongerUidsShowWithoutCascadeTagsAndAnEmptyFieldFallsBack) {
  const std::pair<Bytes, std::vector<std::string>> cases[] = {
      {{0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6},
       {"Request(0x26, 0x4400) --> Status: 0x0000",
        "Anticollision/Select(0x93, 0x08, 0x045162738495A6) --> Status: 0x0000"}},
      {{0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x08, 0x99},
       {"Request(0x26, 0x8400) --> Status: 0x0000",
        "Anticollision/Select(0x93, 0x08, 0x04112233445566770899) --> Status: 0x0000"}},
      {{},
       {"Request(0x26, 0x0000) --> Status: 0x0001",
        "Anticollision/Select(0x93, 0x00, 0x00000000) --> Status: 0x0001"}}};
  open();
  for (const auto& [uid, lines] : cases) {
    chip.field().clear();
    if (!uid.empty()) addCard(uid);
    clearLog();
    click(id::RequestAndSelect);
    EXPECT_EQ(logLines(), lines) << lines.back();
  }
}

TEST_F(CardActivationTest, EachStepSetsItsAnswerTimeFirst) {
  addDefaultCard();
  open();
  click(id::Request);
  EXPECT_EQ(chip.peek(reg::TimerReloadLow), 0x03);
  EXPECT_EQ(chip.peek(reg::TimerReloadHigh), 0x00);
  click(id::AnticollisionSelect);
  click(id::AuthenticateA);
  EXPECT_EQ(chip.peek(reg::TimerReloadLow), 0x64);
  click(id::Read);
  EXPECT_EQ(chip.peek(reg::TimerReloadLow), 0x32);
}

TEST_F(CardActivationTest, SilentChipReportsTheTimerAndTheStep) {
  open();
  recorder->port.disconnect();
  clearLog();
  click(id::Request);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "Timeout Setting Errornous(Status: 0x7E03",
                            "Request(0x26, 0x0000) --> Status: 0x7E03",
                        }));
}

}  // namespace
}  // namespace kvt::cardreader::test
