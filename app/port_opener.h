#pragma once

#include <memory>
#include <string>

#include "platform/serial_port.h"

namespace kvt::app {

// Turns the port names the program shows and stores ("COM1:" .. "COM8:") into open ports.
// The program's opener maps them to devices or to the built-in simulated chip; tests inject
// their own.
class PortOpener {
 public:
  struct Opened {
    std::unique_ptr<platform::SerialPort> port;  // null when the open failed
    int errorCode = 0;                           // the platform's error code of a failure
  };

  virtual ~PortOpener() = default;
  // Opens the port for exclusive use, raw 8N1 at 9600 bit/s, 500 ms read time-out.
  virtual Opened open(const std::string& portName) = 0;
  // Opens the port and closes it again at once: 0 when that worked, else the error code.
  virtual int verify(const std::string& portName) = 0;
  // What the name leads to, for people ("/dev/ttyUSB0", "sim"); empty when unknown.
  virtual std::string describe(const std::string& portName) { return {}; }
};

}  // namespace kvt::app
