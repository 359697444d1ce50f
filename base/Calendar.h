#pragma once

// Pieces of the calendar that the date text functions share; not part of the public interface.

#include <cstdint>

#include "base/DateTime.h"

namespace kestrum {

// The time of day of a value, rounded to the millisecond (0 for a value that is no number).
int64_t MsOfDay(TDateTime value);

// A date and a time of day as one value; before 1899-12-30 the time counts away from zero.
TDateTime ComposeDateTime(TDateTime date, TDateTime time);

}  // namespace kestrum
