// The timers' date texts in raid.dat across a change of regional format, and date texts that no
// format reads.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/RaidTimerData.h"
#include "tests/data/DataTestFixture.h"
#include "tests/data/RosterFileSupport.h"
#include "tests/support/RegionalFormats.h"
#include "tests/support/RosterModel.h"

namespace kestrum::test {
namespace {

bool HasUnreadText(const TKestrum& ARoster) {
  for (const auto& chara : ARoster.CharaDataAry())
    for (int32_t k = 0; k < chara->RaidCount(); ++k)
      if (chara->GetRaidTimerDatas(k)->HasUnreadText()) return true;
  return false;
}

namespace fs = std::filesystem;

class StoredDateTextTest : public DataTest {
 protected:
  // A day above 12 keeps every date text free of the day/month question.
  StoredDateTextTest() { now_ = EncodeDate(2024, 3, 20) + EncodeTime(13, 45, 30, 0); }

  static void ExpectSameTimes(const TRosterModel& actual, const TRosterModel& expected,
                              const std::string& what) {
    ASSERT_EQ(actual.Charas.size(), expected.Charas.size()) << what;
    for (size_t i = 0; i < expected.Charas.size(); ++i) {
      ASSERT_EQ(actual.Charas[i].Timers.size(), expected.Charas[i].Timers.size()) << what;
      for (size_t k = 0; k < expected.Charas[i].Timers.size(); ++k) {
        EXPECT_NEAR(actual.Charas[i].Timers[k].Time, expected.Charas[i].Timers[k].Time, kMillisecond)
            << what << ", raid " << k;
        EXPECT_EQ(actual.Charas[i].Timers[k].Count, expected.Charas[i].Timers[k].Count)
            << what << ", raid " << k;
      }
    }
  }
};

// Written under locale A, read under locale B, changed and saved there, and read again.
TEST_F(StoredDateTextTest, LockOutsSurviveAChangeOfRegionalFormat) {
  // Every pair of formats meets in the date reader's own tests; here the common locales and the
  // Windows version's Japanese format go through the data file.
  std::vector<TNamedFormat> formats;
  for (const char* name :
       {"C", "en_US", "en_GB", "de_DE", "fr_FR", "ja_JP", "ko_KR", "zh_CN", "Windows ja-JP"})
    formats.push_back({name, RegionalFormat(name)});
  for (const TNamedFormat& writer : formats) {
    clockAndFormats_.SetFormats(writer.Settings);
    fs::remove(DataFile());
    TKestrum roster;
    roster.Load();
    roster.AddChara(u"x");
    TCharaData& chara = *roster.GetCharaDatas(0);
    chara.GetRaidTimerDatas(0)->Done();  // runs until 2024-03-23 07:45:30
    chara.GetRaidTimerDatas(1)->SetActivateTime(EncodeDate(2024, 3, 14) + EncodeTime(23, 5, 0, 0));
    chara.GetRaidTimerDatas(2)->SetActivateTime(EncodeDate(2024, 12, 31));
    chara.GetRaidTimerDatas(3)->SetCount(5);
    roster.Save();
    const TRosterModel written = ModelOf(roster);
    const std::string file = ReadFileBytes(DataFile());

    for (const TNamedFormat& reader : formats) {
      const std::string what = std::string("written under ") + writer.Name + ", read under " + reader.Name;
      WriteFileBytes(DataFile(), file);
      clockAndFormats_.SetFormats(reader.Settings);
      TKestrum loaded;
      loaded.Load();
      ExpectSameTimes(ModelOf(loaded), written, what);
      EXPECT_FALSE(loaded.GetCharaDatas(0)->GetRaidTimerDatas(0)->Enabled()) << what;
      EXPECT_FALSE(HasUnreadText(loaded)) << what;

      loaded.RenameChara(0, u"y");  // the first change writes every date in the reader's format
      ExpectSameTimes(LoadedModel(), written, what + ", after a change");
      EXPECT_NE(ReadFileBytes(DataFile()).find(ToUtf8(DateTimeToStr(written.Charas[0].Timers[1].Time))),
                std::string::npos)
          << what;
    }
  }
}

// Files from the Windows version, ISO 8601 texts and dates whose day and month could be swapped.
TEST_F(StoredDateTextTest, DatesFromElsewhereAreRead) {
  struct Case {
    const char* reader;
    const char* value;
    TDateTime expected;
  };
  const Case cases[] = {
      {"ja_JP", "\"2024/03/23 7:45:30\"", EncodeDate(2024, 3, 23) + EncodeTime(7, 45, 30, 0)},
      {"de_DE", "\"2024/03/23 7:45:30\"", EncodeDate(2024, 3, 23) + EncodeTime(7, 45, 30, 0)},
      {"ja_JP", "2024-03-23T07:45:30", EncodeDate(2024, 3, 23) + EncodeTime(7, 45, 30, 0)},
      {"de_DE", "\"03/05/2024 07:08:09\"", EncodeDate(2024, 5, 3) + EncodeTime(7, 8, 9, 0)},
      {"ja_JP", "\"03/05/2024 07:08:09\"", EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 0)},
  };
  for (const Case& c : cases) {
    WriteFileBytes(DataFile(), Lines({"[RAID]", "COUNT=1", "0=a", "[CHARA]", "COUNT=1", "[CHARA0]", "NAME=x",
                                      std::string("a=") + c.value}));
    clockAndFormats_.SetFormats(RegionalFormat(c.reader));
    const TRosterModel model = LoadedModel();
    ASSERT_EQ(model.Charas.size(), 1u);
    EXPECT_NEAR(model.Charas[0].Timers[0].Time, c.expected, kMillisecond) << c.reader << ": " << c.value;
  }
}

// A lock-out running on 1 July until 3 July, or on 5 March until 7 March, is stored under one
// locale, read under one with the other order of day and month, saved there and read under the
// first again: it keeps its end throughout, although both texts read either way.
TEST_F(StoredDateTextTest, ARunningLockOutSurvivesAChangeOfDayAndMonthOrder) {
  struct Moment {
    const char* what;
    TDateTime now;
    TDateTime end;
  };
  const Moment moments[] = {
      {"3 July", EncodeDate(2026, 7, 1) + EncodeTime(12, 0, 0, 0),
       EncodeDate(2026, 7, 3) + EncodeTime(10, 0, 1, 0)},
      {"7 March", EncodeDate(2026, 3, 5) + EncodeTime(12, 0, 0, 0),
       EncodeDate(2026, 3, 7) + EncodeTime(10, 0, 1, 0)},
  };
  const char* formats[] = {"C", "en_US", "en_GB", "de_DE", "Windows en-US"};
  for (const Moment& m : moments) {
    now_ = m.now;
    for (const char* writer : formats) {
      for (const char* reader : formats) {
        const std::string what = std::string(m.what) + ", written under " + writer + ", read under " + reader;
        clockAndFormats_.SetFormats(RegionalFormat(writer));
        fs::remove(DataFile());
        TKestrum roster;
        roster.Load();
        roster.AddChara(u"x");
        roster.GetCharaDatas(0)->GetRaidTimerDatas(0)->SetActivateTime(m.end);
        roster.Save();

        clockAndFormats_.SetFormats(RegionalFormat(reader));
        TKestrum loaded;
        loaded.Load();
        const TRaidTimerData& timer = *loaded.GetCharaDatas(0)->GetRaidTimerDatas(0);
        EXPECT_NEAR(timer.ActivateTime(), m.end, kMillisecond) << what;
        EXPECT_FALSE(timer.Enabled()) << what;
        loaded.RenameChara(0, u"y");  // saved in the reader's format

        clockAndFormats_.SetFormats(RegionalFormat(writer));
        EXPECT_NEAR(LoadedModel().Charas.at(0).Timers.at(0).Time, m.end, kMillisecond)
            << what << ", and back";
      }
    }
  }
}

const std::string kUnreadLine = "a=\"Sa 23. März 07:45\"";

// Laid out as the program writes it, so that a save that changes nothing gives the same bytes.
std::string FileWithUnreadText() {
  return Lines({"[RAID]",    "",
                "COUNT=2",   "0=a",
                "1=b",       "",
                "[CHARA]",   "",
                "COUNT=2",   "",
                "[CHARA0]",  "",
                "NAME=x",    kUnreadLine,
                "a COUNT=4", "b=2024/03/14",
                "b COUNT=1", "",
                "[CHARA1]",  "",
                "NAME=w",    "a=2024/03/01",
                "a COUNT=0", "b=2024/03/02",
                "b COUNT=0", ""});
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST_F(StoredDateTextTest, UnreadTextSurvivesEveryOtherChangeByteForByte) {
  const std::string original = FileWithUnreadText();
  WriteFileBytes(DataFile(), original);
  TKestrum roster;
  roster.Load();
  const TRaidTimerData& unread = *roster.GetCharaDatas(0)->GetRaidTimerDatas(0);
  EXPECT_TRUE(HasUnreadText(roster));
  EXPECT_EQ(unread.UnreadText(), u"Sa 23. März 07:45");
  EXPECT_TRUE(unread.Enabled()) << "shows OK meanwhile";
  EXPECT_EQ(unread.Count(), 4u);

  roster.Save();
  EXPECT_EQ(ReadFileBytes(DataFile()), original);

  roster.RenameChara(1, u"v");
  roster.GetCharaDatas(1)->GetRaidTimerDatas(1)->Done();
  roster.GetCharaDatas(0)->GetRaidTimerDatas(1)->SetActivateTime(0);  // another timer of the same character
  TCharaData edited(*roster.GetCharaDatas(0));                        // the character editor's round
  edited.SetName(u"x2");
  roster.GetCharaDatas(0)->CopyFrom(edited);
  roster.Save();
  std::string expected = Replaced(original, "NAME=w", "NAME=v");
  expected = Replaced(expected, Lines({"b=2024/03/02", "b COUNT=0"}),
                      Lines({"b=\"2024/03/23 07:45:30\"", "b COUNT=1"}));
  expected = Replaced(expected, "b=2024/03/14", "b=1899/12/30");
  expected = Replaced(expected, "NAME=x", "NAME=x2");
  EXPECT_EQ(ReadFileBytes(DataFile()), expected);

  clockAndFormats_.SetFormats(RegionalFormat("de_DE"));  // a change of locale leaves it alone too
  roster.Load();
  roster.SwapChara(0, 1);
  const std::string swapped = ReadFileBytes(DataFile());
  EXPECT_NE(swapped.find(Lines({"NAME=x2", kUnreadLine})), std::string::npos) << swapped;
  EXPECT_LT(swapped.find("[CHARA1]"), swapped.find(kUnreadLine)) << "the text moves with its character";
}

TEST_F(StoredDateTextTest, UnreadTextGivesWayWhenItsTimerChanges) {
  struct Case {
    const char* what;
    void (*change)(TCharaData&);
    std::string lines;  // in place of the unread one and its count
  };
  const Case cases[] = {
      {"reset", [](TCharaData& c) { c.GetRaidTimerDatas(0)->SetActivateTime(0); },
       Lines({"a=1899/12/30", "a COUNT=4"})},
      {"recorded run", [](TCharaData& c) { c.GetRaidTimerDatas(0)->Done(); },
       Lines({"a=\"2024/03/23 07:45:30\"", "a COUNT=5"})},
      {"edited in the character editor",
       [](TCharaData& c) {
         TCharaData edited(c);
         edited.GetRaidTimerDatas(0)->SetActivateTime(EncodeDate(2024, 3, 21));
         c.CopyFrom(edited);
       },
       Lines({"a=2024/03/21", "a COUNT=4"})},
  };
  for (const Case& c : cases) {
    WriteFileBytes(DataFile(), FileWithUnreadText());
    TKestrum roster;
    roster.Load();
    c.change(*roster.GetCharaDatas(0));
    EXPECT_FALSE(HasUnreadText(roster)) << c.what;
    roster.Save();
    EXPECT_EQ(ReadFileBytes(DataFile()),
              Replaced(FileWithUnreadText(), Lines({kUnreadLine, "a COUNT=4"}), c.lines))
        << c.what;
  }
}

// An empty value holds no date to keep: it is saved as the empty moment.
TEST_F(StoredDateTextTest, EmptyDateTextIsNoUnreadText) {
  WriteFileBytes(DataFile(), Replaced(FileWithUnreadText(), kUnreadLine, "a="));
  TKestrum roster;
  roster.Load();
  EXPECT_FALSE(HasUnreadText(roster));
  roster.Save();
  EXPECT_EQ(ReadFileBytes(DataFile()), Replaced(FileWithUnreadText(), kUnreadLine, "a=1899/12/30"));
}

}  // namespace
}  // namespace kestrum::test
