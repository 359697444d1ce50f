#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "data/CharaData.h"
#include "tests/data/DataTestFixture.h"

namespace kestrum::test {
namespace {

using TimerTest = DataTest;

TEST_F(TimerTest, EnabledFollowsTheClock) {
  struct Case {
    const char* what;
    TDateTime activateTime;
    bool enabled;
  };
  const Case cases[] = {
      {"no lock-out recorded", 0, true},
      {"lock-out ends exactly now", now_, true},
      {"lock-out ended a millisecond ago", now_ - kMillisecond, true},
      {"lock-out ends in a millisecond", now_ + kMillisecond, false},
      {"lock-out ends in 66 hours", now_ + 2.75, false},
  };
  for (const Case& c : cases) {
    const TRaidTimerData timer(c.activateTime, 0);
    EXPECT_EQ(timer.Enabled(), c.enabled) << c.what;
  }
}

TEST_F(TimerTest, DoneStartsTheLockOutNowAndCountsTheRun) {
  struct Case {
    const char* what;
    TDateTime activateTime;
    uint32_t count;
    uint32_t countAfter;
  };
  const Case cases[] = {
      {"clear timer", 0, 0, 1},
      {"lock-out still running is restarted", now_ + 1.5, 7, 8},
      {"expired timer", now_ - 3, 41, 42},
      {"count wraps", 0, 4294967295u, 0},
  };
  for (const Case& c : cases) {
    TRaidTimerData timer(c.activateTime, c.count);
    timer.Done();
    EXPECT_NEAR(timer.ActivateTime() - now_, 2.75, kMillisecond) << c.what;
    EXPECT_EQ(timer.Count(), c.countAfter) << c.what;
    EXPECT_FALSE(timer.Enabled()) << c.what;
  }
}

// A date text the file holds but no format reads: kept until the timer gets a moment of its own.
TEST_F(TimerTest, UnreadTextStaysUntilTheMomentIsSet) {
  struct Case {
    const char* what;
    void (*change)(TRaidTimerData&);
    bool kept;
  };
  const Case cases[] = {
      {"a changed count", [](TRaidTimerData& t) { t.SetCount(9); }, true},
      {"a recorded run", [](TRaidTimerData& t) { t.Done(); }, false},
      {"a reset", [](TRaidTimerData& t) { t.SetActivateTime(0); }, false},
      {"a new moment", [](TRaidTimerData& t) { t.SetActivateTime(45000); }, false},
      {"an empty text", [](TRaidTimerData& t) { t.SetUnreadText(u""); }, false},
  };
  for (const Case& c : cases) {
    TRaidTimerData timer(now_ + 1, 3);
    timer.SetUnreadText(u"Sa 9. März 2030");
    EXPECT_TRUE(timer.HasUnreadText()) << c.what;
    EXPECT_EQ(timer.ActivateTime(), 0) << c.what;
    EXPECT_TRUE(timer.Enabled()) << c.what << ": an unread end shows as no lock-out";
    c.change(timer);
    EXPECT_EQ(timer.HasUnreadText(), c.kept) << c.what;
    EXPECT_EQ(timer.UnreadText(), c.kept ? u"Sa 9. März 2030" : u"") << c.what;
  }
}

TEST_F(TimerTest, DoneKeepsTheMillisecondsOfTheClock) {
  now_ = EncodeDate(2024, 3, 5) + EncodeTime(23, 59, 59, 999);
  TRaidTimerData timer(0, 0);
  timer.Done();
  EXPECT_NEAR(timer.ActivateTime(), now_ + 2.75, kMillisecond / 10);
  now_ = timer.ActivateTime();
  EXPECT_TRUE(timer.Enabled());
}

// Four timers told apart by their counts 0..3 ("a".."d").
TCharaData FourTimers() {
  return TCharaData(u"x", {10, 11, 12, 13}, {0, 1, 2, 3});
}

std::vector<uint32_t> Counts(const TCharaData& chara) {
  std::vector<uint32_t> counts;
  for (int k = 0; k < chara.RaidCount(); ++k) counts.push_back(chara.GetRaidTimerDatas(k)->Count());
  return counts;
}

std::vector<const TRaidTimerData*> Timers(const TCharaData& chara) {
  std::vector<const TRaidTimerData*> timers;
  for (int k = 0; k < chara.RaidCount(); ++k) timers.push_back(chara.GetRaidTimerDatas(k));
  return timers;
}

TEST(CharaTest, CreateTakesOneTimerPerElement) {
  const TCharaData chara = FourTimers();
  EXPECT_EQ(chara.Name(), u"x");
  ASSERT_EQ(chara.RaidCount(), 4);
  EXPECT_EQ(chara.GetRaidTimerDatas(2)->ActivateTime(), 12);
  EXPECT_EQ(Counts(chara), (std::vector<uint32_t>{0, 1, 2, 3}));
  EXPECT_EQ(TCharaData(u"", {}, {}).RaidCount(), 0);
}

TEST(CharaTest, ListChangesMoveTheTimerObjects) {
  struct Case {
    const char* what;
    void (*change)(TCharaData&);
    std::vector<uint32_t> order;  // which original timer sits at each place afterwards
  };
  const Case cases[] = {
      {"move 0 to 3", [](TCharaData& c) { c.MoveRaid(0, 3); }, {1, 2, 3, 0}},
      {"move 3 to 0", [](TCharaData& c) { c.MoveRaid(3, 0); }, {3, 0, 1, 2}},
      {"move 1 to 2", [](TCharaData& c) { c.MoveRaid(1, 2); }, {0, 2, 1, 3}},
      {"move 2 to 2", [](TCharaData& c) { c.MoveRaid(2, 2); }, {0, 1, 2, 3}},
      {"swap 0 and 3", [](TCharaData& c) { c.SwapRaid(0, 3); }, {3, 1, 2, 0}},
      {"swap 1 with itself", [](TCharaData& c) { c.SwapRaid(1, 1); }, {0, 1, 2, 3}},
      {"delete 1", [](TCharaData& c) { c.DelRaid(1); }, {0, 2, 3}},
      {"delete the last", [](TCharaData& c) { c.DelRaid(3); }, {0, 1, 2}},
  };
  for (const Case& c : cases) {
    TCharaData chara = FourTimers();
    const std::vector<const TRaidTimerData*> before = Timers(chara);
    c.change(chara);
    EXPECT_EQ(Counts(chara), c.order) << c.what;
    std::vector<const TRaidTimerData*> expected;
    for (uint32_t from : c.order) expected.push_back(before[from]);
    EXPECT_EQ(Timers(chara), expected) << c.what;
  }
}

TEST(CharaTest, AddRaidAppendsAClearTimer) {
  TCharaData chara = FourTimers();
  chara.AddRaid();
  ASSERT_EQ(chara.RaidCount(), 5);
  EXPECT_EQ(chara.GetRaidTimerDatas(4)->ActivateTime(), 0);
  EXPECT_EQ(chara.GetRaidTimerDatas(4)->Count(), 0u);
  EXPECT_EQ(Counts(chara), (std::vector<uint32_t>{0, 1, 2, 3, 0}));
}

TEST(CharaTest, CopyIsIndependentOfItsSource) {
  const TCharaData source = FourTimers();
  TCharaData copy(source);
  EXPECT_EQ(copy.Name(), u"x");
  EXPECT_EQ(Counts(copy), Counts(source));
  for (int k = 0; k < copy.RaidCount(); ++k)
    EXPECT_NE(copy.GetRaidTimerDatas(k), source.GetRaidTimerDatas(k));
  copy.GetRaidTimerDatas(1)->SetCount(99);
  copy.GetRaidTimerDatas(1)->SetActivateTime(5);
  EXPECT_EQ(source.GetRaidTimerDatas(1)->Count(), 1u);
  EXPECT_EQ(source.GetRaidTimerDatas(1)->ActivateTime(), 11);
}

TEST(CharaTest, CopyFromTakesValuesIntoTheSameTimerObjects) {
  TCharaData target = FourTimers();
  const std::vector<const TRaidTimerData*> timers = Timers(target);
  const TCharaData edited(u"renamed", {0, 21, 22, 23}, {5, 6, 7, 4294967295u});
  target.CopyFrom(edited);
  EXPECT_EQ(target.Name(), u"renamed");
  EXPECT_EQ(Timers(target), timers);
  EXPECT_EQ(Counts(target), (std::vector<uint32_t>{5, 6, 7, 4294967295u}));
  EXPECT_EQ(target.GetRaidTimerDatas(0)->ActivateTime(), 0);
  EXPECT_EQ(target.GetRaidTimerDatas(3)->ActivateTime(), 23);
}

// The character editor works on a copy and takes it back with CopyFrom: an unread text comes back
// unless the edit gave that timer a moment.
TEST(CharaTest, CopyAndCopyFromCarryUnreadTexts) {
  TCharaData target = FourTimers();
  target.GetRaidTimerDatas(1)->SetUnreadText(u"kept");
  target.GetRaidTimerDatas(2)->SetUnreadText(u"replaced");
  TCharaData edited(target);
  EXPECT_EQ(edited.GetRaidTimerDatas(1)->UnreadText(), u"kept");
  edited.SetName(u"renamed");
  edited.GetRaidTimerDatas(2)->SetActivateTime(30);
  target.CopyFrom(edited);
  EXPECT_EQ(target.GetRaidTimerDatas(1)->UnreadText(), u"kept");
  EXPECT_EQ(target.GetRaidTimerDatas(1)->ActivateTime(), 0);
  EXPECT_FALSE(target.GetRaidTimerDatas(2)->HasUnreadText());
  EXPECT_EQ(target.GetRaidTimerDatas(2)->ActivateTime(), 30);
  EXPECT_EQ(Counts(target), (std::vector<uint32_t>{0, 1, 2, 3}));
}

TEST(CharaTest, CopyFromWithOtherRaidCountTakesTheNameOnly) {
  for (const TCharaData& other : {TCharaData(u"renamed", {1, 2, 3}, {9, 9, 9}),
                                  TCharaData(u"renamed", {1, 2, 3, 4, 5}, {9, 9, 9, 9, 9})}) {
    TCharaData target = FourTimers();
    target.CopyFrom(other);
    EXPECT_EQ(target.Name(), u"renamed");
    EXPECT_EQ(target.RaidCount(), 4);
    EXPECT_EQ(Counts(target), (std::vector<uint32_t>{0, 1, 2, 3}));
    EXPECT_EQ(target.GetRaidTimerDatas(0)->ActivateTime(), 10);
  }
}

}  // namespace
}  // namespace kestrum::test
