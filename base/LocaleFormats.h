#pragma once

#include "base/DateTime.h"

namespace kestrum {

// The formats of the user's LC_TIME locale, turned into the pattern letters of TFormatSettings.
// Call after setlocale(LC_ALL, "") at start.
TFormatSettings FormatSettingsFromLocale();

// Turns a strftime-style date or time format (as nl_langinfo gives it) into our pattern letters.
TFormatSettings FormatSettingsFromStrftime(const std::string& dateFormat, const std::string& timeFormat);

}  // namespace kestrum
