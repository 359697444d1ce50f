#pragma once

#include "base/DateTime.h"

namespace kestrum {

// The user's regional formats, turned into the pattern letters of TFormatSettings: the LC_TIME
// locale on Linux (call after setlocale(LC_ALL, "") at start), the user's locale on Windows.
TFormatSettings FormatSettingsFromLocale();

// Turns a strftime-style date or time format (as nl_langinfo gives it) into our pattern letters.
TFormatSettings FormatSettingsFromStrftime(const std::string& dateFormat, const std::string& timeFormat);

// Turns Windows date and time pictures ("yyyy/M/d", "h:mm:ss tt", as GetLocaleInfoEx gives them)
// into our pattern letters. The separators are taken from the pictures; the given ones stand in
// when a picture shows none.
TFormatSettings FormatSettingsFromPictures(const String& shortDate, const String& longTime,
                                           char16_t dateSeparator, char16_t timeSeparator);

}  // namespace kestrum
