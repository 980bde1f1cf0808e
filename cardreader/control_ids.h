#pragma once

// Ids of the "Korvex Reader" dialog and its controls. The toolkit skins build their widgets
// with the same ids.
namespace kvt::cardreader::id {

constexpr int CardReaderDialog = 114;

// Type A activation.
constexpr int Request = 205;              // "Re&quest"
constexpr int RequestCode = 1064;         // "0x26 (REQA)", "0x52 (WUPA)"
constexpr int AnticollisionSelect = 208;  // "Anticollision&Select"
constexpr int RequestAndSelect = 204;     // "Reques&t + AnticollisionSelect"
constexpr int Halt = 201;                 // "&Halt"

// Korvex commands.
constexpr int Block = 236;          // 256 entries: block or page number = entry index
constexpr int KeyA = 212;           // 12 hex digits
constexpr int AuthenticateA = 209;  // "Auth&ent A"
constexpr int KeyB = 213;           // 12 hex digits
constexpr int AuthenticateB = 214;  // "Authe&nt B"
constexpr int Hex = 215;            // 32 hex digits: data for the writes, result of a read
constexpr int Read = 224;           // "&Read"
constexpr int Write = 225;          // "&Write"
constexpr int WriteKl = 217;        // "Write &KL"

constexpr int LogPane = 1076;
constexpr int SamMode = 1077;  // "SIGIN/SIGOUT" check box
constexpr int Exit = 218;      // "E&xit"

}  // namespace kvt::cardreader::id
