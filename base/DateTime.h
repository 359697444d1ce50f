#pragma once

#include <functional>

#include "base/Exception.h"
#include "base/Strings.h"

namespace kestrum {

// Days since 1899-12-30 00:00 local time; the fraction is the time of day. 0 means "no moment".
using TDateTime = double;

// The local clock, to the millisecond. Tests replace it; an empty function restores the system clock.
TDateTime Now();
void SetNowFunction(std::function<TDateTime()> now);

// Local moments against real time, through the C library's time-zone rules (TZ), so that a span of
// real hours stays right across a daylight-saving change. A local time the clock shows twice (when
// it goes back) is read as the earlier moment; one it skips (when it goes forward) as the clock
// before the change would have shown it. Where the zone's offset is the same at both ends, these
// are plain Date-time arithmetic.
// The real time from AFrom to ATo, in days.
TDateTime RealSpan(TDateTime AFrom, TDateTime ATo);
// The local moment ASpan days of real time after AFrom.
TDateTime AfterRealSpan(TDateTime AFrom, TDateTime ASpan);

// The real time from From to From + Length (in days), both ends included.
struct TRealWindow {
  TDateTime From;
  TDateTime Length;
  bool Holds(TDateTime AMoment) const;
};

// Calendar conversions. Encode throws EConvertError for a date or time that does not exist.
bool TryEncodeDate(int year, int month, int day, TDateTime& result);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result);
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond);

// The user's regional date and time formats. Pattern letters: yyyy yy m mm d dd h hh n nn s ss zzz,
// am/pm, "/" and ":" for the separators, quoted literals; any other character stands for itself.
struct TFormatSettings {
  String ShortDateFormat;
  String LongTimeFormat;
  char16_t DateSeparator;
  char16_t TimeSeparator;
};

// The settings in force for the whole program (taken from the locale at start; tests set their own).
const TFormatSettings& FormatSettings();
void SetFormatSettings(const TFormatSettings& settings);

String FormatDateTime(const String& pattern, TDateTime value);
String FormatDateTime(const String& pattern, TDateTime value, const TFormatSettings& settings);

// The short date, then a space and the long time unless the time of day is exactly midnight.
String DateTimeToStr(TDateTime value);
String DateTimeToStr(TDateTime value, const TFormatSettings& settings);

// Reads text written by DateTimeToStr under the same settings; throws EConvertError otherwise.
TDateTime StrToDateTime(const String& text);
TDateTime StrToDateTime(const String& text, const TFormatSettings& settings);
bool TryStrToDateTime(const String& text, TDateTime& value, const TFormatSettings& settings);

// Reads a stored date text that may have been written under another regional format: the given
// settings first, then the other forms a roster file is known to hold (the common locales' formats,
// the Windows version's, year-first dates with "/", "-" or ".", ISO 8601), with a four-digit year.
// A text that those forms read as different moments is refused, except where only day and month
// could be swapped (in a date with the year last): then the order of the given settings wins, unless
// exactly one of the two moments lies in AExpected, where the moment is expected; that one is taken.
bool TryStrToDateTimeAnyForm(const String& text, TDateTime& value, const TFormatSettings& settings);
bool TryStrToDateTimeAnyForm(const String& text, TDateTime& value, const TFormatSettings& settings,
                             const TRealWindow& AExpected);

}  // namespace kestrum
