#pragma once

#include <string>

// Names whose spelling belongs to the operating system. One file per system defines them
// (platform/posix/native_names.cpp, platform/windows/native_names.cpp).
namespace kvt::platform {

// Folders and file names join with this separator.
extern const char kPathSeparator;

// The folder a user's template files are looked for in when no setting names one: the root of
// drive C on Windows, the working folder elsewhere (a POSIX system has no drive C).
extern const char* const kDefaultInputPath;

// The device port `index` (0 = "COM1:") opens when the start-up file maps it to none:
// /dev/ttyS<index> on POSIX systems, \\.\COM<index + 1> on Windows.
std::string defaultPortDevice(int index);

}  // namespace kvt::platform
