// Local moments against real time across daylight-saving changes, under zones set through TZ.

#include <string>

#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "tests/support/TimeZone.h"

namespace kestrum::test {
namespace {

constexpr double kHour = 1.0 / 24;
constexpr double kMillisecond = 1.0 / 86400000;

TDateTime At(int y, int mo, int d, int h, int mi = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, 0, 0);
}

// Central European clocks go forward at 02:00 on 29 March 2026 and back at 03:00 on 25 October.
TEST(RealTime, SpansOfRealTimeBetweenLocalMoments) {
  struct Case {
    const char* what;
    const char* zone;
    TDateTime from;
    TDateTime to;
    TDateTime realSpan;
  };
  const Case cases[] = {
      {"spring weekend", kCentralEuropeanTime, At(2026, 3, 28, 20), At(2026, 3, 31, 15), 66 * kHour},
      {"autumn weekend", kCentralEuropeanTime, At(2026, 10, 24, 20), At(2026, 10, 27, 13), 66 * kHour},
      {"a summer week", kCentralEuropeanTime, At(2026, 6, 6, 20), At(2026, 6, 9, 14), 66 * kHour},
      {"no daylight saving", "UTC0", At(2026, 3, 28, 20), At(2026, 3, 31, 14), 66 * kHour},
      {"over the skipped hour", kCentralEuropeanTime, At(2026, 3, 29, 1, 30), At(2026, 3, 29, 3, 30), kHour},
      {"a skipped time is read as the clock before the change shows it", kCentralEuropeanTime,
       At(2026, 3, 29, 2, 30), At(2026, 3, 29, 3, 30), 0},
      {"over the repeated hour", kCentralEuropeanTime, At(2026, 10, 25, 1, 30), At(2026, 10, 25, 3),
       2.5 * kHour},
      {"a repeated time is read as its earlier moment", kCentralEuropeanTime, At(2026, 10, 25, 2, 30),
       At(2026, 10, 25, 3), 1.5 * kHour},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TTimeZone zone(c.zone);
    EXPECT_NEAR(RealSpan(c.from, c.to), c.realSpan, kMillisecond / 10);
    EXPECT_NEAR(RealSpan(c.to, c.from), -c.realSpan, kMillisecond / 10);
    EXPECT_NEAR(AfterRealSpan(c.from, c.realSpan), c.to, kMillisecond / 10);
  }
}

// Without a change in between, the arithmetic is the plain one to the last bit.
TEST(RealTime, WithoutAChangeTheSpanIsTheDifference) {
  const TTimeZone zone(kCentralEuropeanTime);
  const TDateTime from = EncodeDate(2026, 6, 6) + EncodeTime(20, 1, 2, 345);
  EXPECT_EQ(AfterRealSpan(from, 2.75), from + 2.75);
  EXPECT_EQ(RealSpan(from, from + 1.3), (from + 1.3) - from);
}

}  // namespace
}  // namespace kestrum::test
