#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One fuzz target per file: KVT_FUZZ_TARGET(name) { ... } is the body that gets one input.
// Built for libFuzzer (KVT_LIBFUZZER) it is the program's LLVMFuzzerTestOneInput; otherwise
// it registers under `name` with the replay driver, which feeds it the committed corpus.
namespace kvt::fuzz {

using TargetFunction = int (*)(const uint8_t* data, size_t size);

// Registers a target with the replay driver; returns true so it can initialise a static.
bool RegisterTarget(const char* name, TargetFunction function);

// The input as text.
inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// True when `text` holds "SAV" in any case: that command appends the log to a file named by
// the line, which a fuzzer would fill without end.
bool NamesSaveLog(std::string_view text);

// Splits `text` at every `separator` (an empty last piece is kept).
std::vector<std::string> Split(std::string_view text, char separator);

// Makes a fresh folder of this process's own under the system's temporary folder, once, and
// makes it the working folder, so what a target writes stays there.
const std::string& PrivateFolder();

}  // namespace kvt::fuzz

#ifdef KVT_LIBFUZZER
#define KVT_FUZZ_TARGET(name) \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
#else
#define KVT_FUZZ_TARGET(name)                                     \
  static int FuzzTarget_##name(const uint8_t* data, size_t size); \
  [[maybe_unused]] static const bool kRegistered_##name =         \
      ::kvt::fuzz::RegisterTarget(#name, &FuzzTarget_##name);     \
  static int FuzzTarget_##name(const uint8_t* data, size_t size)
#endif
