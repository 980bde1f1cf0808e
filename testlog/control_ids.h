#pragma once

// Dialog 115 "Test Logging options" and its controls. The toolkit skins build their widgets
// with the same ids.
namespace kvt::testlog::id {

constexpr int TestLogDialog = 115;

constexpr int Activate = 1078;          // check box "&Activate Test Output"
constexpr int Interface = 1079;         // drop-down list "I2C", "SPI"
constexpr int InterfaceLabel = 1080;    // "&Interface"
constexpr int FormatLabel = 1081;       // "&OutputFormat"
constexpr int Format = 1082;            // drop-down list "ATF", "ATP"
constexpr int SelectOutputFile = 1083;  // "Select Output &File"
constexpr int OutputFileName = 1084;    // read-only: the output file's name and extension
constexpr int SelectInputPath = 1085;   // "Select Input &Path"
constexpr int InputPathName = 1086;     // read-only: the input folder
constexpr int I2cAddress = 1087;        // two hex digits
constexpr int I2cAddressLabel = 1088;   // "I&2C Address"
constexpr int HexPrefix = 1089;         // "0x"
constexpr int Ok = 219;                 // "O&K"

}  // namespace kvt::testlog::id
