#include "base/DateTime.h"

#include <functional>

#include "base/DatePattern.h"
#include "base/RecentlyMade.h"

namespace kestrum {

using date_pattern::Has;
using date_pattern::Kind;
using date_pattern::Token;
using date_pattern::Tokenize;
using date_pattern::Tokens;

namespace {

// Values are never negative here.
void AppendNumber(String& out, int value, size_t width) {
  char16_t digits[10];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + value % 10);
    value /= 10;
  } while (value > 0);
  if (count < width) out.append(width - count, u'0');
  while (count > 0) out += digits[--count];
}

// A moment taken apart once, for every pattern it is written in.
struct Parts {
  int year, month, day, hour, minute, second, milli;

  bool Midnight() const { return hour == 0 && minute == 0 && second == 0 && milli == 0; }
};

Parts Decode(TDateTime value) {
  Parts parts{};
  DecodeDate(value, parts.year, parts.month, parts.day);
  DecodeTime(value, parts.hour, parts.minute, parts.second, parts.milli);
  return parts;
}

void AppendFormatted(String& out, const Tokens& tokens, const Parts& parts, const TFormatSettings& settings) {
  const bool twelveHour = Has(tokens, Kind::AmPm);
  for (const Token& token : tokens) {
    const size_t width = token.longForm ? 2 : 1;
    switch (token.kind) {
      case Kind::Literal:
        out += token.text;
        break;
      case Kind::DateSep:
        out += settings.DateSeparator;
        break;
      case Kind::TimeSep:
        out += settings.TimeSeparator;
        break;
      case Kind::Year:
        if (token.longForm)
          AppendNumber(out, parts.year, 4);
        else
          AppendNumber(out, parts.year % 100, 2);
        break;
      case Kind::Month:
        AppendNumber(out, parts.month, width);
        break;
      case Kind::Day:
        AppendNumber(out, parts.day, width);
        break;
      case Kind::Hour:
        AppendNumber(out, twelveHour ? (parts.hour + 11) % 12 + 1 : parts.hour, width);
        break;
      case Kind::Minute:
        AppendNumber(out, parts.minute, width);
        break;
      case Kind::Second:
        AppendNumber(out, parts.second, width);
        break;
      case Kind::Milli:
        AppendNumber(out, parts.milli, token.longForm ? 3 : 1);
        break;
      case Kind::AmPm:
        out.append(token.text, parts.hour < 12 ? 0 : 3, 2);
        break;
    }
  }
}

// Saving a roster writes hundreds of moments under the same two patterns: each is taken apart once.
// A few are kept, per thread, for callers that switch between patterns.
const Tokens& TokensOf(const String& pattern) {
  thread_local TRecentlyMade<String, Tokens, 4> recent;
  return recent.Get(pattern, std::equal_to<>(), [&] { return Tokenize(pattern); });
}

}  // namespace

String FormatDateTime(const String& pattern, TDateTime value) {
  return FormatDateTime(pattern, value, FormatSettings());
}

String FormatDateTime(const String& pattern, TDateTime value, const TFormatSettings& settings) {
  String text;
  AppendFormatted(text, TokensOf(pattern), Decode(value), settings);
  return text;
}

String DateTimeToStr(TDateTime value) {
  return DateTimeToStr(value, FormatSettings());
}

String DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  const Parts parts = Decode(value);
  String text;
  AppendFormatted(text, TokensOf(settings.ShortDateFormat), parts, settings);
  if (parts.Midnight()) return text;
  text += u' ';
  AppendFormatted(text, TokensOf(settings.LongTimeFormat), parts, settings);
  return text;
}

}  // namespace kestrum
