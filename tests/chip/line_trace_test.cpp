#include "chip/line_trace.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chip/register_control.h"
#include "chip/serial_bus.h"
#include "chip/tracing_port.h"
#include "support/scripted_port.h"

namespace kvt::chip {
namespace {

using std::chrono::microseconds;

// The register stack on a scripted chip through a tracing port, the clock moving 100 us per
// byte, every piece the trace writes kept apart.
struct TracedStack : ::testing::Test {
  TracedStack() {
    auto owned = std::make_unique<test::ScriptedPort>();
    chip = owned.get();
    port = std::make_unique<TracingPort>(std::move(owned), trace);
    bus.setPort(port.get());
    control.Init(&bus);
  }
  Status set(uint8_t address, uint8_t value) {
    clock.advance(microseconds(100));
    RegisterParams params{address, value, nullptr};
    return control.SetRegister(&params);
  }
  Status get(uint8_t address) {
    clock.advance(microseconds(100));
    RegisterParams params{address, 0, nullptr};
    return control.GetRegister(&params);
  }

  platform::ManualClock clock;
  std::vector<std::string> pieces;
  LineTrace trace{[this](std::string_view text) { pieces.emplace_back(text); }, clock};
  test::ScriptedPort* chip = nullptr;
  std::unique_ptr<TracingPort> port;
  SerialBus bus;
  RegisterControl control;
};

TEST_F(TracedStack, EachAccessIsWrittenInOnePieceWithItsBytesAndWhatItDid) {
  chip->answer({0x19, 0x28, 0x18});
  EXPECT_EQ(set(0x19, 0x5A), status::Success);
  EXPECT_EQ(get(0x37), status::Success);
  EXPECT_NE(set(0x19, 0x01), status::Success);  // echo 18 instead of 19
  EXPECT_NE(get(0x37), status::Success);        // the chip stays silent
  port->setLineSettings(115200);
  chip->disconnect();
  EXPECT_NE(set(0x01, 0x02), status::Success);
  const std::vector<std::string> expected{
      "         100 > 19\n"
      "         100 > 5A\n"
      "         100 < 19     W 19 5A -> echo 19\n",
      "         200 > B7\n"
      "         200 < 28     R 37 -> 28\n",
      "         300 > 19\n"
      "         300 > 01\n"
      "         300 < 18     W 19 01 -> echo 18, not 19\n",
      "         400 > B7\n"
      "         400   ---    R 37 -> no answer\n",
      "         400 line at 115200 bit/s\n",
      "         500   ---    port lost\n",
  };
  EXPECT_EQ(pieces, expected);
}

}  // namespace
}  // namespace kvt::chip
