// Request, anticollision and halt from the card reader dialog against the simulated chip.
#include <gtest/gtest.h>

#include "card_reader_fixture.h"
#include "chip/registers.h"

namespace kvt::cardreader::test {
namespace {

namespace reg = chip::reg;

using CardActivationTest = CardReaderTest;

TEST_F(CardActivationTest, FourByteCardAnswersRequestAndSelect) {
  addDefaultCard();
  open();
  click(id::Request);
  click(id::AnticollisionSelect);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "Request(0x26, 0x0400) --> Status: 0x0000",
                            "Anticollision/Select(0x93, 0x08, 0xC43B9E12) --> Status: 0x0000",
                        }));
  EXPECT_EQ(session.sak, 0x08);
  EXPECT_EQ(session.atqa, (std::array<uint8_t, 2>{0x04, 0x00}));
  // The dialog shows the log in its own pane.
  EXPECT_EQ(view.text(id::LogPane), log.text());
}

TEST_F(CardActivationTest, SevenAndTenByteCardsShowTheirUidWithoutCascadeTags) {
  addCard({0x04, 0x51, 0x62, 0x73, 0x84, 0x95, 0xA6});
  open();
  click(id::RequestAndSelect);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "Request(0x26, 0x4400) --> Status: 0x0000",
                            "Anticollision/Select(0x93, 0x08, 0x045162738495A6) --> Status: 0x0000",
                        }));
  EXPECT_EQ(session.serial[0], 0x88);  // the cascade tag stays in the session

  chip.field().clear();
  addCard({0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x08, 0x99});
  clearLog();
  click(id::RequestAndSelect);
  EXPECT_EQ(logLines(),
            (std::vector<std::string>{
                "Request(0x26, 0x8400) --> Status: 0x0000",
                "Anticollision/Select(0x93, 0x08, 0x04112233445566770899) --> Status: 0x0000",
            }));
}

TEST_F(CardActivationTest, EmptyFieldGivesTheFallBackLineWithTheFailure) {
  open();
  click(id::RequestAndSelect);
  EXPECT_EQ(logLines(), (std::vector<std::string>{
                            "Request(0x26, 0x0000) --> Status: 0x0001",
                            "Anticollision/Select(0x93, 0x00, 0x00000000) --> Status: 0x0001",
                        }));
}

TEST_F(CardActivationTest, WupaWakesAHaltedCardAndReqaDoesNot) {
  addDefaultCard();
  open();
  click(id::RequestAndSelect);
  click(id::Halt);
  // The halt's short reload is replaced by the opening's again.
  EXPECT_EQ(chip.peek(reg::TimerReloadLow), 0xE8);
  EXPECT_EQ(chip.peek(reg::TimerReloadHigh), 0x03);
  click(id::Request);
  chooseRequest(1);
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

TEST_F(CardActivationTest, EachStepSetsItsAnswerTimeFirst) {
  addDefaultCard();
  open();
  click(id::Request);
  EXPECT_EQ(chip.peek(reg::TimerReloadLow), 0x03);
  EXPECT_EQ(chip.peek(reg::TimerReloadHigh), 0x00);
  EXPECT_EQ(chip.peek(reg::TimerPrescalerLow), 0xA5);
  EXPECT_EQ(chip.peek(reg::TimerMode) & 0x9F, 0x82);  // automatic start, prescaler high bits
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
