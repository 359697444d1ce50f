#pragma once

#include <cstdint>
#include <optional>

namespace kestrum {

struct TOSVersion {
  uint32_t PlatformId = 0;
  uint32_t Major = 0;
  uint32_t Minor = 0;
};

// The system's version, read from the system; nothing when it cannot be read.
std::optional<TOSVersion> ReadOSVersion();

}  // namespace kestrum
