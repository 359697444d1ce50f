#include "platform/getosinf.h"

#include "platform/OSVersion.h"

namespace kestrum {

namespace {

// Read once; never changes while the program runs.
const std::optional<TOSVersion>& OSVersion() {
  static const std::optional<TOSVersion> version = ReadOSVersion();
  return version;
}

const TOSVersion& OSVersionOrThrow(const char16_t* AMessage) {
  if (!OSVersion()) throw EGetOSVerInfo(AMessage);
  return *OSVersion();
}

}  // namespace

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

}  // namespace kestrum
