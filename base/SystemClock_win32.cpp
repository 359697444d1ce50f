#include "base/SystemClock.h"

#include <windows.h>

namespace kestrum {

// The system gives the local time already broken down, to the millisecond.
TDateTime SystemNow() {
  SYSTEMTIME local{};
  GetLocalTime(&local);
  return EncodeDate(local.wYear, local.wMonth, local.wDay) +
         EncodeTime(local.wHour, local.wMinute, local.wSecond, local.wMilliseconds);
}

// The C runtime refuses moments before 1970 and after 3000.
bool SystemLocalTime(int64_t ASeconds, std::tm& ALocal) {
  const auto seconds = static_cast<time_t>(ASeconds);
  return seconds == ASeconds && localtime_s(&ALocal, &seconds) == 0;
}

}  // namespace kestrum
