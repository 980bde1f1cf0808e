#include "platform/local_time.h"

namespace kvt::platform {

std::tm LocalTime(std::time_t time) {
  std::tm local{};
  localtime_s(&local, &time);
  return local;
}

}  // namespace kvt::platform
