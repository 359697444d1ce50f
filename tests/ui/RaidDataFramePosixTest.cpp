#include "tests/support/TimeZone.h"
#include "tests/ui/RaidDataFrameFixture.h"

namespace kestrum::test {
namespace {

// The time left is real time, shown and taken as such across a change of the clocks. Central
// European clocks go forward at 02:00 on 29 March 2026 and back at 03:00 on 25 October.
TEST_F(RaidDataFrameTest, TimeLeftIsRealTimeAcrossADaylightSavingChange) {
  const auto at = [](int AMonth, int ADay, int AHour, int AMinute = 0) {
    return EncodeDate(2026, AMonth, ADay) + EncodeTime(AHour, AMinute, 0, 0);
  };
  struct Case {
    const char* what;
    const char* zone;
    TDateTime now;
    TDateTime activateTime;
    QStringList shown;
    QStringList entered;
    TDateTime enteredMoment;
  } cases[] = {
      {"spring weekend",
       kCentralEuropeanTime,
       at(3, 28, 20),
       at(3, 31, 15),
       {"2", "18", "0", "5"},
       {"1", "0", "0"},
       at(3, 29, 21)},
      {"autumn weekend",
       kCentralEuropeanTime,
       at(10, 24, 20),
       at(10, 27, 13),
       {"2", "18", "0", "5"},
       {"1", "0", "0"},
       at(10, 25, 19)},
      {"over the skipped hour",
       kCentralEuropeanTime,
       at(3, 29, 1, 30),
       at(3, 29, 3, 30),
       {"0", "1", "0", "5"},
       {"0", "0", "30"},
       at(3, 29, 3)},
      {"no daylight saving",
       "UTC0",
       at(3, 28, 20),
       at(3, 31, 14),
       {"2", "18", "0", "5"},
       {"1", "0", "0"},
       at(3, 29, 20)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TTimeZone zone(c.zone);
    clockAndFormats_.StopClockAt(c.now);
    TRaidDataFrame& row = MakeRow(c.activateTime);
    EXPECT_EQ(Shown(), c.shown);
    EXPECT_TRUE(row.CheckCorrectness());
    EXPECT_NEAR(row.GetActiveDateTime(), c.activateTime, OneMSec / 2);
    Enter(c.entered);
    EXPECT_NEAR(row.GetActiveDateTime(), c.enteredMoment, OneMSec / 2);
  }
}

}  // namespace
}  // namespace kestrum::test
