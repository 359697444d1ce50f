#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/RaidTimerData.h"
#include "tests/data/DataTestFixture.h"
#include "tests/data/RosterFileSupport.h"
#include "tests/support/RosterModel.h"

namespace kestrum::test {
namespace {

// A data file with raids a, b, c, d and the given characters. Timer k of character i has the count
// 10 * i + k and ends on 1 January 2030 plus that many days, so every timer can be traced.
std::string TracedFile(const std::vector<std::string>& charas) {
  const std::string raids[] = {"a", "b", "c", "d"};
  std::string text = Lines({"[RAID]", "COUNT=4", "0=a", "1=b", "2=c", "3=d", "[CHARA]"});
  text += Lines({"COUNT=" + std::to_string(charas.size())});
  for (size_t i = 0; i < charas.size(); ++i) {
    text += Lines({"[CHARA" + std::to_string(i) + "]", "NAME=" + charas[i]});
    for (int k = 0; k < 4; ++k) {
      char date[16];
      std::snprintf(date, sizeof date, "2030/01/%02d", static_cast<int>(1 + 10 * i + k));
      text += Lines({raids[k] + "=" + date, raids[k] + " COUNT=" + std::to_string(10 * i + k)});
    }
  }
  return text;
}

// Checks that timer k of character i is the traced timer origins[i][k] of the file (or a clear one
// where the origin is negative).
void ExpectTimers(const TRosterModel& model, const std::vector<std::vector<int>>& origins, const char* what) {
  ASSERT_EQ(model.Charas.size(), origins.size()) << what;
  for (size_t i = 0; i < origins.size(); ++i) {
    ASSERT_EQ(model.Charas[i].Timers.size(), origins[i].size()) << what;
    for (size_t k = 0; k < origins[i].size(); ++k) {
      const int origin = origins[i][k];
      const uint32_t count = origin < 0 ? 0 : static_cast<uint32_t>(origin);
      const TDateTime time = origin < 0 ? 0 : EncodeDate(2030, 1, 1 + origin);
      EXPECT_EQ(model.Charas[i].Timers[k].Count, count) << what << ": character " << i << ", raid " << k;
      EXPECT_EQ(model.Charas[i].Timers[k].Time, time) << what << ": character " << i << ", raid " << k;
    }
  }
}

using RosterTest = DataTest;

TEST_F(RosterTest, RaidCommandsKeepTimersWithTheirRaidsAndSave) {
  struct Case {
    const char* what;
    void (*command)(TKestrum&);
    std::vector<String> raids;
    std::vector<int> order;  // which original raid each place holds afterwards; -1 for a new one
  };
  const Case cases[] = {
      {"AddRaid", [](TKestrum& r) { r.AddRaid(u"e"); }, {u"a", u"b", u"c", u"d", u"e"}, {0, 1, 2, 3, -1}},
      {"DelRaid in the middle", [](TKestrum& r) { r.DelRaid(1); }, {u"a", u"c", u"d"}, {0, 2, 3}},
      {"DelRaid of the last", [](TKestrum& r) { r.DelRaid(3); }, {u"a", u"b", u"c"}, {0, 1, 2}},
      {"RenameRaid", [](TKestrum& r) { r.RenameRaid(2, u"x y"); }, {u"a", u"b", u"x y", u"d"}, {0, 1, 2, 3}},
      {"SwapRaid", [](TKestrum& r) { r.SwapRaid(0, 3); }, {u"d", u"b", u"c", u"a"}, {3, 1, 2, 0}},
      {"MoveRaid down", [](TKestrum& r) { r.MoveRaid(0, 3); }, {u"b", u"c", u"d", u"a"}, {1, 2, 3, 0}},
      {"MoveRaid up", [](TKestrum& r) { r.MoveRaid(3, 0); }, {u"d", u"a", u"b", u"c"}, {3, 0, 1, 2}},
      {"MoveRaid in place", [](TKestrum& r) { r.MoveRaid(2, 2); }, {u"a", u"b", u"c", u"d"}, {0, 1, 2, 3}},
  };
  for (const Case& c : cases) {
    WriteFileBytes(DataFile(), TracedFile({"x", "y"}));
    TKestrum roster;
    roster.Load();
    c.command(roster);
    std::vector<std::vector<int>> origins(2);
    for (int i = 0; i < 2; ++i)
      for (int from : c.order) origins[i].push_back(from < 0 ? -1 : 10 * i + from);
    EXPECT_EQ(roster.RaidNameAry(), c.raids) << c.what;
    ExpectTimers(ModelOf(roster), origins, c.what);
    EXPECT_EQ(LoadedModel(), ModelOf(roster)) << c.what << ": the file holds what the roster holds";
  }
}

TEST_F(RosterTest, CharaCommandsSaveExceptMoveChara) {
  struct Case {
    const char* what;
    void (*command)(TKestrum&);
    std::vector<String> names;
    std::vector<int> order;  // which original character each place holds; -1 for a new one
    bool saves;
  };
  const Case cases[] = {
      {"AddChara", [](TKestrum& r) { r.AddChara(u"w"); }, {u"x", u"y", u"z", u"w"}, {0, 1, 2, -1}, true},
      {"DelChara", [](TKestrum& r) { r.DelChara(1); }, {u"x", u"z"}, {0, 2}, true},
      {"DelChara of every character",
       [](TKestrum& r) {
         while (r.CharaCount() > 0) r.DelChara(0);
       },
       {},
       {},
       true},
      {"RenameChara", [](TKestrum& r) { r.RenameChara(2, u"Zed"); }, {u"x", u"y", u"Zed"}, {0, 1, 2}, true},
      {"SwapChara", [](TKestrum& r) { r.SwapChara(0, 2); }, {u"z", u"y", u"x"}, {2, 1, 0}, true},
      {"MoveChara right", [](TKestrum& r) { r.MoveChara(0, 2); }, {u"y", u"z", u"x"}, {1, 2, 0}, false},
      {"MoveChara left", [](TKestrum& r) { r.MoveChara(2, 0); }, {u"z", u"x", u"y"}, {2, 0, 1}, false},
  };
  for (const Case& c : cases) {
    WriteFileBytes(DataFile(), TracedFile({"x", "y", "z"}));
    const TRosterModel original = LoadedModel();
    TKestrum roster;
    roster.Load();
    c.command(roster);
    std::vector<String> names;
    std::vector<std::vector<int>> origins;
    for (const TCharaModel& chara : ModelOf(roster).Charas) names.push_back(chara.Name);
    for (int from : c.order) {
      origins.emplace_back();
      for (int k = 0; k < 4; ++k) origins.back().push_back(from < 0 ? -1 : 10 * from + k);
    }
    EXPECT_EQ(names, c.names) << c.what;
    ExpectTimers(ModelOf(roster), origins, c.what);
    EXPECT_EQ(LoadedModel() == ModelOf(roster), c.saves) << c.what;
    if (!c.saves) {
      EXPECT_EQ(LoadedModel(), original) << c.what;
      roster.Save();
      EXPECT_EQ(LoadedModel(), ModelOf(roster)) << c.what;
    }
  }
}

TEST_F(RosterTest, AddRaidWithoutCharactersOnlyAppendsTheName) {
  WriteFileBytes(DataFile(), TracedFile({}));
  TKestrum roster;
  roster.Load();
  roster.AddRaid(u"e");
  EXPECT_EQ(roster.RaidNameAry(), (std::vector<String>{u"a", u"b", u"c", u"d", u"e"}));
  EXPECT_EQ(roster.CharaCount(), 0);
  EXPECT_EQ(LoadedModel(), ModelOf(roster));
}

// A raid's timers are stored under its name as a key, trimmed and compared without ASCII case: a
// second raid "B " would take over raid b's timers at the next save.
TEST_F(RosterTest, RaidNamesThatWouldShareAKeyAreRefusedAndChangeNothing) {
  struct Case {
    const char* what;
    void (*command)(TKestrum&);
  };
  const Case refused[] = {
      {"AddRaid with a trailing space", [](TKestrum& r) { r.AddRaid(u"b "); }},
      {"AddRaid in another case", [](TKestrum& r) { r.AddRaid(u"B"); }},
      {"AddRaid with leading control characters",
       [](TKestrum& r) {
         r.AddRaid(
             u"\t\x01"
             u"c");
       }},
      {"RenameRaid onto another raid", [](TKestrum& r) { r.RenameRaid(0, u" D"); }},
  };
  for (const Case& c : refused) {
    WriteFileBytes(DataFile(), TracedFile({"x", "y"}));
    const std::string before = ReadFileBytes(DataFile());
    TKestrum roster;
    roster.Load();
    const TRosterModel loaded = ModelOf(roster);
    EXPECT_THROW(c.command(roster), ERTDError) << c.what;
    EXPECT_EQ(ModelOf(roster), loaded) << c.what;
    EXPECT_EQ(ReadFileBytes(DataFile()), before) << c.what;
  }

  // A raid may keep its own key under another spelling.
  TKestrum roster;
  roster.Load();
  roster.RenameRaid(1, u"B ");
  EXPECT_EQ(roster.GetRaidNames(1), u"B ");
  EXPECT_EQ(LoadedModel(), ModelOf(roster));
}

TEST_F(RosterTest, AddCharaWithoutRaidsHasNoTimers) {
  WriteFileBytes(DataFile(), TracedFile({}));
  TKestrum roster;
  roster.Load();
  while (roster.RaidCount() > 0) roster.DelRaid(0);
  roster.AddChara(u"x");
  ASSERT_EQ(roster.CharaCount(), 1);
  EXPECT_EQ(roster.GetCharaDatas(0)->RaidCount(), 0);
}

}  // namespace
}  // namespace kestrum::test
