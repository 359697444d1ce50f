#include "platform/getosinf.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include <sys/utsname.h>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

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

TEST(GetOsInfTest, ThisSystemsVersionIsTheKernelsRelease) {
  utsname info{};
  ASSERT_EQ(uname(&info), 0);
  unsigned major = 0;
  unsigned minor = 0;
  ASSERT_EQ(std::sscanf(info.release, "%u.%u", &major, &minor), 2) << info.release;
  EXPECT_EQ(GetOS(), kPlatformPosix);
  EXPECT_EQ(GetMajorVer(), major) << info.release;
  EXPECT_EQ(GetMinorVer(), minor) << info.release;
}

}  // namespace
}  // namespace kestrum
