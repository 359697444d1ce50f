#include "base/Strings.h"

namespace kestrum {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsTrimmed(char16_t c) {
  return c <= u' ';
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(String& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 | (cp >> 10));
    out += static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
  }
}

// The allowed range of the second byte of a multi-byte sequence; it rules out overlong forms,
// surrogates and code points above U+10FFFF.
struct LeadInfo {
  int length;  // 0: not a lead byte
  unsigned char secondLow;
  unsigned char secondHigh;
};

LeadInfo Lead(unsigned char b) {
  if (b >= 0xC2 && b <= 0xDF) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

}  // namespace

String Trim(std::u16string_view text) {
  return TrimRight(TrimLeft(text));
}

String TrimLeft(std::u16string_view text) {
  size_t start = 0;
  while (start < text.size() && IsTrimmed(text[start])) ++start;
  return String(text.substr(start));
}

String TrimRight(std::u16string_view text) {
  size_t end = text.size();
  while (end > 0 && IsTrimmed(text[end - 1])) --end;
  return String(text.substr(0, end));
}

char16_t AsciiUpper(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

String AsciiUpperCase(std::u16string_view text) {
  String result(text);
  for (char16_t& c : result) c = AsciiUpper(c);
  return result;
}

bool SameTextAscii(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf8(out, text);
  return out;
}

void AppendUtf8(std::string& out, std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      AppendUtf8(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, static_cast<char32_t>(c));
    }
  }
}

// Each maximal ill-formed subsequence becomes one U+FFFD, as browsers do.
String FromUtf8(std::string_view text) {
  String out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    }
    const LeadInfo lead = Lead(b);
    if (lead.length == 0) {
      out += static_cast<char16_t>(kReplacement);
      ++i;
      continue;
    }
    char32_t cp = b & (0xFF >> (lead.length + 1));
    size_t taken = 1;
    for (; taken < static_cast<size_t>(lead.length) && i + taken < text.size(); ++taken) {
      const auto next = static_cast<unsigned char>(text[i + taken]);
      const unsigned char low = taken == 1 ? lead.secondLow : 0x80;
      const unsigned char high = taken == 1 ? lead.secondHigh : 0xBF;
      if (next < low || next > high) break;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (taken == static_cast<size_t>(lead.length))
      AppendUtf16(out, cp);
    else
      out += static_cast<char16_t>(kReplacement);
    i += taken;
  }
  return out;
}

String IntToStr(int64_t value) {
  // Work on the magnitude as unsigned so that INT64_MIN does not overflow.
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  char16_t digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  String result;
  if (value < 0) result += u'-';
  while (count > 0) result += digits[--count];
  return result;
}

}  // namespace kestrum
