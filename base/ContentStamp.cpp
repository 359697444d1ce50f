#include "base/ContentStamp.h"

#include <functional>
#include <string>

#include "base/Files.h"

namespace kestrum {

TContentStamp StampOfBytes(std::string_view ABytes) {
  return {true, static_cast<int64_t>(ABytes.size()), std::hash<std::string_view>{}(ABytes)};
}

std::optional<TContentStamp> StampOfFile(const String& APath) {
  if (!FileExists(APath)) return TContentStamp{};
  try {
    return StampOfBytes(ReadFileBytes(APath));
  } catch (const EFileError&) {
    return std::nullopt;
  }
}

}  // namespace kestrum
