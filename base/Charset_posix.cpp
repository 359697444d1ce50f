#include "base/Charset.h"

#include <iconv.h>

#include <cerrno>

#include "base/Exception.h"
#include "base/Strings.h"

namespace kestrum {

struct TCharsetConverter::TImpl {
  iconv_t Handle;
  String From;

  // Converts from the front of in until it ends or a byte cannot be taken: 0, or iconv's error
  // (EILSEQ, EINVAL) with in starting at the byte concerned.
  int Convert(std::string_view& in, std::string& out) {
    char buffer[16384];
    for (;;) {
      char* source = const_cast<char*>(in.data());
      size_t sourceLeft = in.size();
      char* target = buffer;
      size_t targetLeft = sizeof buffer;
      const size_t result = iconv(Handle, &source, &sourceLeft, &target, &targetLeft);
      const int error = result == static_cast<size_t>(-1) ? errno : 0;
      out.append(buffer, sizeof buffer - targetLeft);
      in.remove_prefix(in.size() - sourceLeft);
      if (error != E2BIG) return error;
    }
  }
};

TCharsetConverter::TCharsetConverter(const char* to, const char* from)
    : impl_(new TImpl{iconv_open(to, from), FromUtf8(from)}) {
  // iconv_open reports failure as the handle (iconv_t)-1.
  if (impl_->Handle == reinterpret_cast<iconv_t>(-1))  // NOLINT(performance-no-int-to-ptr)
    throw Exception(u"This system cannot convert text from " + impl_->From + u" to " + FromUtf8(to));
}

TCharsetConverter::~TCharsetConverter() {
  iconv_close(impl_->Handle);
}

TConverted TCharsetConverter::Convert(std::string_view bytes, TOnInvalid onInvalid) {
  TConverted result;
  const size_t total = bytes.size();
  while (!bytes.empty()) {
    const int error = impl_->Convert(bytes, result.Bytes);
    if (error == 0) break;
    if (error == EINVAL) {
      result.CutBytes = bytes.size();
      bytes = {};
      break;
    }
    if (error != EILSEQ) throw Exception(u"Converting text from " + impl_->From + u" failed");
    ++result.InvalidBytes;
    if (onInvalid == TOnInvalid::Stop) break;
    bytes.remove_prefix(1);
  }
  // A stop or a failure leaves a shift state behind in some sets; the next call starts afresh.
  iconv(impl_->Handle, nullptr, nullptr, nullptr, nullptr);
  result.Read = total - bytes.size();
  return result;
}

const char* AnsiCharset() {
  return "UTF-8";
}

}  // namespace kestrum
