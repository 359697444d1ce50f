// Lock-outs across daylight-saving changes: 66 real hours, kept as the local time they end at.

#include <gtest/gtest.h>

#include "data/CharaData.h"
#include "tests/data/DataTestFixture.h"
#include "tests/support/TimeZone.h"

namespace kestrum::test {
namespace {

TDateTime At(int y, int mo, int d, int h, int mi = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, 0, 0);
}

using DaylightSavingTest = DataTest;

// Central European clocks go forward at 02:00 on 29 March 2026 and back at 03:00 on 25 October.
TEST_F(DaylightSavingTest, ALockOutEndsSixtySixRealHoursAfterTheRun) {
  struct Case {
    const char* what;
    const char* zone;
    TDateTime recorded;
    TDateTime end;  // as the local clock shows it
  };
  const Case cases[] = {
      {"spring weekend", kCentralEuropeanTime, At(2026, 3, 28, 20), At(2026, 3, 31, 15)},
      {"autumn weekend", kCentralEuropeanTime, At(2026, 10, 24, 20), At(2026, 10, 27, 13)},
      {"an end in the skipped hour is shown after it", kCentralEuropeanTime, At(2026, 3, 26, 8, 30),
       At(2026, 3, 29, 3, 30)},
      {"an end in the repeated hour, first time round", kCentralEuropeanTime, At(2026, 10, 22, 8, 30),
       At(2026, 10, 25, 2, 30)},
      {"a summer week", kCentralEuropeanTime, At(2026, 6, 6, 20), At(2026, 6, 9, 14)},
      {"no daylight saving", "UTC0", At(2026, 3, 28, 20), At(2026, 3, 31, 14)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TTimeZone zone(c.zone);
    now_ = c.recorded;
    TRaidTimerData timer(0, 0);
    timer.Done();
    EXPECT_NEAR(timer.ActivateTime(), c.end, kMillisecond / 10);
    for (TDateTime hoursBefore : {1, 0}) {  // where a plain wall-clock end would already have come
      now_ = c.end - hoursBefore / 24.0 - kMillisecond;
      EXPECT_FALSE(timer.Enabled()) << hoursBefore << " h and a millisecond before the end";
    }
    now_ = c.end;
    EXPECT_TRUE(timer.Enabled()) << "at the end";
  }
}

// An end that names a skipped local time (an earlier version, a hand edit) is read as the clock
// before the change would show it: 02:30 is 03:30 summer time.
TEST_F(DaylightSavingTest, AnEndInTheSkippedHourComesAtTheRealMoment) {
  const TTimeZone zone(kCentralEuropeanTime);
  const TRaidTimerData timer(At(2026, 3, 29, 2, 30), 0);
  struct Case {
    TDateTime now;
    bool enabled;
  };
  const Case cases[] = {
      {At(2026, 3, 29, 1, 59), false},
      {At(2026, 3, 29, 3, 10), false},
      {At(2026, 3, 29, 3, 30) - kMillisecond, false},
      {At(2026, 3, 29, 3, 30), true},
  };
  for (const Case& c : cases) {
    now_ = c.now;
    EXPECT_EQ(timer.Enabled(), c.enabled) << ToUtf8(DateTimeToStr(c.now));
  }
}

}  // namespace
}  // namespace kestrum::test
