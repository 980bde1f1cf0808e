#include "cmd/command_interpreter.h"

#include <cstring>
#include <limits>

#include "app/log.h"
#include "platform/hex_text.h"

namespace kvt::cmd {

namespace {

constexpr const char* kRegisterNames[] = {"IOR", "IOE", "ML0", "ML1", "ML2",
                                          "ML3", "ML4", "ML5", "ML6", "ML7"};

uint8_t* userRegister(CommandInterpreter& interpreter, const char* token) {
  // Every name is three letters starting with I or M; most operands are hex numbers.
  if ((token[0] != 'I' && token[0] != 'M') || token[1] == '\0' || token[2] == '\0' ||
      token[3] != '\0') {
    return nullptr;
  }
  for (int i = 0; i < 10; ++i) {
    if (std::strcmp(token, kRegisterNames[i]) != 0) continue;
    if (i == 0) return &interpreter.IOR;
    if (i == 1) return &interpreter.IOE;
    return &interpreter.ML[static_cast<std::size_t>(i - 2)];
  }
  return nullptr;
}

// A digit of base 10 or 16; -1 for anything else.
int digitValue(char c, int base) {
  const int value = platform::HexDigitValue(c);
  return value < base ? value : -1;
}

bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// strtol with a 32-bit long: leading white space, an optional sign, for base 16 an optional
// "0x" prefix, then digits; out-of-range values saturate. False when no digit was read.
bool readLong(const char* text, int base, int32_t& value) {
  value = 0;
  const char* p = text;
  while (isSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && digitValue(p[2], 16) >= 0) {
    p += 2;
  }
  int64_t magnitude = 0;
  bool any = false;
  for (int digit; (digit = digitValue(*p, base)) >= 0; ++p) {
    any = true;
    magnitude = magnitude * base + digit;
    if (magnitude > int64_t{1} << 32) magnitude = int64_t{1} << 32;  // saturated anyway
  }
  if (!any) return false;
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
  const int64_t signedValue = negative ? -magnitude : magnitude;
  value = static_cast<int32_t>(signedValue > kMax ? kMax : signedValue < kMin ? kMin : signedValue);
  return true;
}

}  // namespace

bool IsTokenCharacter(unsigned char c) {
  return c == '/' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '>' || c == ':' ||
         c == '#' || c == '_';
}

bool EndsLine(unsigned char c) { return (c < 0x20 && c != '\t') || c >= 0x80; }

bool ReadToken(CommandInterpreter& interpreter, std::array<char, kTokenSize>& token) {
  token.fill('\0');
  const std::string& line = *interpreter.line;
  std::size_t& cursor = interpreter.cursor;
  auto at = [&](std::size_t i) -> unsigned char { return i < line.size() ? line[i] : '\0'; };
  while (!IsTokenCharacter(at(cursor))) {
    if (EndsLine(at(cursor))) return false;
    ++cursor;
  }
  const std::size_t start = cursor;
  while (IsTokenCharacter(at(cursor))) ++cursor;
  const std::size_t length = std::min(cursor - start, kTokenSize - 1);
  line.copy(token.data(), length, start);
  return true;
}

uint8_t& ResolveOperand(CommandInterpreter& interpreter, const char* token, int position) {
  if (uint8_t* cell = userRegister(interpreter, token)) return *cell;
  uint8_t& slot = interpreter.literalSlots[static_cast<std::size_t>(position - 1)];
  int32_t value = 0;
  if (!ReadHexadecimal(token, value)) {
    interpreter.operandError = 1;
    slot = 0;
    app::AppendLog(interpreter.context, "Error: Invalid numeric format / parameter identifier.",
                   true);
    return slot;
  }
  slot = static_cast<uint8_t>(value & 0xFF);
  return slot;
}

int32_t ReadDecimal(const char* token) {
  int32_t value = 0;
  readLong(token, 10, value);
  return value;
}

bool ReadHexadecimal(const char* token, int32_t& value) { return readLong(token, 16, value); }

}  // namespace kvt::cmd
