#pragma once

#include <string>
#include <string_view>

#include "base/Exception.h"
#include "base/Strings.h"

namespace kestrum {

// The ANSI code page is UTF-8 on Linux and the system's (CP_ACP) on Windows; CP932 and
// Windows-1252 are what the Windows versions of the program write on Japanese and Western systems.
enum class TEncoding { Ansi, Utf8, Utf16LE, Utf16BE, Cp932, Windows1252 };

// A character that the encoding asked for cannot hold.
class EEncodeError : public Exception {
 public:
  using Exception::Exception;
};

// Text decoded from file bytes. Bytes that are no text in the encoding are left out, never replaced
// by U+FFFD, so that writing the text back adds nothing that was not in the file.
struct TDecodedText {
  String Text;
  bool Whole = true;  // false when bytes were left out: a lone surrogate, an odd last byte, bytes
                      // that are no character or a character cut off by the end of the bytes
};

// A byte-order mark selects UTF-8, UTF-16 LE or UTF-16 BE and is skipped. Without one the bytes are
// read as UTF-8 when they are UTF-8, else in the ANSI code page when they are valid in it, else as
// CP932 when they are CP932, else as Windows-1252, which gives every byte a character. Never fails.
TDecodedText DecodeText(std::string_view bytes);
// Decodes with the given encoding, skipping that encoding's byte-order mark when present.
TDecodedText DecodeText(std::string_view bytes, TEncoding encoding);

// Whether the bytes are all well-formed UTF-8, as DecodeText reads them when they carry no mark.
bool IsWholeUtf8(std::string_view bytes);

// Encodes text; withBom puts the encoding's byte-order mark first (the code pages have none).
// Throws EEncodeError for a character that CP932, Windows-1252 or the ANSI code page cannot hold
// (on Linux the ANSI code page is UTF-8, which holds every character).
std::string EncodeText(std::u16string_view text, TEncoding encoding, bool withBom);

}  // namespace kestrum
