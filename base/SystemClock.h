#pragma once

#include "base/DateTime.h"

namespace kestrum {

// The system's local clock to the millisecond; Now() uses it unless a test replaced it.
TDateTime SystemNow();

}  // namespace kestrum
