#pragma once

#include <cstdint>
#include <string>

#include "sim/field_setup.h"
#include "sim/line_faults.h"

// Command-line options of kvt-sim.
namespace kvt::sim {

struct SimOptions {
  bool help = false;
  bool showVersion = false;  // --version: print the program's version
  std::string link;          // --link PATH: a symbolic link to the pty, removed at exit
  uint8_t version = 0x28;    // --version-reg HEX: value of the version register 0x37
  bool testChip = false;     // --test-chip: test-chip address layout with bit-mirrored bytes
  FieldSetup field;          // --sim-card, --sim-empty and the fault options
  std::string trace;         // --trace FILE: the line's bytes and accesses; "-": standard error
  LineFaultOptions line;     // the --line-... faults of the line itself
  bool pace = false;         // --pace: each byte takes its time on the line at the current rate
  uint32_t latencyMs = 0;    // --latency MS: a USB adapter's delay before an answer can be read
};

// Reads argv[1..argc-1] into `options`. False with a one-line message in `error` for an
// unknown option, a missing or malformed value. Options take their value as the next
// argument or after '=' (--link=/tmp/kv380).
bool parseSimOptions(int argc, const char* const* argv, SimOptions& options, std::string& error);

// The --help text: what kvt-sim does and every option.
std::string simUsage();

}  // namespace kvt::sim
