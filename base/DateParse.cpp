#include "base/DateTime.h"

#include <optional>
#include <utility>
#include <vector>

#include "base/Calendar.h"
#include "base/DatePattern.h"
#include "base/RecentlyMade.h"

namespace kestrum {

using date_pattern::Has;
using date_pattern::IndexOf;
using date_pattern::Kind;
using date_pattern::Token;
using date_pattern::Tokenize;
using date_pattern::Tokens;

namespace {

bool IsSpace(char16_t c) {
  return c <= u' ';
}

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
  const auto field = tokens.begin() + static_cast<std::ptrdiff_t>(index);
  if (index > 0 && belongs(index - 1)) {
    tokens.erase(field - 1, field + 1);
    return tokens;
  }
  const bool suffix =
      marker ? belongs(index + 1) : index + 1 < tokens.size() && tokens[index + 1].kind == Kind::Literal;
  tokens.erase(field, field + (suffix ? 2 : 1));
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
      withMilli.insert(withMilli.begin() + static_cast<std::ptrdiff_t>(second) + 1,
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
  thread_local TRecentlyMade<TFormatSettings, Layout, 4> recent;
  return recent.Get(settings, SameSettings, [&] { return MakeLayout(settings); });
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
  return ya == yb && ma == db && da == mb && MsOfDay(a) == MsOfDay(b);
}

// A text read in the current format's order of day and month, and in the other order.
struct OrderedReadings {
  std::optional<TDateTime> inOrder, otherOrder;
};

// Sorts the readings by order. False where readings of one order disagree, or the two orders
// disagree on more than which number is which.
bool SortReadings(const std::vector<Reading>& readings, bool dayFirst, OrderedReadings& sorted) {
  for (const Reading& reading : readings) {
    std::optional<TDateTime>& slot = reading.dayFirst == dayFirst ? sorted.inOrder : sorted.otherOrder;
    if (slot && *slot != reading.value) return false;
    slot = reading.value;
  }
  const auto& [inOrder, otherOrder] = sorted;
  return !(inOrder && otherOrder && *inOrder != *otherOrder && !SwappedDayAndMonth(*inOrder, *otherOrder));
}

// The current order wins, unless only the other order's moment lies where the moment is expected.
std::optional<TDateTime> PickReading(const OrderedReadings& readings, const TRealWindow* expected) {
  const auto& [inOrder, otherOrder] = readings;
  if (!inOrder) return otherOrder;
  if (otherOrder && expected && !expected->Holds(*inOrder) && expected->Holds(*otherOrder)) return otherOrder;
  return inOrder;
}

// The moment with day and month changing places, where that is a date.
std::optional<TDateTime> WithDayAndMonthSwapped(TDateTime value) {
  int year, month, day;
  DecodeDate(value, year, month, day);
  TDateTime date;
  if (day == month || !TryEncodeDate(year, day, month, date)) return std::nullopt;
  return ComposeDateTime(date, static_cast<double>(MsOfDay(value)) / 86400000);
}

// Whether a known form with the other order of day and month reads the text as that moment.
bool OtherOrderReads(std::u16string_view text, bool dayFirst, TDateTime moment) {
  for (const Layout& layout : KnownLayouts()) {
    TDateTime reading;
    if (layout.dayFirst != dayFirst && ReadMoment(text, layout, 4, reading) && reading == moment) return true;
  }
  return false;
}

// The current format first, then the known forms. What the current format reads meets the other
// order only where that moment is expected: the look costs nothing for the many dates elsewhere.
bool ReadAnyForm(const String& text, TDateTime& value, const TFormatSettings& settings,
                 const TRealWindow* expected) {
  const String trimmed = Trim(text);
  const Layout& current = LayoutFor(settings);
  OrderedReadings sorted;
  TDateTime reading;
  if (ReadMoment(trimmed, current, 1, reading)) {
    sorted.inOrder = reading;
    const auto swapped = expected ? WithDayAndMonthSwapped(reading) : std::nullopt;
    if (swapped && expected->Holds(*swapped) && OtherOrderReads(trimmed, current.dayFirst, *swapped))
      sorted.otherOrder = swapped;
  } else {
    std::vector<Reading> readings;
    for (const Layout& layout : KnownLayouts())
      if (ReadMoment(trimmed, layout, 4, reading)) readings.push_back({reading, layout.dayFirst});
    if (!SortReadings(readings, current.dayFirst, sorted)) return false;
  }
  const std::optional<TDateTime> picked = PickReading(sorted, expected);
  if (!picked) return false;
  value = *picked;
  return true;
}

}  // namespace

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
  return ReadAnyForm(text, value, settings, nullptr);
}

bool TryStrToDateTimeAnyForm(const String& text, TDateTime& value, const TFormatSettings& settings,
                             const TRealWindow& AExpected) {
  return ReadAnyForm(text, value, settings, &AExpected);
}

}  // namespace kestrum
