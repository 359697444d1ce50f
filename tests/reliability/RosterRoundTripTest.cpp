// A character's timers are stored under the raid names, beside the keys "NAME" and "<raid> COUNT".
// A raid whose name is one of those other keys must not overwrite them: a save either gives back
// the roster on the next load, or fails with ERTDSaveError and leaves the file as it was.
// (Found with fuzz_roster's round-trip check.)

#include <string>

#include <gtest/gtest.h>

#include "data/RaidTimerData.h"
#include "tests/reliability/SavePattern.h"
#include "tests/support/ClockAndFormats.h"
#include "tests/support/RosterModel.h"
#include "tests/support/TempHome.h"

namespace kestrum::test {
namespace {

class RosterRoundTripTest : public TempHomeTest {
 protected:
  void SetUp() override { FClockAndFormats.SetFormats(PatternDateFormat()); }

  TClockAndFormats FClockAndFormats;
};

TEST_F(RosterRoundTripTest, RaidNamedLikeAnotherKeyOfTheCharacterLosesNothing) {
  const struct {
    const char* Why;
    String Raid;
  } cases[] = {
      {"the name key", u"NAME"},
      {"the name key in other letter case, padded", u" name "},
      {"the run-count key of another raid", u"VoN COUNT"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Why);
    std::filesystem::remove_all(home_.AppFolder());
    TKestrum roster;
    roster.Load();
    roster.AddChara(u"Aldric");
    roster.GetCharaDatas(0)->GetRaidTimerDatas(0)->Done();  // the first default raid, VoN
    roster.Save();
    const std::string before = ReadFileBytes(home_.AppFolder() / "raid.dat");
    const TRosterModel unchanged = ModelOf(roster);

    try {
      roster.AddRaid(c.Raid);
    } catch (const ERTDError&) {
      EXPECT_EQ(ReadFileBytes(home_.AppFolder() / "raid.dat"), before);
      EXPECT_EQ(ModelOf(roster), unchanged);
      continue;
    }
    const TRosterModel saved = ModelOf(roster);
    const TRosterModel loaded = LoadedModel();
    EXPECT_EQ(loaded, saved) << "saved:\n" << Describe(saved) << "loaded:\n" << Describe(loaded);
  }
}

}  // namespace
}  // namespace kestrum::test
