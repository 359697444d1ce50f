#include "base/SystemClock.h"

namespace kestrum {

TDateTime SystemNow() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  SystemLocalTime(ts.tv_sec, local);
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, second, static_cast<int>(ts.tv_nsec / 1000000));
}

bool SystemLocalTime(int64_t ASeconds, std::tm& ALocal) {
  const auto seconds = static_cast<time_t>(ASeconds);
  return seconds == ASeconds && localtime_r(&seconds, &ALocal) != nullptr;
}

}  // namespace kestrum
