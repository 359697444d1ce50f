#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace kestrum {

// What converting bytes from one character set to another gave.
struct TConverted {
  std::string Bytes;
  size_t InvalidBytes = 0;  // input bytes that are no character of the source set (or have none in
                            // the target set); they are left out
  size_t CutBytes = 0;      // the input ends inside a character; its bytes are left out
  size_t Read = 0;          // input bytes dealt with, converted or left out, up to a stop
};

enum class TOnInvalid { Skip, Stop };

// The system's converter between two character sets it names, such as "UTF-8", "UTF-16LE",
// "CP932" and "CP1252".
class TCharsetConverter final {
 public:
  // Throws Exception when the system has no such converter.
  TCharsetConverter(const char* to, const char* from);
  ~TCharsetConverter();
  TCharsetConverter(const TCharsetConverter&) = delete;
  TCharsetConverter& operator=(const TCharsetConverter&) = delete;

  // An invalid byte is left out and the conversion goes on after it, or stops there.
  TConverted Convert(std::string_view bytes, TOnInvalid onInvalid);

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
};

// The converter name of the code page text is written in when no encoding is asked for: "UTF-8"
// on Linux, the ANSI code page (CP_ACP) on Windows, such as "CP932" or "CP1252".
const char* AnsiCharset();
inline bool AnsiIsUtf8() {
  return std::string_view(AnsiCharset()) == "UTF-8";
}

}  // namespace kestrum
