#pragma once

#include <cstdint>
#include <ctime>

#include "base/DateTime.h"

namespace kestrum {

// The system's local clock to the millisecond; Now() uses it unless a test replaced it.
TDateTime SystemNow();

// The local time of a real moment (seconds since 1970-01-01 00:00 UTC) under the C library's zone
// rules in force (TZ); false where the library cannot tell.
bool SystemLocalTime(int64_t ASeconds, std::tm& ALocal);

}  // namespace kestrum
