#include "base/TextCodec.h"

namespace kestrum {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEBom = "\xFF\xFE";
constexpr std::string_view kUtf16BEBom = "\xFE\xFF";

std::string_view Bom(TEncoding encoding) {
  switch (encoding) {
    case TEncoding::Utf8:
      return kUtf8Bom;
    case TEncoding::Utf16LE:
      return kUtf16LEBom;
    case TEncoding::Utf16BE:
      return kUtf16BEBom;
    case TEncoding::Ansi:
      break;
  }
  return {};
}

// Code units are kept as they are, lone surrogates included; an odd last byte cannot be one.
String DecodeUtf16(std::string_view bytes, bool bigEndian) {
  String out;
  out.reserve(bytes.size() / 2 + 1);
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    out += static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  if (i < bytes.size()) out += u'\uFFFD';
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

}  // namespace

String DecodeText(std::string_view bytes) {
  for (TEncoding encoding : {TEncoding::Utf8, TEncoding::Utf16LE, TEncoding::Utf16BE})
    if (bytes.starts_with(Bom(encoding))) return DecodeText(bytes, encoding);
  return DecodeText(bytes, TEncoding::Ansi);
}

String DecodeText(std::string_view bytes, TEncoding encoding) {
  const std::string_view bom = Bom(encoding);
  if (!bom.empty() && bytes.starts_with(bom)) bytes.remove_prefix(bom.size());
  switch (encoding) {
    case TEncoding::Utf16LE:
      return DecodeUtf16(bytes, false);
    case TEncoding::Utf16BE:
      return DecodeUtf16(bytes, true);
    case TEncoding::Ansi:
    case TEncoding::Utf8:
      break;
  }
  return FromUtf8(bytes);
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
    case TEncoding::Utf8:
      out += ToUtf8(text);
      break;
  }
  return out;
}

}  // namespace kestrum
