#include "cmd/command_reference_text.h"

namespace kvt::cmd {

namespace {

const ReferenceEntry kChipCommands[] = {
    {"Command:  SR",
     "Synopsis: SR <address> <data>",
     {"The SR function sets a Sarvel register, located at address <address>",
      "according to data <data>, both specified as an 8-bit HEX value."}},
    {"Command:  GR",
     "Synopsis: GR <address>",
     {"The GR function gets data from a Sarvel register, located at",
      "address <address> (8-bit HEX). The retrieved value is stored in IOR."}},
    {"Command:  MR",
     "Synopsis: MR <address> <mask> <set>",
     {"The MR function modifies a Sarvel register, located at address <address>.",
      "The mask <mask> specifies which bits to modify by having the corresponding bits",
      "set. If the <set> parameter is nonzero, the corresponding bits are set, otherwise",
      "cleared. All values are in 8-bit HEX format."}},
    {"Command:  RE",
     "Synopsis: RE <address> <data>",
     {"The RE function compares a Sarvel register, located at address <address> to",
      "data, specified in the <data> parameter. If equal, IOR is 0, otherwise 1.",
      "All values are in 8-bit HEX format."}},
    {"Command:  RF",
     "Synopsis: RF <address> <data> <mask>",
     {"The RF function compares a Sarvel register, located at address <address> to",
      "data, specified in the <data> parameter, AND'ed with the content of <mask>.",
      "If equal, IOR is 0, otherwise 1. All values are in 8-bit HEX format."}},
};

const ReferenceEntry kApplicationCommands[] = {
    {"Command:  CHB",
     "Synopsis: CHB <bitrate>",
     {"The CHB function sets the <bitrate> (in bps) of the PC serial port.",
      "Possible values are: {9600, 19200, 38400, 57600, 115200}."}},
    {"Command:  WIE",
     "Synopsis: WIE <timeout_ms>",
     {"The WIE function waits for an edge at the serial port's RI pin.",
      "Maximum waiting time is specified by <timeout_ms>, in [ms].",
      "This function should be used with caution only (not recommended)."}},
    {"Command:  WIL",
     "Synopsis: WIL <level> <timeout_ms>",
     {"The WIL function waits for the serial port's RI pin to reach a certain",
      "logical level, specified by <level>, (= {0, 1}) Maximum waiting time",
      "is specified by <timeout_ms>, in [ms]. This is the preferred intr. function."}},
    {"Command:  SLP",
     "Synopsis: SLP <timeout_ms>",
     {"The SLP function waits for the time is specified by <timeout_ms>, in [ms]", "to expire."}},
    {"Command:  CLL",
     "Synopsis: CLL",
     {"The CLL function removes all content from the application's LOG window."}},
    {"Command:  //",
     "Synopsis: // <Comment Text>",
     {"The // function does nothing but allow comments being added to a script.",
      "The text <Comment Text> must be separated from the command by at least one blank."}},
    {"Command:  //>",
     "Synopsis: //> <Message Text>",
     {"The //> function allows messages to be displayed during script execution.",
      "The text <Message Text> must be separated from the command by at least one blank."}},
    {"Command:  //#",
     "Synopsis: //# <data>",
     {"The //# function allows data to be displayed during script execution.",
      "The <data> parameter can be either plain data (8-bit HEX) or a User Register."}},
    {"Command:  JMP",
     "Synopsis: JMP <destination>",
     {"The JMP function skips script commands until a label with the name <destination>",
      "is found. The label name <destination> should contain only {a..z, A..Z, _}."}},
    {"Command:  JNE",
     "Synopsis: JNE <value> <compare_value> <destination>",
     {"The JNE function compares User Register or plain data <value> to",
      "<compare_value>. If unequal, the function skips script commands until",
      "a label with the name <destination> is found. Data are in 8-bit HEX format."}},
    {"Command:  :::",
     "Synopsis: ::: <destination>",
     {"The ::: function is the <destination> of the JUMP commands.",
      "The label name <destination> should contain only {a..z, A..Z, _}."}},
    {"Command:  MOV",
     "Synopsis: MOV <destination> <source>",
     {"The MOV function copies User Register or plain data from <source>",
      "to <destination>. Data are in 8-bit HEX format."}},
    {"Command:  INC",
     "Synopsis: INC <user_register>",
     {"The INC function increments a user register."}},
    {"Command:  DEC",
     "Synopsis: DEC <user_register>",
     {"The DEC function decrements a user register."}},
    {"Command:  BRK",
     "Synopsis: BRK",
     {"The BRK function stopps the execution of the current script."}},
    {"Command:  SAV",
     "Synopsis: SAV [<File Name>]",
     {"The SAV function stores the log output to the current working directory.",
      "The File Name is used if present (max. length of 32 char). If no parameter is",
      "present a file dialog is opened to specifiy the location and the name."}},
};

const char* const kUserRegisters[] = {
    "User registers are divided into special purpose registers IOR and IOE",
    "and general purpose registers MLn, where n = 0..7. The special purpose",
    "register IOR contains the result (data, if any) of an I/O operation.",
    "IOE is the error register, zero means success, one failure.",
};

const ReferenceSection kSections[] = {
    {"S A R V E L   C O M M A N D S :", kChipCommands},
    {"A P P L I C A T I O N   C O M M A N D S :", kApplicationCommands},
};

}  // namespace

std::span<const ReferenceSection> CommandReferenceSections() { return kSections; }

const char* UserRegistersTitle() { return "U S E R   R E G I S T E R S :"; }

std::span<const char* const> UserRegisterLines() { return kUserRegisters; }

}  // namespace kvt::cmd
