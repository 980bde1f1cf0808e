#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmd/command_interpreter.h"
#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

class TokenTest : public test::CommandFixture {
 protected:
  // Every token the reader finds in `text`, in order.
  std::vector<std::string> tokens(std::string text) {
    interpreter.line = &text;
    interpreter.cursor = 0;
    std::vector<std::string> found;
    std::array<char, kTokenSize> token;
    while (ReadToken(interpreter, token)) found.emplace_back(token.data());
    EXPECT_EQ(token[0], '\0') << "an absent token must read as empty";
    return found;
  }
  uint8_t resolve(const std::string& token, int position = 1) {
    return ResolveOperand(interpreter, token.c_str(), position);
  }
  static constexpr const char* kOperandError =
      "Error: Invalid numeric format / parameter identifier.\r\n";
};

using Tokens = std::vector<std::string>;

TEST_F(TokenTest, TokenCharactersAndSeparators) {
  EXPECT_EQ(tokens("SR 1A 0F"), (Tokens{"SR", "1A", "0F"}));
  // Comma, semicolon, minus, dot, equals and '<' separate; lower-case letters do too.
  EXPECT_EQ(tokens("SR 12,34;56-78.9=A<B"), (Tokens{"SR", "12", "34", "56", "78", "9", "A", "B"}));
  EXPECT_EQ(tokens("sr 1a"), (Tokens{"1"}));
  EXPECT_EQ(tokens("\t//>\tX_Y#:"), (Tokens{"//>", "X_Y#:"}));
  EXPECT_EQ(tokens("   \t , "), Tokens{});
  EXPECT_EQ(tokens(""), Tokens{});
}

TEST_F(TokenTest, ControlCharactersAndHighBytesEndTheLine) {
  EXPECT_EQ(tokens("GR 01\r\nGR 02"), (Tokens{"GR", "01"}));
  EXPECT_EQ(tokens("// CAF\xC9 GR 02"), (Tokens{"//", "CAF"}));
  EXPECT_EQ(tokens(std::string("SR\0 01", 6)), (Tokens{"SR"}));
  EXPECT_EQ(tokens("A\x1B"
                   "B"),
            (Tokens{"A"}));
}

TEST_F(TokenTest, ALongRunIsCutTo31CharactersAndSkippedWhole) {
  const std::string forty(40, 'L');
  EXPECT_EQ(tokens(forty + " NEXT"), (Tokens{std::string(31, 'L'), "NEXT"}));
}

TEST_F(TokenTest, RegisterNamesAndHexadecimalLiterals) {
  interpreter.ML[3] = 0x77;
  interpreter.IOR = 0x11;
  EXPECT_EQ(&ResolveOperand(interpreter, "ML3", 1), &interpreter.ML[3]);
  EXPECT_EQ(&ResolveOperand(interpreter, "IOR", 2), &interpreter.IOR);
  EXPECT_EQ(&ResolveOperand(interpreter, "IOE", 3), &interpreter.IOE);
  EXPECT_EQ(&ResolveOperand(interpreter, "12", 2), &interpreter.literalSlots[1]);
  EXPECT_EQ(resolve("0X12"), 0x12);
  EXPECT_EQ(resolve("12G"), 0x12);
  EXPECT_EQ(resolve("13F"), 0x3F);
  EXPECT_EQ(resolve("1FF"), 0xFF);
  EXPECT_EQ(resolve("100"), 0x00);
  EXPECT_EQ(resolve("123456789"), 0xFF);  // saturates at 0x7FFFFFFF
  EXPECT_EQ(resolve("0X"), 0x00);         // the 0 is a digit
  EXPECT_EQ(resolve("IORX"), 0x00) << "not a register name, and not a number either";
  EXPECT_EQ(interpreter.operandError, 1);
  EXPECT_EQ(logText(), kOperandError);
}

TEST_F(TokenTest, UnreadableOperandsAreReportedEachTime) {
  for (const char* bad : {"", "G1", "ML8", "X12"}) {
    interpreter.literalSlots[0] = 0x55;
    EXPECT_EQ(resolve(bad), 0) << bad;
  }
  EXPECT_EQ(interpreter.operandError, 1);
  std::string expected;
  for (int i = 0; i < 4; ++i) expected += kOperandError;
  EXPECT_EQ(logText(), expected);
}

TEST_F(TokenTest, DecimalParametersAreReadWithoutChecks) {
  EXPECT_EQ(ReadDecimal("70000"), 70000);
  EXPECT_EQ(ReadDecimal(""), 0);
  EXPECT_EQ(ReadDecimal("ABC"), 0);
  EXPECT_EQ(ReadDecimal("12AB"), 12);
  EXPECT_EQ(ReadDecimal("99999999999999"), 2147483647);
  EXPECT_EQ(ReadDecimal("0X10"), 0);
  EXPECT_EQ(logText(), "");
}

}  // namespace
}  // namespace kvt::cmd
