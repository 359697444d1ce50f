// Data files that no save wrote, shaped to make loading costly: a load stays within bounds counted
// in bytes and items, and a file beyond the size a load accepts is neither read nor replaced.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/RaidTimerData.h"
#include "tests/data/DataTestFixture.h"
#include "tests/data/RosterFileSupport.h"
#include "tests/support/AllocationMeter.h"
#include "tests/support/HostileRosters.h"

namespace kestrum::test {
namespace {

using HostileFileTest = DataTest;

// Large enough that the fixed costs of a load vanish beside the file's own and the budgets scale.
constexpr size_t kHostileBytes = kMaxDataFileBytes / 2;

TEST_F(HostileFileTest, EveryShapeLoadsWithinFourTimesItsSize) {
  for (const THostileShape shape : kHostileShapes) {
    SCOPED_TRACE(HostileShapeName(shape));
    const std::string bytes = HostileRoster(shape, kHostileBytes);
    WriteFileBytes(DataFile(), bytes);
    TKestrum roster;
    const AllocationMeter meter;
    roster.Load();
    const double ratio = static_cast<double>(meter.PeakExtraBytes()) / static_cast<double>(bytes.size());
    EXPECT_LE(ratio, 4.0);
    // What the roster holds is bounded by the file, not by the counts it claims.
    EXPECT_LE(static_cast<size_t>(roster.RaidCount()) * std::max(roster.CharaCount(), 1), bytes.size() / 8);
  }
}

TEST_F(HostileFileTest, SavedRostersLoadWithinFourTimesTheirSize) {
  const TSavedRosterShape cases[] = {
      {"typical", 30, 20, true},
      {"200 characters by 100 raids", 100, 200, true},
      {"200 characters by 100 raids, timers unset", 100, 200, false},
      {"many characters of three raids", 3, 40000, false},
      {"many characters of one raid, timers set", 1, 40000, true},
      {"one character of many raids", 20000, 1, false},
  };
  for (const auto& c : cases) {
    const std::string text = SavedRosterText(c);
    WriteFileBytes(DataFile(), text);
    TKestrum roster;
    const AllocationMeter meter;
    roster.Load();
    EXPECT_EQ(roster.CharaCount(), c.charas) << c.what;
    EXPECT_LE(static_cast<double>(meter.PeakExtraBytes()) / static_cast<double>(text.size()), 4.0) << c.what;
  }
}

TEST_F(HostileFileTest, BeyondAFewThousandOnlyCharactersAndRaidsBackedByTheirLinesAreBuilt) {
  // Characters of a name alone cost as much as saved ones in a fraction of the bytes: past the first
  // few thousand they are cut, while a saved character after them still loads.
  std::string text = Lines({"[RAID]", "COUNT=1", "0=a", "[CHARA]", "COUNT=20001"});
  for (int i = 0; i < 20000; ++i) text += Lines({"[CHARA" + std::to_string(i) + "]", "NAME=c"});
  text += Lines({"[CHARA20000]", "NAME=saved", "a=\"2024/03/08 07:45:30\"", "a COUNT=3"});
  WriteFileBytes(DataFile(), text);
  TKestrum charas;
  charas.Load();
  ASSERT_GT(charas.CharaCount(), 1);
  EXPECT_LT(charas.CharaCount(), 20001);
  const TCharaData& last = *charas.GetCharaDatas(charas.CharaCount() - 1);
  EXPECT_EQ(last.Name(), u"saved");
  EXPECT_EQ(last.GetRaidTimerDatas(0)->Count(), 3u);
  EXPECT_FALSE(charas.UnreadReport().Whole());

  // Raid names that no character's keys stand for are cut the same way.
  text = Lines({"[RAID]", "COUNT=50000"});
  for (int k = 0; k < 50000; ++k) text += Lines({std::to_string(k) + "=r" + std::to_string(k)});
  WriteFileBytes(DataFile(), text + Lines({"[CHARA]", "COUNT=0"}));
  TKestrum raids;
  raids.Load();
  EXPECT_GT(raids.RaidCount(), 1000);
  EXPECT_LT(raids.RaidCount(), 50000);
  EXPECT_FALSE(raids.UnreadReport().Whole());
}

TEST_F(HostileFileTest, FileBeyondTheLimitIsNeitherReadNorReplaced) {
  const std::string roster = Lines({"[RAID]", "COUNT=1", "0=a", "[CHARA]", "COUNT=1", "[CHARA0]", "NAME=x"});
  // A comment pads the file to a given size; only the size decides.
  const auto padded = [&](size_t size) { return roster + ";" + std::string(size - roster.size() - 1, 'p'); };

  WriteFileBytes(DataFile(), padded(kMaxDataFileBytes));
  TKestrum loaded;
  ASSERT_NO_THROW(loaded.Load()) << "a file of the largest accepted size loads";
  EXPECT_EQ(loaded.CharaCount(), 1);

  const std::string tooLarge = padded(kMaxDataFileBytes + 1);
  WriteFileBytes(DataFile(), tooLarge);
  const std::vector<std::string> listing = FolderListing(home_.AppFolder());
  TKestrum refused;
  EXPECT_THROW(refused.Load(), ERTDError);
  // The roster already loaded must not write over the file either.
  try {
    loaded.AddChara(u"y");
    ADD_FAILURE() << "the save replaced a file beyond the limit";
  } catch (const ERTDError& error) {
    EXPECT_NE(error.Message().find(IntToStr(static_cast<int64_t>(tooLarge.size()))), String::npos)
        << "the message gives the file's size";
  }
  EXPECT_EQ(ReadFileBytes(DataFile()), tooLarge);
  EXPECT_EQ(FolderListing(home_.AppFolder()), listing) << "no copy, backup or temporary file is left";
}

}  // namespace
}  // namespace kestrum::test
