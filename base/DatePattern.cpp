#include "base/DatePattern.h"

namespace kestrum::date_pattern {

namespace {

void AppendLiteral(Tokens& tokens, std::u16string_view text) {
  if (text.empty()) return;
  if (!tokens.empty() && tokens.back().kind == Kind::Literal)
    tokens.back().text += text;
  else
    tokens.push_back({Kind::Literal, false, String(text)});
}

}  // namespace

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

size_t IndexOf(const Tokens& tokens, Kind kind) {
  for (size_t i = 0; i < tokens.size(); ++i)
    if (tokens[i].kind == kind) return i;
  return tokens.size();
}

}  // namespace kestrum::date_pattern
