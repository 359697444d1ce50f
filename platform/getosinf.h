#pragma once

#include <cstdint>
#include <string_view>

#include "base/Exception.h"

namespace kestrum {

// The operating system version could not be read.
class EGetOSVerInfo : public Exception {
 public:
  using Exception::Exception;
};

// Platform identifiers returned by GetOS.
inline constexpr uint32_t kPlatformNT = 2;
inline constexpr uint32_t kPlatformPosix = 3;  // our own: the kernel release of uname()

// Read once, on first use. Each throws EGetOSVerInfo ("ERR : GetMajorVer", "ERR : GetMinorVer",
// "ERR : GetOS") when the version could not be read.
uint32_t GetMajorVer();
uint32_t GetMinorVer();
uint32_t GetOS();

// Whether a screen's work area already leaves the taskbar out. Always true on Linux: a screen's
// available geometry excludes panels and docks. On Windows the rule below on the probed version,
// false when the version cannot be read. Never throws EGetOSVerInfo.
bool IsWin8OrLater();

// The Windows rule behind IsWin8OrLater: NT platform, version 6.2 or later.
bool IsWin8OrLaterVersion(uint32_t APlatformId, uint32_t AMajor, uint32_t AMinor);

// Linux: reads "major.minor" from the front of a kernel release text such as "6.1.0-18-amd64".
// False, leaving the outputs alone, when the text does not start that way.
bool ParseKernelRelease(std::string_view ARelease, uint32_t& AMajor, uint32_t& AMinor);

}  // namespace kestrum
