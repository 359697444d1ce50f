#include "base/Calendar.h"

#include <cmath>

namespace kestrum {

namespace {

constexpr int64_t kMsPerDay = 86400000;
constexpr int64_t kFirstDay = -693593;    // 0001-01-01
constexpr int64_t kLastDay = 2958465;     // 9999-12-31
constexpr int64_t kUnixEpochDay = 25569;  // 1970-01-01

// Proleptic Gregorian day count relative to 1970-01-01 (H. Hinnant's civil-date algorithms).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// A value split into its day number and its time of day rounded to the millisecond. Before
// 1899-12-30 the integral part is still the day and the fraction's magnitude the time.
struct DayAndTime {
  bool dateValid;
  int64_t day;
  int64_t msOfDay;
};

DayAndTime Split(TDateTime value) {
  if (!std::isfinite(value)) return {false, 0, 0};
  const double whole = std::trunc(value);
  int64_t ms = std::llround(std::fabs(value - whole) * kMsPerDay);
  if (whole < kFirstDay - 1 || whole > kLastDay + 1) return {false, 0, ms % kMsPerDay};
  auto day = static_cast<int64_t>(whole);
  if (ms == kMsPerDay) {
    ms = 0;
    ++day;
  }
  return {day >= kFirstDay && day <= kLastDay, day, ms};
}

}  // namespace

int64_t MsOfDay(TDateTime value) {
  return Split(value).msOfDay;
}

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  return date < 0 ? date - time : date + time;
}

std::optional<int64_t> WallClockMSecs(TDateTime value) {
  const DayAndTime parts = Split(value);
  if (!parts.dateValid) return std::nullopt;
  return (parts.day - kUnixEpochDay) * kMsPerDay + parts.msOfDay;
}

TDateTime FromWallClockMSecs(int64_t msecs) {
  const int64_t msOfDay = (msecs % kMsPerDay + kMsPerDay) % kMsPerDay;
  const int64_t day = (msecs - msOfDay) / kMsPerDay + kUnixEpochDay;
  return ComposeDateTime(static_cast<double>(day), static_cast<double>(msOfDay) / kMsPerDay);
}

int64_t WallClockMSecs(int year, int month, int day, int hour, int minute, int second) {
  return DaysFromCivil(year, month, day) * kMsPerDay + ((hour * 60LL + minute) * 60 + second) * 1000;
}

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
    return false;
  result = static_cast<double>(DaysFromCivil(year, month, day) + kUnixEpochDay);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& result) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    return false;
  const int64_t ms = ((hour * 60LL + minute) * 60 + second) * 1000 + millisecond;
  result = static_cast<double>(ms) / kMsPerDay;
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime result;
  if (!TryEncodeDate(year, month, day, result)) throw EConvertError(u"Invalid argument to date encode");
  return result;
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  TDateTime result;
  if (!TryEncodeTime(hour, minute, second, millisecond, result))
    throw EConvertError(u"Invalid argument to time encode");
  return result;
}

// A value outside 0001-01-01 .. 9999-12-31 has no date: year, month and day are 0.
void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  const DayAndTime parts = Split(value);
  if (!parts.dateValid) {
    year = month = day = 0;
    return;
  }
  CivilFromDays(parts.day - kUnixEpochDay, year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& millisecond) {
  const int64_t ms = MsOfDay(value);
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  millisecond = static_cast<int>(ms % 1000);
}

}  // namespace kestrum
