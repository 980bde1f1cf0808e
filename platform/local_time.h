#pragma once

#include <ctime>

namespace kvt::platform {

// `time` broken down in the local time zone, thread-safe (no shared static buffer). One file
// per system implements it (platform/posix/local_time.cpp, platform/windows/local_time.cpp).
std::tm LocalTime(std::time_t time);

}  // namespace kvt::platform
