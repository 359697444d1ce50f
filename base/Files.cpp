#include "base/Files.h"

#include <random>

#include "base/TempFileNames.h"

namespace kestrum {

String RandomTempSuffix() {
  static constexpr char16_t kChars[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kChars / sizeof *kChars - 2);
  String suffix;
  for (size_t i = 0; i < kTempSuffixLength; ++i) suffix += kChars[pick(generator)];
  return suffix;
}

bool CopyFileReplacing(const String& from, const String& to) {
  try {
    WriteFileAtomic(to, ReadFileBytes(from));
    return true;
  } catch (const EFileError&) {
    return false;
  }
}

}  // namespace kestrum
