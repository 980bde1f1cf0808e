#include "app/register_dump.h"

#include <gtest/gtest.h>

#include "app/serial_ports.h"
#include "app/text_format.h"
#include "app_fixture.h"
#include "chip/registers.h"

namespace kvt::app {
namespace {

const std::string kHeader = "    0  1  2  3  4  5  6  7   8  9  A  B  C  D  E  F";

// A row as a person reads it: "P<n> ", eight cells, one more blank, eight cells, two blanks.
std::string row(int number, const std::vector<std::string>& cells) {
  std::string line = "P" + std::to_string(number) + " ";
  for (int i = 0; i < 16; ++i) {
    line += cells[i];
    line += (i == 7 || i == 15) ? "  " : " ";
  }
  return line;
}

// A silent or failing chip is checked by the main_window_dump_* files of tests/app/dialogs.
using RegisterDumpTest = test::AppFixture;

TEST_F(RegisterDumpTest, DumpsTheSimulatedChipAsFourRowsWithTheFifoRegisterUnread) {
  connectSimulatedChip();
  OpenPort(context);
  for (unsigned r = 0; r < chip::reg::Count; ++r) chip.poke(r, static_cast<uint8_t>(0xA0 ^ r * 7));
  // What the chip shows for each register (some registers show the chip's own state).
  std::vector<uint8_t> shown;
  for (unsigned r = 0; r < chip::reg::Count; ++r) shown.push_back(chip.peek(r));
  simulatedPort()->setTracing(true);

  EXPECT_EQ(DumpRegisters(context), chip::status::Success);

  std::string expected = "Registersetting : \r\n" + kHeader + "\r\n";
  for (int p = 0; p < 4; ++p) {
    std::vector<std::string> cells;
    for (unsigned c = 0; c < 16; ++c) {
      const unsigned r = p * 16 + c;
      cells.push_back(r == chip::reg::FifoData ? "xx" : Format("%02x", shown[r]));
    }
    const std::string line = row(p, cells);
    ASSERT_EQ(line.size(), 53u);
    expected += line + "\r\n";
  }
  EXPECT_EQ(logText(), expected);

  // The probe plus 63 register reads; the FIFO register is never asked for.
  int reads = 0;
  for (const auto& entry : simulatedPort()->takeTrace()) {
    if (!entry.fromHost) continue;
    ++reads;
    EXPECT_NE(entry.byte, 0x80 | chip::reg::FifoData);
  }
  EXPECT_EQ(reads, 64);
}

}  // namespace
}  // namespace kvt::app
