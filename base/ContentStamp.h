#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/Strings.h"

namespace kestrum {

// What a file held, in brief: whether it existed, its size and a hash of its bytes. Two stamps that
// differ stand for different content; content decides, not times, since a sync tool may write the
// same bytes anew.
struct TContentStamp {
  bool Exists = false;
  int64_t Size = 0;
  size_t Hash = 0;
  friend bool operator==(const TContentStamp&, const TContentStamp&) = default;
};

TContentStamp StampOfBytes(std::string_view ABytes);
// The stamp of the file as it is now (a missing one included); none when it cannot be read.
std::optional<TContentStamp> StampOfFile(const String& APath);

}  // namespace kestrum
