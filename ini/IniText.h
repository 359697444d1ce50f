#pragma once

// The text rules of an INI line that the document's reading and writing share: where lines end,
// quoting, how a name compares, number text. Not part of the document's interface.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "base/Strings.h"
#include "base/TextCodec.h"
#include "ini/VoStringList.h"

namespace kestrum::ini_text {

// Calls Line for every line of Text. A line ends at CR LF, CR or LF; a break at the very end adds
// no empty line; a NUL ends the text.
// Text is UTF-16 or UTF-8: the breaks and the NUL are the same code in both.
template <class Ch, class F>
void ForEachLine(std::basic_string_view<Ch> Text, F&& Line) {
  Text = Text.substr(0, Text.find(Ch{0}));
  std::size_t start = 0;
  for (std::size_t i = 0; i < Text.size(); ++i) {
    const Ch c = Text[i];
    if (c != Ch{'\r'} && c != Ch{'\n'}) continue;
    Line(Text.substr(start, i - start));
    if (c == Ch{'\r'} && i + 1 < Text.size() && Text[i + 1] == Ch{'\n'}) ++i;
    start = i + 1;
  }
  if (start < Text.size()) Line(Text.substr(start));
}

// Text's lines, as ForEachLine finds them.
std::vector<String> SplitLines(std::u16string_view Text);

// A value as stored, its quotes taken off: "a ""b""" gives a "b"; text that only looks quoted stays.
String Unquoted(TVoText Value);

// Whether the line, trimmed as reading trims it, begins with "[" and ends with "]".
bool ReadsAsHeader(TVoText Line);

// Whether the trimmed text after a key line's "=" is what storing its own unquoted value gives, as in
// every line a save wrote: then the line is kept as it is in the file.
bool IsStoredForm(std::u16string_view RawValue);

// Whether two key names are equal under the rule of a case-insensitive key list: ASCII letters
// folded, every other code unit exact.
bool SameNameAscii(TVoText A, std::u16string_view B);

// Signed 32-bit integer text: leading spaces, an optional sign, then decimal digits or a hex prefix
// ("$", "0x", "x") with hex digits taken as a 32-bit pattern. Anything else gives Default.
int32_t StrToInt32Def(std::u16string_view S, int32_t Default);

// Target becomes Line's bytes as code units; whether they are all ASCII, and so the line itself.
// (Assigning an iterator range would build a temporary copy first, as much again for a long line.)
bool WidenAscii(std::string_view Line, String& Target);

// Text as UTF-16: a wide text as it is, a narrow one widened into Scratch.
std::u16string_view WideOf(TVoText Text, String& Scratch);

// The UTF-8 text that Bytes are as they stand, when decoding them as asked would give exactly that;
// nothing otherwise.
std::optional<std::string_view> Utf8TextOf(std::string_view Bytes, std::optional<TEncoding> Encoding);

// Calls Line with the key line as the file gets it. The name "[x" with the value "y]" would read
// back as the header [x=y], also when the value ends in white space the reader trims; quoting the
// value (it holds no space or quote, or it would be quoted already) keeps it a key line.
template <class F>
void KeyLineForFile(TVoText KeyLine, F&& Line) {
  if (!ReadsAsHeader(KeyLine)) {
    Line(KeyLine);
    return;
  }
  const String line = KeyLine.ToString();
  const auto equals = line.find(u'=');
  String quoted = line.substr(0, equals + 1);
  quoted += u'"';
  quoted += line.substr(equals + 1);
  quoted += u'"';
  Line(quoted);
}

}  // namespace kestrum::ini_text
