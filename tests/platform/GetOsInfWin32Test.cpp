#include "platform/getosinf.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// Without a manifest that names newer versions, GetVersionExW reports 6.2 on Windows 8.1 and later,
// as Wine does for its default Windows 10; the probe must hold the true version.
TEST(GetOsInfWin32Test, ProbeHoldsTheTrueVersion) {
  OSVERSIONINFOW reported{};
  reported.dwOSVersionInfoSize = sizeof reported;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(GetVersionExW(&reported));
#pragma GCC diagnostic pop
  EXPECT_EQ(GetOS(), kPlatformNT);
  EXPECT_EQ(GetMajorVer(), 10u);
  EXPECT_EQ(GetMinorVer(), 0u);
  EXPECT_LE(reported.dwMajorVersion * 100 + reported.dwMinorVersion, GetMajorVer() * 100 + GetMinorVer());
  EXPECT_TRUE(IsWin8OrLater());
}

}  // namespace
}  // namespace kestrum
