#pragma once

// A date or time pattern taken apart into its fields, for the formatter and the parser; not part of
// the public interface.

#include <cstddef>
#include <string_view>
#include <vector>

#include "base/Strings.h"

namespace kestrum::date_pattern {

enum class Kind { Literal, DateSep, TimeSep, Year, Month, Day, Hour, Minute, Second, Milli, AmPm };

struct Token {
  Kind kind;
  bool longForm = false;  // yyyy rather than yy; zero-padded for the other fields
  String text;            // a literal's text, or the am/pm marker as the pattern writes it
};

using Tokens = std::vector<Token>;

// The fields and literals of a pattern (see TFormatSettings): runs of one letter make one field,
// "m" right after an hour is minutes, quoted text and any other character are literals.
Tokens Tokenize(std::u16string_view pattern);

bool Has(const Tokens& tokens, Kind kind);
// The index of the first token of that kind, or tokens.size().
size_t IndexOf(const Tokens& tokens, Kind kind);

}  // namespace kestrum::date_pattern
