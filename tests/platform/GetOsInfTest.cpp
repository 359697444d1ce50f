#include "platform/getosinf.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(GetOsInfTest, Win8OrLaterRuleNeedsNtAndVersion62) {
  struct Case {
    uint32_t platform, major, minor;
    bool expected;
  };
  const Case cases[] = {
      {kPlatformNT, 6, 1, false},    {kPlatformNT, 6, 2, true},  {kPlatformNT, 6, 3, true},
      {kPlatformNT, 10, 0, true},    {kPlatformNT, 5, 9, false}, {1, 10, 0, false},
      {kPlatformPosix, 6, 2, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsWin8OrLaterVersion(c.platform, c.major, c.minor), c.expected)
        << c.platform << " " << c.major << "." << c.minor;
  }
}

}  // namespace
}  // namespace kestrum
