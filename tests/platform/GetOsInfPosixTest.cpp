#include "platform/getosinf.h"

#include <optional>
#include <string_view>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(GetOsInfTest, WorkAreaIsTrustedHere) {
  EXPECT_TRUE(IsWin8OrLater());
}

TEST(GetOsInfTest, KernelReleaseGivesMajorAndMinor) {
  struct Case {
    std::string_view release;
    std::optional<std::pair<uint32_t, uint32_t>> expected;
  };
  const Case cases[] = {
      {"6.1.0-18-amd64", {{6, 1}}}, {"10.0", {{10, 0}}},   {"6.12-rc1", {{6, 12}}}, {"6", std::nullopt},
      {"6.", std::nullopt},         {"x.1", std::nullopt}, {"", std::nullopt},      {"-6.1", std::nullopt},
  };
  for (const Case& c : cases) {
    uint32_t major = 99;
    uint32_t minor = 99;
    const bool ok = ParseKernelRelease(c.release, major, minor);
    ASSERT_EQ(ok, c.expected.has_value()) << c.release;
    if (ok) {
      EXPECT_EQ(major, c.expected->first) << c.release;
      EXPECT_EQ(minor, c.expected->second) << c.release;
    } else {
      EXPECT_EQ(major, 99u) << c.release;  // left alone
      EXPECT_EQ(minor, 99u) << c.release;
    }
  }
}

TEST(GetOsInfTest, ThisSystemsVersionCanBeRead) {
  EXPECT_EQ(GetOS(), kPlatformPosix);
  EXPECT_GE(GetMajorVer(), 2u);  // every kernel that runs Qt 6
  EXPECT_NO_THROW(GetMinorVer());
}

}  // namespace
}  // namespace kestrum
