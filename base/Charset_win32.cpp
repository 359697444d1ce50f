#include "base/Charset.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "base/Exception.h"
#include "base/Strings.h"

namespace kestrum {

namespace {

constexpr std::string_view kUtf16LE = "UTF-16LE";
// Input is converted in blocks of whole characters of about this size; a block the system refuses
// is gone through character by character to find the bytes it cannot take.
constexpr size_t kBlockBytes = 65536;

// "UTF-8" or "CP<number>": the code page of a converter name, or 0.
UINT CodePageOf(std::string_view name) {
  if (name == "UTF-8") return CP_UTF8;
  if (name.size() < 3 || name.substr(0, 2) != "CP") return 0;
  UINT codePage = 0;
  for (char c : name.substr(2)) {
    if (c < '0' || c > '9') return 0;
    codePage = codePage * 10 + static_cast<UINT>(c - '0');
  }
  return IsValidCodePage(codePage) ? codePage : 0;
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

unsigned char Utf8Length(unsigned lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  return 1;
}

// The length of each character by its first byte: UTF-8 by its lead byte, a double-byte code page
// by its lead-byte ranges. An invalid lead counts as one byte; the system then refuses it.
std::array<unsigned char, 256> CharLengths(UINT codePage) {
  std::array<unsigned char, 256> lengths;
  CPINFO info{};
  const bool doubleByte = codePage != CP_UTF8 && GetCPInfo(codePage, &info) && info.MaxCharSize == 2;
  for (unsigned lead = 0; lead < 256; ++lead) {
    if (codePage == CP_UTF8)
      lengths[lead] = Utf8Length(lead);
    else
      lengths[lead] = doubleByte && IsDBCSLeadByteEx(codePage, static_cast<BYTE>(lead)) ? 2 : 1;
  }
  return lengths;
}

// Windows' code page 932 gives the bytes 80, A0 and FD to FF characters of their own (U+0080 and
// private-use ones) that Shift-JIS has not; like the other systems' CP932 we take them for no text,
// so that a file reads the same everywhere.
bool IsOutsideShiftJis(UINT codePage, unsigned char lead) {
  return codePage == 932 && (lead == 0x80 || lead == 0xA0 || lead >= 0xFD);
}

bool IsOutsideShiftJis(UINT codePage, wchar_t c) {
  return codePage == 932 && (c == 0x80 || (c >= 0xF8F0 && c <= 0xF8F3));
}

size_t UnitLength(std::wstring_view units, size_t i) {
  return IS_HIGH_SURROGATE(units[i]) && i + 1 < units.size() && IS_LOW_SURROGATE(units[i + 1]) ? 2 : 1;
}

void AppendUtf16LE(std::string& out, const wchar_t* units, size_t count) {
  const size_t at = out.size();
  out.resize(at + count * 2);
  std::memcpy(out.data() + at, units, count * 2);
}

}  // namespace

struct TCharsetConverter::TImpl {
  UINT CodePage;
  bool ToUtf16;
  std::array<unsigned char, 256> Lengths;  // by first byte, from CharLengths

  size_t CharLength(unsigned char lead) const { return Lengths[lead]; }

  // Appends the conversion of piece to out; false when the system refuses it as a whole.
  bool Decode(std::string_view piece, std::string& out) const {
    const int length = static_cast<int>(piece.size());
    const int count = MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, piece.data(), length, nullptr, 0);
    if (count <= 0) return false;
    std::wstring units(static_cast<size_t>(count), L'\0');
    MultiByteToWideChar(CodePage, MB_ERR_INVALID_CHARS, piece.data(), length, units.data(), count);
    AppendUtf16LE(out, units.data(), units.size());
    return true;
  }

  bool Encode(std::wstring_view piece, std::string& out) const {
    for (wchar_t c : piece)
      if (IsOutsideShiftJis(CodePage, c)) return false;
    const int length = static_cast<int>(piece.size());
    BOOL usedDefault = FALSE;
    // Without best fit, a character the code page lacks is reported instead of becoming a look-alike.
    const DWORD flags = CodePage == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL* used = CodePage == CP_UTF8 ? nullptr : &usedDefault;
    const int count = WideCharToMultiByte(CodePage, flags, piece.data(), length, nullptr, 0, nullptr, used);
    if (count <= 0 || usedDefault) return false;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(count));
    WideCharToMultiByte(CodePage, flags, piece.data(), length, out.data() + at, count, nullptr, nullptr);
    return true;
  }

  // Whether the bytes at the end are the start of a character that the end cut off.
  bool IsCutCharacter(std::string_view rest) const {
    const auto lead = static_cast<unsigned char>(rest.front());
    if (rest.size() >= CharLength(lead)) return false;
    if (CodePage != CP_UTF8) return true;
    for (size_t i = 1; i < rest.size(); ++i)
      if (!IsContinuation(static_cast<unsigned char>(rest[i]))) return false;
    return true;
  }

  TConverted FromCodePage(std::string_view bytes, TOnInvalid onInvalid) const;
  TConverted FromUtf16(std::string_view bytes, TOnInvalid onInvalid) const;
};

TConverted TCharsetConverter::TImpl::FromCodePage(std::string_view bytes, TOnInvalid onInvalid) const {
  TConverted result;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = pos;
    while (end < bytes.size() && end - pos < kBlockBytes) {
      const auto lead = static_cast<unsigned char>(bytes[end]);
      const size_t length = CharLength(lead);
      if (end + length > bytes.size() || IsOutsideShiftJis(CodePage, lead)) break;
      end += length;
    }
    if (end > pos && Decode(bytes.substr(pos, end - pos), result.Bytes)) {
      pos = end;
      continue;
    }
    // Character by character up to the block's end, or the last bytes alone.
    const size_t stop = end > pos ? end : pos + 1;
    while (pos < stop) {
      const size_t length = CharLength(static_cast<unsigned char>(bytes[pos]));
      if (pos + length > bytes.size() && IsCutCharacter(bytes.substr(pos))) {
        result.CutBytes = bytes.size() - pos;
        result.Read = bytes.size();
        return result;
      }
      const bool refused = IsOutsideShiftJis(CodePage, static_cast<unsigned char>(bytes[pos]));
      if (!refused && pos + length <= bytes.size() && Decode(bytes.substr(pos, length), result.Bytes)) {
        pos += length;
        continue;
      }
      ++result.InvalidBytes;
      if (onInvalid == TOnInvalid::Stop) {
        result.Read = pos;
        return result;
      }
      ++pos;
    }
  }
  result.Read = bytes.size();
  return result;
}

TConverted TCharsetConverter::TImpl::FromUtf16(std::string_view bytes, TOnInvalid onInvalid) const {
  TConverted result;
  std::wstring text(bytes.size() / 2, L'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  const std::wstring_view units = text;
  size_t pos = 0;
  while (pos < units.size()) {
    size_t end = std::min(pos + kBlockBytes, units.size());
    if (end < units.size() && IS_HIGH_SURROGATE(units[end - 1])) --end;  // keep a pair together
    if (end > pos && Encode(units.substr(pos, end - pos), result.Bytes)) {
      pos = end;
      continue;
    }
    for (const size_t stop = std::max(end, pos + 1); pos < stop;) {
      const size_t length = UnitLength(units, pos);
      if (length == 1 && IS_HIGH_SURROGATE(units[pos]) && pos + 1 == units.size()) {
        result.CutBytes = bytes.size() - 2 * pos;
        result.Read = bytes.size();
        return result;
      }
      if (Encode(units.substr(pos, length), result.Bytes)) {
        pos += length;
        continue;
      }
      ++result.InvalidBytes;
      if (onInvalid == TOnInvalid::Stop) {
        result.Read = 2 * pos;
        return result;
      }
      pos += length;
    }
  }
  result.CutBytes = bytes.size() % 2;
  result.Read = bytes.size();
  return result;
}

TCharsetConverter::TCharsetConverter(const char* to, const char* from) {
  const bool toUtf16 = to == kUtf16LE;
  const UINT codePage = CodePageOf(toUtf16 ? from : to);
  if (codePage == 0 || (!toUtf16 && from != kUtf16LE))
    throw Exception(u"This system cannot convert text from " + FromUtf8(from) + u" to " + FromUtf8(to));
  impl_.reset(new TImpl{codePage, toUtf16, CharLengths(codePage)});
}

TCharsetConverter::~TCharsetConverter() = default;

TConverted TCharsetConverter::Convert(std::string_view bytes, TOnInvalid onInvalid) {
  return impl_->ToUtf16 ? impl_->FromCodePage(bytes, onInvalid) : impl_->FromUtf16(bytes, onInvalid);
}

const char* AnsiCharset() {
  static const std::string name = GetACP() == CP_UTF8 ? "UTF-8" : "CP" + std::to_string(GetACP());
  return name.c_str();
}

}  // namespace kestrum
