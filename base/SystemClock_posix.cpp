#include "base/SystemClock.h"

#include <ctime>

namespace kestrum {

TDateTime SystemNow() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  const int second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, second, static_cast<int>(ts.tv_nsec / 1000000));
}

}  // namespace kestrum
