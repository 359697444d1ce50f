#pragma once

// Pieces of the calendar that the date text functions share; not part of the public interface.

#include <cstdint>
#include <optional>

#include "base/DateTime.h"

namespace kestrum {

// The time of day of a value, rounded to the millisecond (0 for a value that is no number).
int64_t MsOfDay(TDateTime value);

// A date and a time of day as one value; before 1899-12-30 the time counts away from zero.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

// Milliseconds from 1970-01-01 00:00 to the value's date and time as the clock on the wall shows
// them, no zone applied; nothing for a value without a date.
std::optional<int64_t> WallClockMSecs(TDateTime value);
// The value that count stands for.
TDateTime FromWallClockMSecs(int64_t msecs);
// The same count for calendar fields (month 1 to 12).
int64_t WallClockMSecs(int year, int month, int day, int hour, int minute, int second);

}  // namespace kestrum
