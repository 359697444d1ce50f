#include "platform/getosinf.h"

#include <charconv>
#include <optional>

#include <sys/utsname.h>

namespace kestrum {

namespace {

struct TOSVersion {
  uint32_t PlatformId = 0;
  uint32_t Major = 0;
  uint32_t Minor = 0;
};

std::optional<TOSVersion> ReadOSVersion() {
  utsname info{};
  TOSVersion version{kPlatformPosix};
  if (uname(&info) != 0 || !ParseKernelRelease(info.release, version.Major, version.Minor)) return {};
  return version;
}

// Read once; never changes while the program runs.
const std::optional<TOSVersion>& OSVersion() {
  static const std::optional<TOSVersion> version = ReadOSVersion();
  return version;
}

const TOSVersion& OSVersionOrThrow(const char16_t* AMessage) {
  if (!OSVersion()) throw EGetOSVerInfo(AMessage);
  return *OSVersion();
}

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

uint32_t GetMajorVer() {
  return OSVersionOrThrow(u"ERR : GetMajorVer").Major;
}
uint32_t GetMinorVer() {
  return OSVersionOrThrow(u"ERR : GetMinorVer").Minor;
}
uint32_t GetOS() {
  return OSVersionOrThrow(u"ERR : GetOS").PlatformId;
}

bool IsWin8OrLaterVersion(uint32_t APlatformId, uint32_t AMajor, uint32_t AMinor) {
  return APlatformId == kPlatformNT && (AMajor > 6 || (AMajor == 6 && AMinor > 1));
}

bool IsWin8OrLater() {
  return true;
}

}  // namespace kestrum
