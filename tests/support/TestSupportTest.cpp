// The helpers every test stands on: a fault here would let other tests pass for the wrong reason or
// leave files and settings behind.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "tests/support/ClockAndFormats.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TimeScale.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

TEST(TimeScale, ReadsPositiveNumbersAndIgnoresTheRest) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {
      {nullptr, 1}, {"", 1},   {"2", 2},   {"0.5", 0.5}, {"10", 10}, {"1.5x", 1},
      {"0", 1},     {"-2", 1}, {"abc", 1}, {"inf", 1},   {"nan", 1}, {" 2", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseTimeScale(c.text), c.expected) << (c.text ? c.text : "(unset)");
}

TEST(ScratchFolder, IsNewEmptyAndGoesWithEverythingInIt) {
  fs::path kept;
  {
    const TScratchFolder first;
    const TScratchFolder second;
    EXPECT_NE(first.Path(), second.Path());
    ASSERT_TRUE(fs::is_directory(first.Path()));
    EXPECT_TRUE(fs::is_empty(first.Path()));
    // A read-only folder with a file in it, as a test of saving into read-only places leaves.
    const fs::path locked = first.Path() / "locked";
    fs::create_directories(locked / "deeper");
    std::ofstream(locked / "deeper" / "file") << "x";
    fs::permissions(locked / "deeper", fs::perms::owner_read | fs::perms::owner_exec);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    kept = first.Path();
  }
  EXPECT_FALSE(fs::exists(kept));
}

TEST(ScratchFolder, ListsItsEntriesSorted) {
  const TScratchFolder folder("kestrum-listing-");
  EXPECT_EQ(folder.Path().filename().string().rfind("kestrum-listing-", 0), 0u);
  for (const char* name : {"raid.dat.bak", "cfg.ini", "raid.dat"})
    std::ofstream(folder.Path() / name) << name;
  fs::create_directory(folder.Path() / "Kestrum");
  EXPECT_EQ(FolderListing(folder.Path()),
            (std::vector<std::string>{"Kestrum", "cfg.ini", "raid.dat", "raid.dat.bak"}));
  EXPECT_TRUE(FolderListing(folder.Path() / "missing").empty());
}

TEST(ClockAndFormats, PutsBackWhatItChanged) {
  const TFormatSettings before = FormatSettings();
  const TFormatSettings german{u"dd.mm.yyyy", u"hh:nn:ss", u'.', u':'};
  {
    TClockAndFormats fixture;
    fixture.StopClockAt(42.25);
    fixture.SetFormats(german);
    EXPECT_EQ(Now(), 42.25);
    EXPECT_EQ(FormatSettings().ShortDateFormat, german.ShortDateFormat);
  }
  EXPECT_EQ(FormatSettings().ShortDateFormat, before.ShortDateFormat);
  EXPECT_EQ(FormatSettings().DateSeparator, before.DateSeparator);
  EXPECT_GT(Now(), EncodeDate(2020, 1, 1));  // the system clock again
}

TEST(ClockAndFormats, LeavesAloneWhatItDidNotChange) {
  TClockAndFormats outer;
  outer.StopClockAt(7.5);
  {
    TClockAndFormats inner;
    inner.SetFormats({u"yyyy-mm-dd", u"hh:nn:ss", u'-', u':'});
  }
  EXPECT_EQ(Now(), 7.5);
}

}  // namespace
}  // namespace kestrum::test
