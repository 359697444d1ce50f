#include "base/DateTime.h"

#include <cmath>
#include <ctime>
#include <optional>
#include <utility>
#include <vector>

#include "base/SystemClock.h"

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

TDateTime ComposeDateTime(TDateTime date, TDateTime time) {
  return date < 0 ? date - time : date + time;
}

std::function<TDateTime()>& NowFunction() {
  static std::function<TDateTime()> now;
  return now;
}

TFormatSettings& CurrentSettings() {
  static TFormatSettings settings{u"yyyy/mm/dd", u"h:nn:ss", u'/', u':'};
  return settings;
}

// ---- Patterns ---------------------------------------------------------------------------------

enum class Kind { Literal, DateSep, TimeSep, Year, Month, Day, Hour, Minute, Second, Milli, AmPm };

struct Token {
  Kind kind;
  bool longForm = false;  // yyyy rather than yy; zero-padded for the other fields
  String text;            // a literal's text, or the am/pm marker as the pattern writes it
};

using Tokens = std::vector<Token>;

bool IsSpace(char16_t c) {
  return c <= u' ';
}

void AppendLiteral(Tokens& tokens, std::u16string_view text) {
  if (text.empty()) return;
  if (!tokens.empty() && tokens.back().kind == Kind::Literal)
    tokens.back().text += text;
  else
    tokens.push_back({Kind::Literal, false, String(text)});
}

Tokens Tokenize(std::u16string_view pattern) {
  Tokens tokens;
  bool afterHour = false;  // "m" right after an hour field means minutes
  size_t i = 0;
  while (i < pattern.size()) {
    const char16_t c = pattern[i];
    const char16_t upper = AsciiUpper(c);
    if (c == u'"' || c == u'\'') {
      size_t close = pattern.find(c, i + 1);
      if (close == std::u16string_view::npos) close = pattern.size();
      AppendLiteral(tokens, pattern.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    if (upper == u'A' && SameTextAscii(pattern.substr(i, 5), u"am/pm")) {
      tokens.push_back({Kind::AmPm, false, String(pattern.substr(i, 5))});
      i += 5;
      continue;
    }
    if (c == u'/' || c == u':') {
      tokens.push_back({c == u'/' ? Kind::DateSep : Kind::TimeSep, false, {}});
      ++i;
      continue;
    }
    Kind kind;
    switch (upper) {
      case u'Y':
        kind = Kind::Year;
        break;
      case u'M':
        kind = afterHour ? Kind::Minute : Kind::Month;
        break;
      case u'D':
        kind = Kind::Day;
        break;
      case u'H':
        kind = Kind::Hour;
        break;
      case u'N':
        kind = Kind::Minute;
        break;
      case u'S':
        kind = Kind::Second;
        break;
      case u'Z':
        kind = Kind::Milli;
        break;
      default:
        AppendLiteral(tokens, pattern.substr(i, 1));
        ++i;
        continue;
    }
    size_t run = 1;
    while (i + run < pattern.size() && AsciiUpper(pattern[i + run]) == upper) ++run;
    const bool longForm = kind == Kind::Year || kind == Kind::Milli ? run >= 3 : run >= 2;
    tokens.push_back({kind, longForm, {}});
    afterHour = kind == Kind::Hour;
    i += run;
  }
  return tokens;
}

bool Has(const Tokens& tokens, Kind kind) {
  for (const Token& token : tokens)
    if (token.kind == kind) return true;
  return false;
}

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

// ---- Reading ----------------------------------------------------------------------------------

struct Fields {
  int year = -1;
  size_t yearDigits = 0;
  int month = -1;
  int day = -1;
  int hour = -1;
  int minute = -1;
  int second = 0;
  int milli = 0;
  int pm = -1;  // -1: no marker, 0: am, 1: pm
};

class Reader {
 public:
  explicit Reader(std::u16string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }
  size_t Pos() const { return pos_; }

  // At most maxDigits digits, so the value never overflows; a longer run fails at the next token.
  bool Number(size_t minDigits, size_t maxDigits, int& value, size_t* digits = nullptr) {
    size_t count = 0;
    int result = 0;
    while (count < maxDigits && pos_ < text_.size() && text_[pos_] >= u'0' && text_[pos_] <= u'9') {
      result = result * 10 + (text_[pos_] - u'0');
      ++pos_;
      ++count;
    }
    if (digits) *digits = count;
    value = result;
    return count >= minDigits && count > 0;
  }

  bool Char(char16_t c) {
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  bool Spaces() {
    const size_t start = pos_;
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    return pos_ > start;
  }

  // A literal matches with ASCII letters in any case; a run of white space matches any run of it.
  bool Literal(std::u16string_view literal) {
    size_t i = 0;
    while (i < literal.size()) {
      if (IsSpace(literal[i])) {
        if (!Spaces()) return false;
        while (i < literal.size() && IsSpace(literal[i])) ++i;
        continue;
      }
      if (pos_ >= text_.size() || AsciiUpper(text_[pos_]) != AsciiUpper(literal[i])) return false;
      ++pos_;
      ++i;
    }
    return true;
  }

  bool AmPm(int& pm) {
    if (pos_ + 2 > text_.size()) return false;
    const std::u16string_view marker = text_.substr(pos_, 2);
    if (SameTextAscii(marker, u"am"))
      pm = 0;
    else if (SameTextAscii(marker, u"pm"))
      pm = 1;
    else
      return false;
    pos_ += 2;
    return true;
  }

  void Reset(size_t pos) { pos_ = pos; }

 private:
  std::u16string_view text_;
  size_t pos_ = 0;
};

bool MatchTokens(const Tokens& tokens, const TFormatSettings& settings, Reader& reader, Fields& fields) {
  for (const Token& token : tokens) {
    bool ok = false;
    switch (token.kind) {
      case Kind::Literal:
        ok = reader.Literal(token.text);
        break;
      case Kind::DateSep:
        ok = reader.Char(settings.DateSeparator);
        break;
      case Kind::TimeSep:
        ok = reader.Char(settings.TimeSeparator);
        break;
      case Kind::Year:
        ok = reader.Number(1, 4, fields.year, &fields.yearDigits);
        break;
      case Kind::Month:
        ok = reader.Number(1, 2, fields.month);
        break;
      case Kind::Day:
        ok = reader.Number(1, 2, fields.day);
        break;
      case Kind::Hour:
        ok = reader.Number(1, 2, fields.hour);
        break;
      case Kind::Minute:
        ok = reader.Number(1, 2, fields.minute);
        break;
      case Kind::Second:
        ok = reader.Number(1, 2, fields.second);
        break;
      case Kind::Milli:
        ok = reader.Number(3, 3, fields.milli);
        break;
      case Kind::AmPm:
        ok = reader.AmPm(fields.pm);
        break;
    }
    if (!ok) return false;
  }
  return true;
}

size_t IndexOf(const Tokens& tokens, Kind kind) {
  for (size_t i = 0; i < tokens.size(); ++i)
    if (tokens[i].kind == kind) return i;
  return tokens.size();
}

bool IsSpaceLiteral(const Tokens& tokens, size_t i) {
  if (i >= tokens.size() || tokens[i].kind != Kind::Literal) return false;
  for (char16_t c : tokens[i].text)
    if (!IsSpace(c)) return false;
  return true;
}

// Removes the field at index together with the separator that belongs to it: the one before it
// ("hh:nn:ss"), else a literal right after it ("hh時nn分ss秒"). A marker takes its space along.
Tokens WithoutField(Tokens tokens, size_t index) {
  const bool marker = tokens[index].kind == Kind::AmPm;
  const auto belongs = [&](size_t i) {
    if (i >= tokens.size()) return false;
    return marker ? IsSpaceLiteral(tokens, i) : tokens[i].kind == Kind::TimeSep;
  };
  if (index > 0 && belongs(index - 1)) {
    tokens.erase(tokens.begin() + index - 1, tokens.begin() + index + 1);
    return tokens;
  }
  const bool suffix =
      marker ? belongs(index + 1) : index + 1 < tokens.size() && tokens[index + 1].kind == Kind::Literal;
  tokens.erase(tokens.begin() + index, tokens.begin() + index + (suffix ? 2 : 1));
  return tokens;
}

// The shapes a time may take: as the long time format writes it, with milliseconds after the
// seconds, without seconds; each also without the am/pm marker (then read as a 24-hour time).
std::vector<Tokens> TimeShapes(const Tokens& format) {
  std::vector<Tokens> shapes{format};
  const size_t second = IndexOf(format, Kind::Second);
  if (second < format.size()) {
    if (!Has(format, Kind::Milli)) {
      Tokens withMilli = format;
      withMilli.insert(withMilli.begin() + second + 1,
                       {Token{Kind::Literal, false, u"."}, Token{Kind::Milli, true, {}}});
      shapes.push_back(std::move(withMilli));
    }
    shapes.push_back(WithoutField(format, second));
  }
  const size_t count = shapes.size();
  for (size_t i = 0; i < count; ++i) {
    const size_t marker = IndexOf(shapes[i], Kind::AmPm);
    if (marker < shapes[i].size()) shapes.push_back(WithoutField(shapes[i], marker));
  }
  return shapes;
}

int CurrentYear() {
  int year, month, day;
  DecodeDate(Now(), year, month, day);
  return year;
}

// Two-digit years fall into the 100 years from 50 years before the current year.
int ExpandYear(int year, size_t digits) {
  if (digits > 2) return year;
  const int windowStart = CurrentYear() - 50;
  int result = year + windowStart - windowStart % 100;
  if (result < windowStart) result += 100;
  return result;
}

// A date and time format made ready for reading: its date pattern and every shape its time may take.
struct Layout {
  TFormatSettings settings;
  Tokens date;
  std::vector<Tokens> times;
  bool dayFirst;    // the day comes before the month
  bool isoDivider;  // a "T" may stand between date and time, as in ISO 8601
};

bool DayBeforeMonth(const Tokens& date) {
  return IndexOf(date, Kind::Day) < IndexOf(date, Kind::Month);
}

Layout MakeLayout(const TFormatSettings& settings, bool isoDivider = false) {
  Tokens date = Tokenize(settings.ShortDateFormat);
  const bool dayFirst = DayBeforeMonth(date);
  return {settings, std::move(date), TimeShapes(Tokenize(settings.LongTimeFormat)), dayFirst, isoDivider};
}

bool SameSettings(const TFormatSettings& a, const TFormatSettings& b) {
  return a.ShortDateFormat == b.ShortDateFormat && a.LongTimeFormat == b.LongTimeFormat &&
         a.DateSeparator == b.DateSeparator && a.TimeSeparator == b.TimeSeparator;
}

// Loading a roster reads thousands of texts under the same settings: their layout is made once. A
// few are kept, per thread, for callers that switch between formats.
const Layout& LayoutFor(const TFormatSettings& settings) {
  constexpr size_t kKept = 4;
  thread_local std::vector<Layout> recent;
  for (const Layout& layout : recent)
    if (SameSettings(layout.settings, settings)) return layout;
  if (recent.size() == kKept) recent.erase(recent.begin());
  recent.push_back(MakeLayout(settings));
  return recent.back();
}

bool ReadTime(std::u16string_view text, const Layout& layout, Fields& fields) {
  for (const Tokens& shape : layout.times) {
    Fields attempt = fields;
    Reader reader(text);
    if (MatchTokens(shape, layout.settings, reader, attempt) && reader.AtEnd() && attempt.hour >= 0 &&
        attempt.minute >= 0) {
      fields = attempt;
      return true;
    }
  }
  return false;
}

bool ToHour24(Fields& fields) {
  if (fields.pm < 0) return fields.hour <= 23;
  if (fields.hour < 1 || fields.hour > 12) return false;
  fields.hour = fields.hour % 12 + (fields.pm == 1 ? 12 : 0);
  return true;
}

// Reads trimmed text in the layout's date format, optionally followed by a time; a year written with
// fewer than minYearDigits digits is refused.
bool ReadMoment(std::u16string_view text, const Layout& layout, size_t minYearDigits, TDateTime& value) {
  Reader reader(text);
  Fields fields;
  if (!MatchTokens(layout.date, layout.settings, reader, fields)) return false;
  if (fields.year < 0 || fields.month < 0 || fields.day < 0 || fields.yearDigits < minYearDigits)
    return false;
  if (!reader.AtEnd()) {
    if (!reader.Spaces() && !(layout.isoDivider && reader.Literal(u"T"))) return false;
    if (!ReadTime(text.substr(reader.Pos()), layout, fields)) return false;
  }
  if (fields.hour < 0) fields.hour = fields.minute = 0;
  if (!ToHour24(fields)) return false;
  TDateTime date, time;
  if (!TryEncodeDate(ExpandYear(fields.year, fields.yearDigits), fields.month, fields.day, date) ||
      !TryEncodeTime(fields.hour, fields.minute, fields.second, fields.milli, time))
    return false;
  value = ComposeDateTime(date, time);
  return true;
}

// ---- Other known forms ------------------------------------------------------------------------

// A roster outlives a change of locale, and the Windows version writes its own formats. Every date
// form below meets every time form: what this program writes under the common locales, what the
// Windows version writes, year-first dates with any of "/", "-", "." and ISO 8601.
struct KnownForm {
  const char16_t* pattern;
  char16_t separator;
  bool isoDivider = false;
};

constexpr KnownForm kKnownDates[] = {
    {u"mm/dd/yyyy", u'/'},        // C, en_US; Windows en-US (m/d/yyyy)
    {u"dd/mm/yyyy", u'/'},        // en_GB, fr_FR, es_ES, it_IT, pt_BR
    {u"dd/mm/yyyy", u'.'},        // de_DE, ru_RU, pl_PL, cs_CZ
    {u"dd/mm/yyyy", u'-'},        // nl_NL, da_DK
    {u"yyyy/mm/dd", u'/'},        // Windows ja-JP and zh-CN
    {u"yyyy/mm/dd", u'-', true},  // ISO 8601, sv_SE, hu_HU, en_CA
    {u"yyyy/mm/dd", u'.'},        // year first with dots
    {u"yyyy年mm月dd日", u'/'},    // ja_JP, zh_CN, zh_TW
    {u"yyyy년 mm월 dd일", u'/'},  // ko_KR
};

constexpr KnownForm kKnownTimes[] = {
    {u"hh:nn:ss am/pm", u':'},  // en_US; read without the marker, the 24-hour clock of most others
    {u"hh:nn:ss", u'.'},        // fi_FI
    {u"hh時nn分ss秒", u':'},    // ja_JP, zh_TW
    {u"hh时nn分ss秒", u':'},    // zh_CN
    {u"hh시 nn분 ss초", u':'},  // ko_KR
};

const std::vector<Layout>& KnownLayouts() {
  static const std::vector<Layout> layouts = [] {
    std::vector<Layout> all;
    for (const KnownForm& date : kKnownDates) {
      for (const KnownForm& time : kKnownTimes)
        all.push_back(
            MakeLayout({date.pattern, time.pattern, date.separator, time.separator}, date.isoDivider));
    }
    return all;
  }();
  return layouts;
}

struct Reading {
  TDateTime value;
  bool dayFirst;  // read by a form with the day before the month
};

bool SwappedDayAndMonth(TDateTime a, TDateTime b) {
  int ya, ma, da, yb, mb, db;
  DecodeDate(a, ya, ma, da);
  DecodeDate(b, yb, mb, db);
  return ya == yb && ma == db && da == mb && Split(a).msOfDay == Split(b).msOfDay;
}

// The moment every reading agrees on. Where forms with the day first and forms with the month first
// disagree only on which number is which, the order of the current format decides; any other
// disagreement leaves the text unread.
bool PickReading(const std::vector<Reading>& readings, bool dayFirst, TDateTime& value) {
  std::optional<TDateTime> inOrder, otherOrder;
  for (const Reading& reading : readings) {
    std::optional<TDateTime>& slot = reading.dayFirst == dayFirst ? inOrder : otherOrder;
    if (slot && *slot != reading.value) return false;
    slot = reading.value;
  }
  if (inOrder && otherOrder && *inOrder != *otherOrder && !SwappedDayAndMonth(*inOrder, *otherOrder))
    return false;
  if (!inOrder && !otherOrder) return false;
  value = inOrder ? *inOrder : *otherOrder;
  return true;
}

}  // namespace

TDateTime Now() {
  const auto& now = NowFunction();
  return now ? now() : SystemNow();
}

void SetNowFunction(std::function<TDateTime()> now) {
  NowFunction() = std::move(now);
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
  const int64_t ms = Split(value).msOfDay;
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  millisecond = static_cast<int>(ms % 1000);
}

const TFormatSettings& FormatSettings() {
  return CurrentSettings();
}

void SetFormatSettings(const TFormatSettings& settings) {
  CurrentSettings() = settings;
}

String FormatDateTime(const String& pattern, TDateTime value) {
  return FormatDateTime(pattern, value, FormatSettings());
}

String FormatDateTime(const String& pattern, TDateTime value, const TFormatSettings& settings) {
  return Format(Tokenize(pattern), value, settings);
}

String DateTimeToStr(TDateTime value) {
  return DateTimeToStr(value, FormatSettings());
}

String DateTimeToStr(TDateTime value, const TFormatSettings& settings) {
  String text = FormatDateTime(settings.ShortDateFormat, value, settings);
  if (Split(value).msOfDay != 0) text += u' ' + FormatDateTime(settings.LongTimeFormat, value, settings);
  return text;
}

TDateTime StrToDateTime(const String& text) {
  return StrToDateTime(text, FormatSettings());
}

TDateTime StrToDateTime(const String& text, const TFormatSettings& settings) {
  TDateTime value;
  if (!TryStrToDateTime(text, value, settings))
    throw EConvertError(u"'" + text + u"' is not a valid date and time");
  return value;
}

bool TryStrToDateTime(const String& text, TDateTime& value, const TFormatSettings& settings) {
  return ReadMoment(Trim(text), LayoutFor(settings), 1, value);
}

bool TryStrToDateTimeAnyForm(const String& text, TDateTime& value, const TFormatSettings& settings) {
  const String trimmed = Trim(text);
  const Layout& current = LayoutFor(settings);
  if (ReadMoment(trimmed, current, 1, value)) return true;
  std::vector<Reading> readings;
  for (const Layout& layout : KnownLayouts()) {
    TDateTime reading;
    if (ReadMoment(trimmed, layout, 4, reading)) readings.push_back({reading, layout.dayFirst});
  }
  return PickReading(readings, current.dayFirst, value);
}

}  // namespace kestrum
