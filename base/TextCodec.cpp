#include "base/TextCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "base/Charset.h"

namespace kestrum {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
constexpr std::string_view kUtf16BEBom = "\xFE\xFF";
constexpr const char* kUtf16LE = "UTF-16LE";

std::string_view Bom(TEncoding encoding) {
  switch (encoding) {
    case TEncoding::Utf8:
      return kUtf8Bom;
    case TEncoding::Utf16LE:
      return kUtf16LEBom;
    case TEncoding::Utf16BE:
      return kUtf16BEBom;
    case TEncoding::Ansi:
    case TEncoding::Cp932:
    case TEncoding::Windows1252:
      break;
  }
  return {};
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

char16_t Utf16Unit(std::string_view bytes, size_t index, bool bigEndian) {
  const auto first = static_cast<unsigned char>(bytes[2 * index]);
  const auto second = static_cast<unsigned char>(bytes[2 * index + 1]);
  return static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
}

// A lone surrogate or an odd last byte is no text: written back as UTF-8 it could only become
// U+FFFD, so it is left out.
TDecodedText DecodeUtf16(std::string_view bytes, bool bigEndian) {
  TDecodedText out;
  const size_t units = bytes.size() / 2;
  out.Whole = bytes.size() % 2 == 0;
  out.Text.reserve(units);
  for (size_t i = 0; i < units; ++i) {
    const char16_t c = Utf16Unit(bytes, i, bigEndian);
    if (IsHighSurrogate(c) && i + 1 < units && IsLowSurrogate(Utf16Unit(bytes, i + 1, bigEndian))) {
      out.Text += c;
      out.Text += Utf16Unit(bytes, ++i, bigEndian);
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      out.Whole = false;
    } else {
      out.Text += c;
    }
  }
  return out;
}

std::string EncodeUtf16(std::u16string_view text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 2 + 2);
  for (char16_t c : text) {
    const auto high = static_cast<char>(c >> 8);
    const auto low = static_cast<char>(c & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  }
  return out;
}

// The converter's UTF-16 output holds whole characters only.
String Utf16LEText(std::string_view bytes) {
  return DecodeUtf16(bytes, false).Text;
}

bool IsContinuation(unsigned char b) {
  return (b & 0xC0) == 0x80;
}

// Appends the code point as one or two UTF-16 code units.
char16_t* PutCodePoint(char16_t* out, char32_t cp) {
  if (cp < 0x10000) {
    *out++ = static_cast<char16_t>(cp);
  } else {
    *out++ = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
  }
  return out;
}

// The length of the well-formed UTF-8 sequence at p (at most left bytes) and its code point; 0 when
// there is none: no overlong forms, no surrogates, nothing beyond U+10FFFF, as the C library's
// converter takes it.
size_t Utf8Sequence(const unsigned char* p, size_t left, char32_t& cp) {
  const unsigned char lead = p[0];
  size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (left < length || p[1] < low || p[1] > high) return 0;
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(p[i])) return 0;
    cp = (cp << 6) | (p[i] & 0x3F);
  }
  return length;
}

// Whether bytes are all well-formed UTF-8; with store, their UTF-16 code units go to out, which is
// left where they end.
bool ReadUtf8(std::string_view bytes, char16_t*& out, bool store) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  while (p < end) {
    uint64_t eight;
    if (end - p >= 8 && (std::memcpy(&eight, p, 8), (eight & 0x8080808080808080u) == 0)) {
      if (store)
        for (int i = 0; i < 8; ++i) *out++ = p[i];
      p += 8;
    } else if (*p < 0x80) {
      if (store) *out++ = *p;
      ++p;
    } else {
      char32_t cp = 0;
      const size_t length = Utf8Sequence(p, static_cast<size_t>(end - p), cp);
      if (length == 0) return false;
      if (store) out = PutCodePoint(out, cp);
      p += length;
    }
  }
  return true;
}

// Bytes that are all well-formed UTF-8, decoded in one pass; nothing otherwise, and then the
// converter decides what they are. The common case, an ASCII or UTF-8 file, needs no converter.
std::optional<String> WholeUtf8(std::string_view bytes) {
  String text(bytes.size(), u'\0');  // never more code units than bytes
  char16_t* out = text.data();
  if (!ReadUtf8(bytes, out, true)) return std::nullopt;
  text.resize(static_cast<size_t>(out - text.data()));
  if (text.size() < text.capacity() / 2) text.shrink_to_fit();
  return text;
}

// Bytes of a set that the converter reads; invalid ones are left out.
TDecodedText DecodeCharset(const char* charset, std::string_view bytes) {
  TCharsetConverter converter(kUtf16LE, charset);
  const TConverted converted = converter.Convert(bytes, TOnInvalid::Skip);
  return {Utf16LEText(converted.Bytes), converted.InvalidBytes == 0 && converted.CutBytes == 0};
}

// UTF-8 or CP932 text, whole or cut off inside its last character. A file cut short is still read
// in its own encoding: another code page would turn all its text into other characters. Only text
// with characters beyond ASCII before the cut counts as cut, else a Windows-1252 file ending in a
// letter such as "é" would be taken for a cut UTF-8 file.
std::optional<TDecodedText> DecodeIfValid(const char* charset, std::string_view bytes) {
  TCharsetConverter converter(kUtf16LE, charset);
  const TConverted converted = converter.Convert(bytes, TOnInvalid::Stop);
  if (converted.InvalidBytes > 0) return std::nullopt;
  String text = Utf16LEText(converted.Bytes);
  if (converted.CutBytes == 0) return TDecodedText{std::move(text), true};
  if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= 0x80; }))
    return TDecodedText{std::move(text), false};
  return std::nullopt;
}

// The five bytes Windows-1252 leaves unassigned, which stand for the control characters of the same
// value, so that every byte has a character and comes back from it.
bool IsUnassignedInWindows1252(char16_t c) {
  return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

// Converts the whole input; at every byte the converter cannot take, Stop appends what stands for the
// input there and returns how many input bytes that was.
template <class F>
std::string ConvertWithStops(const char* to, const char* from, std::string_view in, F&& Stop) {
  TCharsetConverter converter(to, from);
  std::string out;
  while (!in.empty()) {
    const TConverted run = converter.Convert(in, TOnInvalid::Stop);
    out += run.Bytes;
    in.remove_prefix(run.Read - run.CutBytes);
    if (!in.empty()) in.remove_prefix(Stop(in, out));
  }
  return out;
}

String DecodeWindows1252(std::string_view bytes) {
  return Utf16LEText(ConvertWithStops(kUtf16LE, "CP1252", bytes, [](std::string_view rest, std::string& out) {
    out += EncodeUtf16(std::u16string(1, static_cast<unsigned char>(rest.front())), false);
    return size_t{1};
  }));
}

[[noreturn]] void CannotHold(std::string_view utf16LE, const char16_t* encoding) {
  const String character = utf16LE.size() >= 2 ? String(1, Utf16Unit(utf16LE, 0, false)) : String();
  throw EEncodeError(u"The character \"" + character + u"\" cannot be written in " + encoding);
}

std::string EncodeCharset(std::u16string_view text, const char* charset, const char16_t* name) {
  return ConvertWithStops(charset, kUtf16LE, EncodeUtf16(text, false),
                          [name](std::string_view rest, std::string&) -> size_t { CannotHold(rest, name); });
}

std::string EncodeWindows1252(std::u16string_view text) {
  return ConvertWithStops("CP1252", kUtf16LE, EncodeUtf16(text, false),
                          [](std::string_view rest, std::string& out) {
                            const char16_t c = rest.size() >= 2 ? Utf16Unit(rest, 0, false) : u'\0';
                            if (!IsUnassignedInWindows1252(c)) CannotHold(rest, u"Windows-1252");
                            out += static_cast<char>(c);
                            return size_t{2};
                          });
}

TDecodedText DecodeUtf8(std::string_view bytes) {
  if (std::optional<String> text = WholeUtf8(bytes)) return {std::move(*text), true};
  return DecodeCharset("UTF-8", bytes);
}

// The ANSI code page (UTF-8 on Linux) comes after UTF-8, which text in another code page is seldom
// valid in, so that a file written on Linux reads back the same on Windows.
TDecodedText DecodeAnsi(std::string_view bytes) {
  if (std::optional<String> text = WholeUtf8(bytes)) return {std::move(*text), true};
  const std::string_view ansi = AnsiCharset();
  const bool ansiTriedAnyway = ansi == "UTF-8" || ansi == "CP932";
  for (const char* charset : {"UTF-8", ansiTriedAnyway ? nullptr : ansi.data(), "CP932"}) {
    if (charset == nullptr) continue;
    if (std::optional<TDecodedText> decoded = DecodeIfValid(charset, bytes)) return std::move(*decoded);
  }
  return {DecodeWindows1252(bytes), true};
}

std::string EncodeAnsi(std::u16string_view text) {
  const std::string_view ansi = AnsiCharset();
  return ansi == "UTF-8" ? ToUtf8(text) : EncodeCharset(text, ansi.data(), u"the ANSI code page");
}

}  // namespace

bool IsWholeUtf8(std::string_view bytes) {
  char16_t* none = nullptr;
  return ReadUtf8(bytes, none, false);
}

TDecodedText DecodeText(std::string_view bytes) {
  for (TEncoding encoding : {TEncoding::Utf8, TEncoding::Utf16LE, TEncoding::Utf16BE})
    if (bytes.starts_with(Bom(encoding))) return DecodeText(bytes, encoding);
  return DecodeAnsi(bytes);
}

TDecodedText DecodeText(std::string_view bytes, TEncoding encoding) {
  const std::string_view bom = Bom(encoding);
  if (!bom.empty() && bytes.starts_with(bom)) bytes.remove_prefix(bom.size());
  switch (encoding) {
    case TEncoding::Utf8:
      return DecodeUtf8(bytes);
    case TEncoding::Utf16LE:
      return DecodeUtf16(bytes, false);
    case TEncoding::Utf16BE:
      return DecodeUtf16(bytes, true);
    case TEncoding::Cp932:
      return DecodeCharset("CP932", bytes);
    case TEncoding::Windows1252:
      return {DecodeWindows1252(bytes), true};
    case TEncoding::Ansi:
      break;
  }
  return DecodeAnsi(bytes);
}

std::string EncodeText(std::u16string_view text, TEncoding encoding, bool withBom) {
  std::string out(withBom ? Bom(encoding) : std::string_view());
  switch (encoding) {
    case TEncoding::Utf16LE:
      out += EncodeUtf16(text, false);
      break;
    case TEncoding::Utf16BE:
      out += EncodeUtf16(text, true);
      break;
    case TEncoding::Ansi:
      out += EncodeAnsi(text);
      break;
    case TEncoding::Utf8:
      out += ToUtf8(text);
      break;
    case TEncoding::Cp932:
      out += EncodeCharset(text, "CP932", u"CP932");
      break;
    case TEncoding::Windows1252:
      out += EncodeWindows1252(text);
      break;
  }
  return out;
}

}  // namespace kestrum
