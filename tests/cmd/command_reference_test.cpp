#include "cmd/command_reference.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/log.h"
#include "cmd_fixture.h"

namespace kvt::cmd {
namespace {

using Lines = std::vector<std::string>;

class CommandReferenceTest : public test::CommandFixture {
 protected:
  Lines print() {
    app::AppendLog(context, "old text", true);
    PrintCommandReference(context);
    return logLines();
  }
  // The lines from `first` on, `count` of them.
  static Lines slice(const Lines& lines, const std::string& first, std::size_t count) {
    auto start = std::find(lines.begin(), lines.end(), first);
    if (start == lines.end()) return {};
    const std::size_t offset = static_cast<std::size_t>(start - lines.begin());
    return Lines(start, start + static_cast<long>(std::min(count, lines.size() - offset)));
  }
};

TEST_F(CommandReferenceTest, ReplacesTheLogAndEndsWithAnUnderscore) {
  const Lines lines = print();
  ASSERT_EQ(lines.size(), 143u);
  EXPECT_EQ(lines.front(), "S A R V E L   C O M M A N D S :");
  EXPECT_EQ(lines[1], " ");
  EXPECT_EQ(lines.back(), "_");
  EXPECT_EQ(logText().substr(logText().size() - 3), "_\r\n");
  for (const std::string& line : lines) EXPECT_FALSE(line.empty()) << "blank lines hold a space";
}

TEST_F(CommandReferenceTest, AnEntryIsCommandSynopsisDescriptionAndABlankLine) {
  EXPECT_EQ(slice(print(), "Command:  SR", 6),
            (Lines{"Command:  SR", "Synopsis: SR <address> <data>", "Description:",
                   "The SR function sets a Sarvel register, located at address <address>",
                   "according to data <data>, both specified as an 8-bit HEX value.", " "}));
}

TEST_F(CommandReferenceTest, TwoBlankLinesSeparateTheSections) {
  EXPECT_EQ(slice(print(), "Command:  RF", 10),
            (Lines{"Command:  RF", "Synopsis: RF <address> <data> <mask>", "Description:",
                   "The RF function compares a Sarvel register, located at address <address> to",
                   "data, specified in the <data> parameter, AND'ed with the content of <mask>.",
                   "If equal, IOR is 0, otherwise 1. All values are in 8-bit HEX format.", " ", " ",
                   "A P P L I C A T I O N   C O M M A N D S :", " "}));
}

TEST_F(CommandReferenceTest, TheTextKeepsItsOwnWording) {
  const Lines lines = print();
  EXPECT_EQ(slice(lines, "Command:  BRK", 5),
            (Lines{"Command:  BRK", "Synopsis: BRK", "Description:",
                   "The BRK function stopps the execution of the current script.", " "}));
  EXPECT_EQ(slice(lines, "Command:  SAV", 18),
            (Lines{"Command:  SAV", "Synopsis: SAV [<File Name>]", "Description:",
                   "The SAV function stores the log output to the current working directory.",
                   "The File Name is used if present (max. length of 32 char). If no parameter is",
                   "present a file dialog is opened to specifiy the location and the name.", " ",
                   " ", "U S E R   R E G I S T E R S :", " ",
                   "User registers are divided into special purpose registers IOR and IOE",
                   "and general purpose registers MLn, where n = 0..7. The special purpose",
                   "register IOR contains the result (data, if any) of an I/O operation.",
                   "IOE is the error register, zero means success, one failure.", "_"}));
  EXPECT_EQ(slice(lines, "Command:  CHB", 5).back(),
            "Possible values are: {9600, 19200, 38400, 57600, 115200}.");
}

TEST_F(CommandReferenceTest, EveryCommandIsDocumentedInTableOrder) {
  Lines commands;
  for (const std::string& line : print()) {
    if (line.rfind("Command:  ", 0) == 0) commands.push_back(line.substr(10));
  }
  EXPECT_EQ(commands,
            (Lines{"SR",  "GR",  "MR",  "RE",  "RF",  "CHB", "WIE", "WIL", "SLP", "CLL", "//",
                   "//>", "//#", "JMP", "JNE", ":::", "MOV", "INC", "DEC", "BRK", "SAV"}));
}

}  // namespace
}  // namespace kvt::cmd
