#include "ini/IniText.h"

#include <type_traits>

namespace kestrum::ini_text {

namespace {

template <class Units>
String UnquotedUnits(Units Value) {
  const auto whole = [&Value] { return String(Value.begin(), Value.end()); };
  if (Value.empty() || Value.front() != '"') return whole();
  String inner;
  inner.reserve(Value.size());  // one allocation rather than one per doubling
  bool closed = false;
  for (std::size_t i = 1; i < Value.size(); ++i) {
    if (Value[i] != u'"') {
      inner += Value[i];
    } else if (i + 1 < Value.size() && Value[i + 1] == u'"') {
      inner += u'"';
      ++i;
    } else {
      closed = true;
      break;
    }
  }
  // Text that only looks quoted ("abc without a closing quote, ""abc) stays as it is.
  if ((inner.empty() || !closed) && Value.back() != '"') return whole();
  return inner;
}

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

bool IsHexMark(char16_t c) {
  return c == u'x' || c == u'X';
}

}  // namespace

std::vector<String> SplitLines(std::u16string_view Text) {
  std::vector<String> lines;
  ForEachLine(Text, [&lines](std::u16string_view line) { lines.emplace_back(line); });
  return lines;
}

String Unquoted(TVoText Value) {
  return Value.Visit([](auto units) { return UnquotedUnits(units); });
}

bool ReadsAsHeader(TVoText Line) {
  std::size_t start = 0;
  std::size_t end = Line.size();
  while (start < end && Line[start] <= u' ') ++start;
  while (end > start && Line[end - 1] <= u' ') --end;
  return end - start >= 2 && Line[start] == u'[' && Line[end - 1] == u']';
}

bool IsStoredForm(std::u16string_view RawValue) {
  if (RawValue.empty()) return true;
  if (RawValue.front() != u'"') return RawValue.find_first_of(u" \"") == std::u16string_view::npos;
  // Quoted: the value is needed quoted (it holds a space or a quote) and every quote in it is doubled.
  if (RawValue.size() < 3 || RawValue.back() != u'"') return false;
  const std::u16string_view inner = RawValue.substr(1, RawValue.size() - 2);
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] != u'"') continue;
    if (i + 1 == inner.size() || inner[i + 1] != u'"') return false;
    ++i;
  }
  return inner.find_first_of(u" \"") != std::u16string_view::npos;
}

bool SameNameAscii(TVoText A, std::u16string_view B) {
  if (A.size() != B.size()) return false;
  const auto folded = [](char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
  };
  for (std::size_t i = 0; i < B.size(); ++i)
    if (folded(A[i]) != folded(B[i])) return false;
  return true;
}

int32_t StrToInt32Def(std::u16string_view S, int32_t Default) {
  std::size_t i = 0;
  while (i < S.size() && S[i] == u' ') ++i;
  bool negative = false;
  if (i < S.size() && (S[i] == u'+' || S[i] == u'-')) negative = S[i++] == u'-';
  bool hex = true;
  if (i < S.size() && (S[i] == u'$' || IsHexMark(S[i]))) {
    i += 1;
  } else if (i + 1 < S.size() && S[i] == u'0' && IsHexMark(S[i + 1])) {
    i += 2;
  } else {
    hex = false;
  }
  if (i == S.size()) return Default;

  const uint64_t base = hex ? 16 : 10;
  const uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 2147483648u : 2147483647u);
  uint64_t value = 0;
  for (; i < S.size(); ++i) {
    const int digit = HexDigit(S[i]);
    if (digit < 0 || static_cast<uint64_t>(digit) >= base) return Default;
    value = value * base + digit;
    if (value > limit) return Default;
  }
  uint32_t pattern = static_cast<uint32_t>(value);
  if (negative) pattern = 0u - pattern;
  return static_cast<int32_t>(pattern);
}

bool WidenAscii(std::string_view Line, String& Target) {
  Target.resize(Line.size());
  unsigned char seen = 0;
  for (std::size_t i = 0; i < Line.size(); ++i) {
    const auto byte = static_cast<unsigned char>(Line[i]);
    seen |= byte;
    Target[i] = byte;
  }
  return seen < 0x80;
}

std::u16string_view WideOf(TVoText Text, String& Scratch) {
  return Text.Visit([&Scratch](auto units) -> std::u16string_view {
    if constexpr (std::is_same_v<decltype(units), std::u16string_view>) {
      return units;
    } else {
      WidenAscii(units, Scratch);
      return Scratch;
    }
  });
}

std::optional<std::string_view> Utf8TextOf(std::string_view Bytes, std::optional<TEncoding> Encoding) {
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  const bool bom = Bytes.starts_with(kUtf8Bom);
  std::string_view text = Bytes;
  if (!Encoding) {
    // A file without a byte-order mark is read as UTF-8 first; one with the UTF-8 mark as UTF-8.
    if (bom)
      text.remove_prefix(kUtf8Bom.size());
    else if (Bytes.starts_with("\xFF\xFE") || Bytes.starts_with("\xFE\xFF"))
      return std::nullopt;
  } else if (*Encoding == TEncoding::Utf8) {
    if (bom) text.remove_prefix(kUtf8Bom.size());
  } else if (*Encoding != TEncoding::Ansi) {  // which tries UTF-8 first as well
    return std::nullopt;
  }
  if (!IsWholeUtf8(text)) return std::nullopt;
  return text;
}

}  // namespace kestrum::ini_text
