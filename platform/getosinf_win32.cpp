#include "platform/getosinf.h"

#include <windows.h>

#include "platform/OSVersion.h"

namespace kestrum {

namespace {

using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOEXW*);

// GetVersionExW reports an older version to a program that does not declare newer ones; ntdll's
// RtlGetVersion tells the truth and wins when it answers.
void OverrideWithRtlGetVersion(TOSVersion& AVersion) {
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const HMODULE ntdll = LoadLibraryW(L"ntdll.dll");
  SetErrorMode(oldMode);
  if (ntdll == nullptr) return;
  const auto rtlGetVersion =
      reinterpret_cast<TRtlGetVersion>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (rtlGetVersion != nullptr && rtlGetVersion(&info) == 0)
    AVersion = {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
  FreeLibrary(ntdll);
}

}  // namespace

std::optional<TOSVersion> ReadOSVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const bool read = GetVersionExW(&info);
#pragma GCC diagnostic pop
  TOSVersion version{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
  OverrideWithRtlGetVersion(version);
  if (!read) return std::nullopt;
  return version;
}

// The work area leaves the taskbar out from Windows 8 on; an unreadable version counts as older.
bool IsWin8OrLater() {
  try {
    return IsWin8OrLaterVersion(GetOS(), GetMajorVer(), GetMinorVer());
  } catch (const EGetOSVerInfo&) {
    return false;
  }
}

}  // namespace kestrum
