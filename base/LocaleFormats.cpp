#include "base/LocaleFormats.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrum {

namespace {

enum class Role { None, Date, Hour, Minute, Other };

// One piece of a strftime format: our pattern letters for a conversion, or literal text.
struct Piece {
  bool isField;
  Role role;
  String text;
};

struct Converted {
  std::vector<Piece> pieces;
  bool twelveHour = false;
  bool hasMarker = false;
};

std::string_view Composite(char conversion) {
  switch (conversion) {
    case 'D':
      return "%m/%d/%y";
    case 'T':
      return "%H:%M:%S";
    case 'R':
      return "%H:%M";
    case 'r':
      return "%I:%M:%S %p";
    case 'F':
      return "%Y-%m-%d";
    default:
      return {};
  }
}

void AddLiteral(Converted& out, std::u16string_view text) {
  if (!out.pieces.empty() && !out.pieces.back().isField)
    out.pieces.back().text += text;
  else
    out.pieces.push_back({false, Role::None, String(text)});
}

void AddField(Converted& out, Role role, const String& letters) {
  out.pieces.push_back({true, role, letters});
}

// Years are written with four digits even for %y: the data file must not lose the century.
void AddConversion(Converted& out, char conversion, bool unpadded) {
  const auto pick = [unpadded](const char16_t* padded, const char16_t* plain) {
    return String(unpadded ? plain : padded);
  };
  switch (conversion) {
    case 'Y':
    case 'y':
    case 'G':
    case 'g':
      AddField(out, Role::Date, u"yyyy");
      break;
    case 'm':
      AddField(out, Role::Date, pick(u"mm", u"m"));
      break;
    case 'b':
    case 'B':
    case 'h':
      AddField(out, Role::Date, u"mm");
      break;
    case 'd':
      AddField(out, Role::Date, pick(u"dd", u"d"));
      break;
    case 'e':
      AddField(out, Role::Date, u"d");
      break;
    case 'H':
      AddField(out, Role::Hour, pick(u"hh", u"h"));
      break;
    case 'k':
      AddField(out, Role::Hour, u"h");
      break;
    case 'I':
      AddField(out, Role::Hour, pick(u"hh", u"h"));
      out.twelveHour = true;
      break;
    case 'l':
      AddField(out, Role::Hour, u"h");
      out.twelveHour = true;
      break;
    case 'M':
      AddField(out, Role::Minute, pick(u"nn", u"n"));
      break;
    case 'S':
      AddField(out, Role::Other, pick(u"ss", u"s"));
      break;
    case 'p':
    case 'P':
      AddField(out, Role::Other, conversion == 'p' ? u"AM/PM" : u"am/pm");
      out.hasMarker = true;
      break;
    case 'n':
    case 't':
      AddLiteral(out, u" ");
      break;
    case '%':
      AddLiteral(out, u"%");
      break;
    default:
      break;  // week days, time zones and the like carry nothing we read back
  }
}

void Convert(std::string_view format, Converted& out, int depth = 0) {
  size_t i = 0;
  while (i < format.size()) {
    const size_t percent = format.find('%', i);
    if (percent != i) {
      const size_t end = percent == std::string_view::npos ? format.size() : percent;
      AddLiteral(out, FromUtf8(format.substr(i, end - i)));
      i = end;
      continue;
    }
    ++i;
    bool unpadded = false;
    while (i < format.size() && std::string_view("-_0^#").find(format[i]) != std::string_view::npos)
      unpadded |= format[i++] == '-';
    while (i < format.size() &&
           ((format[i] >= '0' && format[i] <= '9') || format[i] == 'E' || format[i] == 'O'))
      ++i;
    if (i >= format.size()) break;
    const char conversion = format[i++];
    const std::string_view composite = Composite(conversion);
    if (!composite.empty() && depth == 0)
      Convert(composite, out, depth + 1);
    else
      AddConversion(out, conversion, unpadded);
  }
}

// ASCII letters name fields, and text in other scripts (年, 시) reads as words, not separators.
bool IsWordChar(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0x80;
}

// The first separator character in the literal text between a field of role `from` and the next
// field of role `to` (any field when `to` is None).
char16_t FindSeparator(const std::vector<Piece>& pieces, Role from, Role to, char16_t fallback) {
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (!pieces[i].isField || pieces[i].role != from) continue;
    for (size_t j = i + 1; j < pieces.size(); ++j) {
      if (pieces[j].isField) {
        if (to != Role::None && pieces[j].role != to) return fallback;
        break;
      }
      for (char16_t c : pieces[j].text)
        if (!IsWordChar(c)) return c;
    }
    return fallback;
  }
  return fallback;
}

bool NeedsQuotes(char16_t c) {
  return (c < 0x80 && IsWordChar(c)) || c == u'"' || c == u'\'' || c == u'/' || c == u':';
}

// Literal text with the separator turned into its pattern symbol and pattern letters quoted.
void AppendLiteralPattern(String& out, std::u16string_view text, char16_t separator, char16_t symbol) {
  size_t i = 0;
  while (i < text.size()) {
    const char16_t c = text[i];
    if (c == separator) {
      out += symbol;
      ++i;
    } else if (c == u'"') {
      out += u"'\"'";
      ++i;
    } else if (NeedsQuotes(c)) {
      out += u'"';
      while (i < text.size() && text[i] != separator && text[i] != u'"' && NeedsQuotes(text[i]))
        out += text[i++];
      out += u'"';
    } else {
      out += c;
      ++i;
    }
  }
}

// White space at either end (left over from a dropped week day or time zone) is not written.
String ToPattern(const std::vector<Piece>& pieces, char16_t separator, char16_t symbol) {
  String pattern;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const Piece& piece = pieces[i];
    if (piece.isField) {
      pattern += piece.text;
      continue;
    }
    String text = piece.text;
    if (i == 0) text = TrimLeft(text);
    if (i + 1 == pieces.size()) text = TrimRight(text);
    AppendLiteralPattern(pattern, text, separator, symbol);
  }
  return pattern;
}

bool HasFields(const std::vector<Piece>& pieces, std::u16string_view letters) {
  for (char16_t letter : letters) {
    bool found = false;
    for (const Piece& piece : pieces) found |= piece.isField && piece.text[0] == letter;
    if (!found) return false;
  }
  return true;
}

// Windows pictures: runs of one letter are fields ("yyyy", "M", "dd", "H", "hh", "mm", "ss", "tt"),
// text in single quotes is literal ('' is a quote). Week days ("ddd") and eras ("g") are left out
// like the week days of a strftime format.
void ConvertPicture(std::u16string_view picture, Converted& out) {
  size_t i = 0;
  while (i < picture.size()) {
    const char16_t c = picture[i];
    if (c == u'\'') {
      if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
        AddLiteral(out, u"'");
        i += 2;
        continue;
      }
      const size_t close = std::min(picture.find(u'\'', i + 1), picture.size());
      AddLiteral(out, picture.substr(i + 1, close - i - 1));
      i = close + 1;
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    const bool one = run == 1;
    switch (c) {
      case u'y':
        AddField(out, Role::Date, u"yyyy");
        break;
      case u'M':
        AddField(out, Role::Date, one ? u"m" : u"mm");
        break;
      case u'd':
        if (run <= 2) AddField(out, Role::Date, one ? u"d" : u"dd");
        break;
      case u'H':
        AddField(out, Role::Hour, one ? u"h" : u"hh");
        break;
      case u'h':
        AddField(out, Role::Hour, one ? u"h" : u"hh");
        out.twelveHour = true;
        break;
      case u'm':
        AddField(out, Role::Minute, one ? u"n" : u"nn");
        break;
      case u's':
        AddField(out, Role::Other, one ? u"s" : u"ss");
        break;
      case u't':
        AddField(out, Role::Other, u"AM/PM");
        out.hasMarker = true;
        break;
      case u'g':
        break;
      default:
        AddLiteral(out, picture.substr(i, run));
        break;
    }
    i += run;
  }
}

TFormatSettings ToSettings(const Converted& date, Converted time, char16_t dateFallback,
                           char16_t timeFallback) {
  if (time.twelveHour && !time.hasMarker) {
    AddLiteral(time, u" ");
    AddField(time, Role::Other, u"AM/PM");
  }
  TFormatSettings settings;
  settings.DateSeparator = FindSeparator(date.pieces, Role::Date, Role::None, dateFallback);
  settings.TimeSeparator = FindSeparator(time.pieces, Role::Hour, Role::Minute, timeFallback);
  settings.ShortDateFormat = ToPattern(date.pieces, settings.DateSeparator, u'/');
  settings.LongTimeFormat = ToPattern(time.pieces, settings.TimeSeparator, u':');
  // A format that cannot carry a whole moment would make every stored date unreadable.
  if (!HasFields(date.pieces, u"ymd")) {
    settings.ShortDateFormat = u"yyyy/mm/dd";
    settings.DateSeparator = u'/';
  }
  if (!HasFields(time.pieces, u"hn")) {
    settings.LongTimeFormat = u"hh:nn:ss";
    settings.TimeSeparator = u':';
  }
  return settings;
}

}  // namespace

TFormatSettings FormatSettingsFromStrftime(const std::string& dateFormat, const std::string& timeFormat) {
  Converted date;
  Convert(dateFormat, date);
  Converted time;
  Convert(timeFormat, time);
  return ToSettings(date, std::move(time), u'/', u':');
}

TFormatSettings FormatSettingsFromPictures(const String& shortDate, const String& longTime,
                                           char16_t dateSeparator, char16_t timeSeparator) {
  Converted date;
  ConvertPicture(shortDate, date);
  Converted time;
  ConvertPicture(longTime, time);
  return ToSettings(date, std::move(time), dateSeparator, timeSeparator);
}

}  // namespace kestrum
