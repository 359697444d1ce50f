#pragma once

#include <filesystem>

#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "tests/support/ClockAndFormats.h"
#include "tests/support/TempHome.h"

namespace kestrum::test {

// One millisecond in Date-time units: the finest step the clock and the date text keep.
inline constexpr double kMillisecond = 1.0 / 86400000.0;

// A private home, a clock that stands still at now_ and year/month/day formats, so that the data
// file's date texts are known in advance.
class DataTest : public TempHomeTest {
 protected:
  DataTest() {
    clockAndFormats_.SetFormats({u"yyyy/mm/dd", u"hh:nn:ss", u'/', u':'});
    clockAndFormats_.SetClock([this] { return now_; });
  }

  std::filesystem::path DataFile() const { return home_.AppFolder() / "raid.dat"; }
  std::filesystem::path Backup() const { return home_.AppFolder() / "raid.dat.bak"; }
  std::filesystem::path Backup2() const { return home_.AppFolder() / "raid.dat.bak2"; }

  TDateTime now_ = EncodeDate(2024, 3, 5) + EncodeTime(13, 45, 30, 0);
  TClockAndFormats clockAndFormats_;
};

}  // namespace kestrum::test
