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

TEST_F(HostileFileTest, EveryShapeLoadsWithinItsMemoryBound) {
  // The most extra memory a load of each shape may take, as a multiple of the file's size. The file's
  // bytes are kept as its text; short lines cost an item and an index slot each. A section costs a
  // small record, and the characters a load builds take up to the roster's budget, three times the
  // file, which every roster a save writes needs; the raid names, two UTF-16 strings' worth of the
  // file, come on top of the document that holds them.
  const struct {
    THostileShape shape;
    double bound;
  } cases[] = {
      {THostileShape::DistinctKeys, 3.5},   {THostileShape::Sections, 3.75},
      {THostileShape::CharaSections, 7.75}, {THostileShape::RaidNames, 5.25},
      {THostileShape::OneLine, 3.25},
  };
  for (const auto& c : cases) {
    const std::string bytes = HostileRoster(c.shape, kHostileBytes);
    WriteFileBytes(DataFile(), bytes);
    TKestrum roster;
    const AllocationMeter meter;
    roster.Load();
    const double ratio = static_cast<double>(meter.PeakExtraBytes()) / static_cast<double>(bytes.size());
    EXPECT_LE(ratio, c.bound) << HostileShapeName(c.shape);
    // What the roster holds is bounded by the file, not by the counts it claims.
    EXPECT_LE(static_cast<size_t>(roster.RaidCount()) * std::max(roster.CharaCount(), 1), bytes.size() / 8)
        << HostileShapeName(c.shape);
  }
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
