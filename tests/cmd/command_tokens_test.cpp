#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmd/command_interpreter.h"
#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

using Tokens = std::vector<std::string>;

class TokenTest : public test::CommandFixture {
 protected:
  // Every token the reader finds in `text`, in order.
  Tokens tokens(std::string text) {
    interpreter.line = &text;
    interpreter.cursor = 0;
    Tokens found;
    std::array<char, kTokenSize> token;
    while (ReadToken(interpreter, token)) found.emplace_back(token.data());
    EXPECT_EQ(token[0], '\0') << "an absent token must read as empty";
    return found;
  }
  uint8_t resolve(const std::string& token) {
    return ResolveOperand(interpreter, token.c_str(), 1);
  }
  static constexpr const char* kOperandError =
      "Error: Invalid numeric format / parameter identifier.\r\n";
};

TEST_F(TokenTest, SeparatorsControlCharactersAndLongRuns) {
  const std::pair<std::string, Tokens> cases[] = {
      {"SR 1A 0F", {"SR", "1A", "0F"}},
      // Comma, semicolon, minus, dot, equals and '<' separate; lower-case letters do too.
      {"SR 12,34;56-78.9=A<B", {"SR", "12", "34", "56", "78", "9", "A", "B"}},
      {"sr 1a", {"1"}},
      {"\t//>\tX_Y#:", {"//>", "X_Y#:"}},
      {"   \t , ", {}},
      {"", {}},
      // Control characters other than tab, and bytes from 0x80 on, end the line.
      {"GR 01\r\nGR 02", {"GR", "01"}},
      {std::string("SR\0 01", 6), {"SR"}},
      {std::string("A\x1B") + "B", {"A"}},
      // A run longer than 31 characters is cut and skipped whole.
      {std::string(40, 'L') + " NEXT", {std::string(31, 'L'), "NEXT"}},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(tokens(line), expected) << line;
}

TEST_F(TokenTest, OperandsAreRegistersOrHexadecimalLiterals) {
  EXPECT_EQ(&ResolveOperand(interpreter, "ML3", 1), &interpreter.ML[3]);
  EXPECT_EQ(&ResolveOperand(interpreter, "IOR", 2), &interpreter.IOR);
  EXPECT_EQ(&ResolveOperand(interpreter, "IOE", 3), &interpreter.IOE);
  EXPECT_EQ(&ResolveOperand(interpreter, "12", 2), &interpreter.literalSlots[1]);
  // 123456789 saturates at 0x7FFFFFFF; in 0X the 0 is a digit.
  const std::pair<const char*, uint8_t> literals[] = {
      {"0X12", 0x12}, {"12G", 0x12}, {"13F", 0x3F},       {"1FF", 0xFF},
      {"100", 0x00},  {"0X", 0x00},  {"123456789", 0xFF},
  };
  for (const auto& [token, value] : literals) EXPECT_EQ(resolve(token), value) << token;
  EXPECT_EQ(logText(), "");
  // Unreadable operands read as 0 and are reported each time.
  for (const char* bad : {"", "G1", "ML8", "X12", "IORX"}) {
    interpreter.literalSlots[0] = 0x55;
    EXPECT_EQ(resolve(bad), 0) << bad;
  }
  EXPECT_EQ(interpreter.operandError, 1);
  std::string expected;
  for (int i = 0; i < 5; ++i) expected += kOperandError;
  EXPECT_EQ(logText(), expected);
}

TEST_F(TokenTest, DecimalParametersAreReadWithoutChecks) {
  const std::pair<const char*, int32_t> cases[] = {
      {"70000", 70000}, {"", 0}, {"ABC", 0}, {"12AB", 12}, {"99999999999999", 2147483647},
      {"0X10", 0},
  };
  for (const auto& [token, value] : cases) EXPECT_EQ(ReadDecimal(token), value) << token;
  EXPECT_EQ(logText(), "");
}

}  // namespace
}  // namespace kvt::cmd
