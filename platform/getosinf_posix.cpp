#include "platform/getosinf.h"

#include <charconv>

#include <sys/utsname.h>

#include "platform/OSVersion.h"

namespace kestrum {

std::optional<TOSVersion> ReadOSVersion() {
  utsname info{};
  TOSVersion version{kPlatformPosix};
  if (uname(&info) != 0 || !ParseKernelRelease(info.release, version.Major, version.Minor)) return {};
  return version;
}

namespace {

// An unsigned decimal at the front of AText; advances AText past it.
bool TakeNumber(std::string_view& AText, uint32_t& AValue) {
  const auto [end, ec] = std::from_chars(AText.data(), AText.data() + AText.size(), AValue);
  if (ec != std::errc() || end == AText.data()) return false;
  AText.remove_prefix(static_cast<size_t>(end - AText.data()));
  return true;
}

}  // namespace

bool ParseKernelRelease(std::string_view ARelease, uint32_t& AMajor, uint32_t& AMinor) {
  uint32_t major = 0;
  uint32_t minor = 0;
  if (!TakeNumber(ARelease, major) || ARelease.empty() || ARelease.front() != '.') return false;
  ARelease.remove_prefix(1);
  if (!TakeNumber(ARelease, minor)) return false;
  AMajor = major;
  AMinor = minor;
  return true;
}

bool IsWin8OrLater() {
  return true;
}

}  // namespace kestrum
