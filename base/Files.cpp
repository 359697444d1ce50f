#include "base/Files.h"

#include <filesystem>
#include <random>
#include <system_error>

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

std::vector<String> FileNamesStartingWith(const String& folder, std::u16string_view prefix) {
  std::vector<String> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(std::filesystem::path(folder), error), end; !error && it != end;
       it.increment(error)) {
    String name = it->path().filename().u16string();
    if (name.starts_with(prefix) && it->is_regular_file(error)) names.push_back(std::move(name));
  }
  return names;
}

}  // namespace kestrum
