#pragma once

#include <string>
#include <string_view>

#include "base/Strings.h"

namespace kestrum {

// The ANSI code page is UTF-8 on this platform.
enum class TEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// Decodes file bytes: a byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE and is skipped; without
// one the bytes are read in the ANSI code page. Never fails: undecodable bytes become U+FFFD.
String DecodeText(std::string_view bytes);
// Decodes with the given encoding, skipping that encoding's byte-order mark when present.
String DecodeText(std::string_view bytes, TEncoding encoding);

// Encodes text; withBom puts the encoding's byte-order mark first (the ANSI code page has none).
std::string EncodeText(std::u16string_view text, TEncoding encoding, bool withBom);

}  // namespace kestrum
