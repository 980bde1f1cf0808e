#pragma once

// Ids of the application core's dialogs, their controls and menu items. The toolkit skins
// build their widgets with the same ids.
namespace kvt::app::id {

// Dialogs.
constexpr int MainWindowDialog = 101;
constexpr int AboutDialog = 104;
constexpr int PortSettingsDialog = 105;
constexpr int RegisterDialog = 106;

// Main window (dialog 101): buttons, edits, labels.
constexpr int Process = 5;  // "&Process", the default button of the command line
constexpr int LogPane = 1014;
constexpr int PortName = 1010;
constexpr int HostSpeed = 1011;
constexpr int OpenClosed = 1012;
constexpr int OperationStatus = 1013;
constexpr int BitOrder = 1015;
constexpr int CommandLine = 1018;
constexpr int OpenButton = 1032;
constexpr int CloseButton = 1033;
constexpr int AllTo115k = 1034;
constexpr int SelectScf = 1035;
constexpr int ProcessScf = 1036;
constexpr int OverrideName = 1039;
constexpr int RegisterIo = 1041;
constexpr int PiButton = 1042;  // "C++ &Interface"
constexpr int DumpRegister = 1044;
constexpr int KorvexReader = 1045;

// Main window menu (102).
constexpr int MenuExit = 40001;
constexpr int MenuInfo = 40002;
constexpr int MenuSettings = 40003;
constexpr int MenuOpen = 40005;
constexpr int MenuClose = 40006;
constexpr int MenuAccessRegister = 40007;
constexpr int MenuProcessCommandFile = 40008;
constexpr int MenuHost9600 = 40010;
constexpr int MenuHost115200 = 40014;
constexpr int MenuSaveLog = 40015;
constexpr int MenuClearLog = 40016;
constexpr int MenuSelectCommandFile = 40017;
constexpr int MenuCommands = 40025;
constexpr int MenuTestLog = 40026;

// Commands that do not come from a control.
constexpr int ScriptEnded = 50499;  // the "Processing..." dialog has closed
constexpr int PiFirst = 50500;      // programming interface actions
constexpr int PiLast = 50532;

// Port settings dialog (105).
constexpr int PortList = 1005;
constexpr int Verify = 1007;
constexpr int VerifyResult = 1009;
constexpr int TestChip = 1027;
constexpr int Apply = 1001;
constexpr int Discard = 3;

// Register access dialog (106).
constexpr int RegAddress = 1017;
constexpr int RegValue = 1016;
constexpr int RegBinary = 1022;
constexpr int RegSet = 3;
constexpr int RegGet = 4;
constexpr int RegLogEnable = 1027;
constexpr int RegLogClear = 1020;
constexpr int RegResult = 1024;
constexpr int RegQuit = 1015;

// About dialog (104).
constexpr int AboutOk = 1;

}  // namespace kvt::app::id
