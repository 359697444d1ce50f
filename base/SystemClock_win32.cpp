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

}  // namespace kestrum
