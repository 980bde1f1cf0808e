#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/serial_port.h"
#include "platform/shell.h"
#include "platform/view.h"

namespace kvt::chip {
class ISerialBus;
class IRegisterControl;
class ITransceiver;
class IOperationControl;
class IIso14443A;
class IKorvexReader;
class IPassivePolling;
class SerialBus;
class RegisterControl;
struct RegisterParams;
}  // namespace kvt::chip

namespace kvt::testlog {
struct TestLogSettings;
}  // namespace kvt::testlog

namespace kvt::app {

class Log;
class PortOpener;
class RunEvents;
struct AppState;

// What a window procedure hands to the action it calls for one message.
struct DialogContext {
  platform::View* owner = nullptr;      // the main window: status texts, menu, log pane
  platform::View* window = nullptr;     // the window whose message is handled
  platform::Shell* instance = nullptr;  // opens dialogs, file choosers, pop-up menus
  intptr_t lParam = 0;
  uintptr_t wParam = 0;  // low 16 bits: the control or menu id of a command
  AppState* app = nullptr;

  int commandId() const { return static_cast<int>(wParam & 0xFFFF); }
};

// The wParam of a command: the control or menu id in the low 16 bits, the notification code
// in the next 16.
constexpr uintptr_t PackCommand(int id, int notification) {
  return static_cast<uintptr_t>(id & 0xFFFF) |
         (static_cast<uintptr_t>(notification & 0xFFFF) << 16);
}

// The pattern writers the TestLog settings install and the register commands call, each with
// the TestLogSettings record first. Empty while no generator is installed.
struct TestLogHooks {
  std::function<void(testlog::TestLogSettings&, const chip::RegisterParams&)> writeHook;
  std::function<void(testlog::TestLogSettings&, const chip::RegisterParams&, uint8_t mask)>
      readHook;
  std::function<void(testlog::TestLogSettings&, std::string_view line)> commentHook;
  std::function<void(testlog::TestLogSettings&, uint32_t milliseconds)> sleepHook;
};

// Entry points of the subsystems built on top of the application core. The main window calls
// them for its commands; an empty one makes its command do nothing.
struct AppServices {
  // The command line: runs `line` on a fresh CommandInterpreter reporting to context.owner;
  // returns the LineResult (1 = LineDone, which puts the line into the history).
  std::function<int(const DialogContext&, std::string& line)> executeLine;
  std::function<void(const DialogContext&)> selectCommandFile;      // 1035, 40017
  std::function<void(const DialogContext&)> processCommandFile;     // 1036, 40008 (after purge)
  std::function<void(const DialogContext&)> printCommandReference;  // 40025
  std::function<void(const DialogContext&)> runTestLogDialog;       // 40026
  std::function<void(const DialogContext&)> runCardReaderDialog;    // 1045
};

// The one shared state record of the program. It lives for the whole run; the start-up code
// fills it, every window, dialog, command and the script runner reach it.
struct AppState {
  platform::Shell* instance = nullptr;
  platform::View* mainWindow = nullptr;
  std::atomic<platform::View*> processingDialog{nullptr};  // set and cleared by the runner side
  platform::View* registerDialog = nullptr;                // the modeless register dialog

  std::array<std::string, 8> portNames{
      "COM1:", "COM2:", "COM3:", "COM4:", "COM5:", "COM6:", "COM7:", "COM8:"};
  std::array<std::string, 3> baudNames{"9600", "19200", "115200"};
  std::string commandFilePath = "NULL";  // "NULL": no command file selected
  uint8_t portIndex = 0;                 // 0..7, the port Open uses
  uint8_t baudIndex = 0;                 // 0 (9600) or 2 (115200)

  // The open port (null while closed) and the view of it that everything else uses. Both are
  // changed only under chipLock.
  std::unique_ptr<platform::SerialPort> openPort;
  platform::SerialPort* port = nullptr;
  PortOpener* portOpener = nullptr;  // turns "COMn:" into a port; owned by the program
  bool portLossLogged = false;       // the loss of the open port is in the log (under chipLock)

  std::thread runnerThread;  // the script runner while a run is going on (or not yet reaped)

  Log* logBuffer = nullptr;  // the log behind the main window's pane; owned by the program

  uint8_t registerLogEnabled = 0;
  std::string registerAddressText = "00";
  std::string registerValueText = "00";
  bool monospaceFont = false;              // the toolkit gave the log pane a fixed-pitch font
  std::vector<platform::MenuItem> piMenu;  // programming interface pop-up, top first
  std::atomic<uint8_t> scriptRunning{0};   // 1 while a run may go on; Break clears it
  int32_t initialWidth = 0;
  int32_t initialHeight = 0;
  uint8_t piHidden = 1;

  int32_t historyIndex = 0;
  int32_t historyBrowsing = 0;
  std::vector<std::string> commandHistory;  // oldest first, at most 16
  int32_t suppressClose = 0;

  std::string startFilePath;  // kvt_start.cfg; also the INI file of the TestLog settings
  std::atomic<int32_t> resumeLine{0};
  testlog::TestLogSettings* testLog = nullptr;
  TestLogHooks testLogHooks;
  RunEvents* events = nullptr;  // told of every register access, compare and card step; may be null

  chip::IKorvexReader* korvexReader = nullptr;
  chip::IIso14443A* iso14443A = nullptr;
  chip::IOperationControl* operationControl = nullptr;
  chip::IPassivePolling* passivePolling = nullptr;
  chip::ITransceiver* transceiver = nullptr;
  chip::IRegisterControl* registerControl = nullptr;
  chip::ISerialBus* serialBus = nullptr;
  // The concrete bottom objects: port management hands them the port and the bit-order flags.
  chip::SerialBus* serialBusObject = nullptr;
  chip::RegisterControl* registerControlObject = nullptr;

  // Held around each whole chip operation (a register access, a dump, a card step, a script
  // line's access) and around every change of the port, so the register dialog and a running
  // script never interleave on the line. Recursive: an operation may call helpers that lock.
  std::recursive_mutex chipLock;

  AppServices services;
};

}  // namespace kvt::app
