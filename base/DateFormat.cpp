#include "base/DateTime.h"

#include <functional>

#include "base/Calendar.h"
#include "base/DatePattern.h"
#include "base/RecentlyMade.h"

namespace kestrum {

using date_pattern::Has;
using date_pattern::Kind;
using date_pattern::Token;
using date_pattern::Tokenize;
using date_pattern::Tokens;

namespace {

void AppendNumber(String& out, int value, size_t width) {
  String digits = IntToStr(value);
  if (digits.size() < width) out.append(width - digits.size(), u'0');
  out += digits;
}

String Format(const Tokens& tokens, TDateTime value, const TFormatSettings& settings) {
  int year, month, day, hour, minute, second, milli;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, milli);
  const bool twelveHour = Has(tokens, Kind::AmPm);
  String out;
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
          AppendNumber(out, year, 4);
        else
          AppendNumber(out, year % 100, 2);
        break;
      case Kind::Month:
        AppendNumber(out, month, width);
        break;
      case Kind::Day:
        AppendNumber(out, day, width);
        break;
      case Kind::Hour:
        AppendNumber(out, twelveHour ? (hour + 11) % 12 + 1 : hour, width);
        break;
      case Kind::Minute:
        AppendNumber(out, minute, width);
        break;
      case Kind::Second:
        AppendNumber(out, second, width);
        break;
      case Kind::Milli:
        AppendNumber(out, milli, token.longForm ? 3 : 1);
        break;
      case Kind::AmPm:
        out += token.text.substr(hour < 12 ? 0 : 3, 2);
        break;
    }
  }
  return out;
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
  return Format(TokensOf(pattern), value, settings);
}

String DateTimeToStr(TDateTime value) {
  return DateTimeToStr(value, FormatSettings());
}

String DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  String text = FormatDateTime(settings.ShortDateFormat, value, settings);
  if (MsOfDay(value) != 0) text += u' ' + FormatDateTime(settings.LongTimeFormat, value, settings);
  return text;
}

}  // namespace kestrum
