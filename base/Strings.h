#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kestrum {

// Text is kept as UTF-16 code units: names are counted, trimmed, hashed and compared per code unit.
using String = std::u16string;

// Removes leading and/or trailing code units up to U+0020 (spaces and control characters).
String Trim(std::u16string_view text);
String TrimLeft(std::u16string_view text);
String TrimRight(std::u16string_view text);

// Maps a..z to A..Z and leaves every other code unit alone.
char16_t AsciiUpper(char16_t c);
String AsciiUpperCase(std::u16string_view text);

// Equal length and equal code units, ASCII letters compared without regard to case.
bool SameTextAscii(std::u16string_view a, std::u16string_view b);

// UTF-8 <-> UTF-16. Malformed input (invalid UTF-8, lone surrogates) becomes U+FFFD; never throws.
std::string ToUtf8(std::u16string_view text);
// ToUtf8 appended to out.
void AppendUtf8(std::string& out, std::u16string_view text);
String FromUtf8(std::string_view text);

// Decimal text of a number: "-" before a negative one, no "+", no leading zeros.
String IntToStr(int64_t value);

}  // namespace kestrum
