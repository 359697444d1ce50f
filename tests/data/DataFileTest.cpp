#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/Strings.h"
#include "data/RaidTimerData.h"
#include "tests/data/DataTestFixture.h"
#include "tests/data/RosterFileSupport.h"
#include "tests/support/RosterModel.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

using DataFileTest = DataTest;

TEST_F(DataFileTest, FirstLoadGivesTheDefaultRaidsAndWritesNothing) {
  TKestrum roster;
  roster.Load();
  EXPECT_EQ(roster.RaidNameAry(), DefaultRaids());
  EXPECT_EQ(roster.CharaCount(), 0);
  EXPECT_FALSE(fs::exists(home_.DataHome() / "Brasswick"));
}

TEST_F(DataFileTest, SavesRotateTheBackup) {
  TKestrum roster;
  roster.Load();
  roster.Save();
  ASSERT_TRUE(fs::is_regular_file(DataFile())) << "the first save creates the folders and the file";
  EXPECT_FALSE(fs::exists(Backup()));
  EXPECT_FALSE(fs::exists(Backup2()));
  const std::string first = ReadFileBytes(DataFile());

  roster.AddChara(u"x");
  EXPECT_EQ(ReadFileBytes(Backup()), first);
  EXPECT_FALSE(fs::exists(Backup2()));
  const std::string second = ReadFileBytes(DataFile());
  EXPECT_NE(second, first);

  roster.RenameChara(0, u"y");
  EXPECT_EQ(ReadFileBytes(Backup()), second);
  EXPECT_FALSE(fs::exists(Backup2()));
  EXPECT_EQ(FolderListing(home_.AppFolder()), (std::vector<std::string>{"raid.dat", "raid.dat.bak"}));
}

TEST_F(DataFileTest, SaveWritesSectionsKeysDatesAndSignedCounts) {
  WriteFileBytes(DataFile(), Lines({"[RAID]", "", "COUNT=2", "0=VoN", "1=\"Tower of Despair\"", ""}));
  TKestrum roster;
  roster.Load();
  roster.AddChara(u"Ann");
  roster.GetCharaDatas(0)->GetRaidTimerDatas(0)->Done();
  roster.GetCharaDatas(0)->GetRaidTimerDatas(1)->SetCount(2147483648u);
  roster.Save();
  EXPECT_EQ(ReadFileBytes(DataFile()),
            Lines({"[RAID]", "", "COUNT=2", "0=VoN", "1=\"Tower of Despair\"", "", "[CHARA]", "", "COUNT=1",
                   "", "[CHARA0]", "", "NAME=Ann", "VoN=\"2024/03/08 07:45:30\"", "VoN COUNT=1",
                   "Tower of Despair=1899/12/30", "Tower of Despair COUNT=-2147483648", ""}));
}

TEST_F(DataFileTest, TimersAndNamesComeBackUnchanged) {
  const TDateTime midnight = EncodeDate(2024, 5, 6);
  WriteFileBytes(DataFile(), Lines({"[RAID]", "COUNT=5", "0=plain", "1=two words",
                                    "2=\"\"\"quoted\"\" raid\"", "3=\" padded \"", "4=雷"}));
  TKestrum roster;
  roster.Load();
  ASSERT_EQ(roster.RaidNameAry(),
            (std::vector<String>{u"plain", u"two words", u"\"quoted\" raid", u" padded ", u"雷"}));
  roster.AddChara(u"Ann \"the Bold\" Lee");
  roster.AddChara(u" spaced ");
  const TDateTime times[] = {0, midnight, midnight + EncodeTime(0, 0, 1, 0), now_ + 2.75, now_ - 1};
  const uint32_t counts[] = {0, 2147483647u, 2147483648u, 4294967295u, 12};
  for (int k = 0; k < 5; ++k) {
    roster.GetCharaDatas(1)->GetRaidTimerDatas(k)->SetActivateTime(times[k]);
    roster.GetCharaDatas(1)->GetRaidTimerDatas(k)->SetCount(counts[k]);
  }
  roster.Save();
  EXPECT_NE(ReadFileBytes(DataFile()).find("two words=2024/05/06\r\n"), std::string::npos)
      << "midnight is written as the date alone";
  EXPECT_NE(ReadFileBytes(DataFile()).find("plain=1899/12/30\r\n"), std::string::npos);
  const TRosterModel reloaded = LoadedModel();
  EXPECT_EQ(reloaded.Raids, roster.RaidNameAry());
  ASSERT_EQ(reloaded.Charas.size(), 2u);
  EXPECT_EQ(reloaded.Charas[0].Name, u"Ann \"the Bold\" Lee");
  EXPECT_EQ(reloaded.Charas[1].Name, u" spaced ");
  for (int k = 0; k < 5; ++k) {
    EXPECT_NEAR(reloaded.Charas[1].Timers[k].Time, times[k], kMillisecond) << "raid " << k;
    EXPECT_EQ(reloaded.Charas[1].Timers[k].Count, counts[k]) << "raid " << k;
  }
  EXPECT_EQ(reloaded.Charas[1].Timers[0].Time, 0);
  EXPECT_EQ(reloaded.Charas[1].Timers[1].Time, midnight);
}

TEST_F(DataFileTest, HandWrittenCommentsAndUnknownKeysSurviveSaves) {
  TKestrum roster;
  roster.Load();
  roster.AddChara(u"x");
  std::string text = ReadFileBytes(DataFile());
  text = Lines({"; my raids"}) + text;
  text.insert(text.find("NAME=x"), Lines({"; main", "remark=kept"}));
  WriteFileBytes(DataFile(), text);
  roster.Load();  // as the window does when it sees the file change

  roster.AddRaid(u"new");
  roster.RenameChara(0, u"y");
  const std::string saved = ReadFileBytes(DataFile());
  EXPECT_EQ(saved.rfind(Lines({"; my raids", "[RAID]"}), 0), 0u) << saved;
  EXPECT_NE(saved.find(Lines({"; main", "remark=kept", "NAME=y"})), std::string::npos) << saved;
}

// Another program's change to raid.dat (a hand edit, a sync tool replacing the file) is never
// written over: the command is not applied, the roster becomes what the file holds, and the file and
// its backup stay as they are. The same bytes written anew are no change.
TEST_F(DataFileTest, AnOutsideChangeIsLoadedInsteadOfOverwritten) {
  const auto replaceLikeASyncTool = [this](const std::string& bytes) {
    WriteFileBytes(home_.AppFolder() / ".raid.dat.sync-tmp", bytes);
    fs::rename(home_.AppFolder() / ".raid.dat.sync-tmp", DataFile());
  };
  const struct {
    const char* what;
    std::function<void(const std::string&)> change;  // given the file as the roster saved it
    bool changed;
  } cases[] = {
      {"a character renamed in place",
       [this](const std::string& f) {
         WriteFileBytes(DataFile(), f.substr(0, f.find("NAME=Ann")) + "NAME=Anna\r\n");
       },
       true},
      {"a count raised, same size",
       [this](const std::string& f) {
         std::string edited = f;
         edited[edited.find("VoN COUNT=1") + 10] = '7';
         WriteFileBytes(DataFile(), edited);
       },
       true},
      {"replaced by a sync tool",
       [&](const std::string& f) { replaceLikeASyncTool(f + "[extra]\r\nk=v\r\n"); }, true},
      {"deleted", [this](const std::string&) { fs::remove(DataFile()); }, true},
      {"the same bytes replaced", [&](const std::string& f) { replaceLikeASyncTool(f); }, false},
      {"the same bytes rewritten", [this](const std::string& f) { WriteFileBytes(DataFile(), f); }, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(home_.AppFolder());
    TKestrum roster;
    roster.Load();
    roster.AddChara(u"Ann");
    roster.GetCharaDatas(0)->GetRaidTimerDatas(0)->Done();
    roster.Save();
    c.change(ReadFileBytes(DataFile()));
    EXPECT_EQ(roster.ChangedOnDisk(), c.changed);
    const std::optional<std::string> outside =
        fs::exists(DataFile()) ? std::optional(ReadFileBytes(DataFile())) : std::nullopt;
    const std::string backup = ReadFileBytes(Backup());

    bool refused = false;
    try {
      roster.AddChara(u"Bob");
    } catch (const ERTDChangedOnDisk&) {
      refused = true;
    }
    EXPECT_EQ(refused, c.changed);
    if (!c.changed) {
      EXPECT_EQ(LoadedModel(), ModelOf(roster));
      continue;
    }
    EXPECT_EQ(fs::exists(DataFile()) ? std::optional(ReadFileBytes(DataFile())) : std::nullopt, outside);
    EXPECT_EQ(ReadFileBytes(Backup()), backup);
    EXPECT_EQ(ModelOf(roster), LoadedModel()) << "the roster holds the outside version";
    EXPECT_FALSE(roster.ChangedOnDisk());
    roster.AddChara(u"Bob");  // repeated on what is seen now, it is saved
    EXPECT_EQ(LoadedModel(), ModelOf(roster));
  }
}

TEST_F(DataFileTest, UnusableRaidCountGivesTheDefaultRaids) {
  for (const char* countLine : {"COUNT=0", "COUNT=-5", "COUNT=abc", "COUNT=", "other=1"}) {
    WriteFileBytes(DataFile(), Lines({"[RAID]", countLine, "0=a", "[CHARA]", "COUNT=1", "[CHARA0]", "NAME=x",
                                      "VoN COUNT=7", "DotJ=2030/01/01", "a COUNT=9"}));
    const TRosterModel model = LoadedModel();
    EXPECT_EQ(model.Raids, DefaultRaids()) << countLine;
    ASSERT_EQ(model.Charas.size(), 1u) << countLine;
    EXPECT_EQ(model.Charas[0].Timers[0].Count, 7u)
        << countLine << ": timers are looked up under the default names";
    EXPECT_EQ(model.Charas[0].Timers[17].Time, EncodeDate(2030, 1, 1)) << countLine;
  }
}

TEST_F(DataFileTest, CharactersComeFromNamedSectionsWithinTheCount) {
  WriteFileBytes(DataFile(), Lines({"[RAID]",    "COUNT=1",
                                    "0=a",       "[CHARA]",
                                    "COUNT=6",                  //
                                    "[CHARA0]",  "NAME=first",  //
                                    "[CHARA1]",  "a COUNT=3",   //
                                    "[chara3]",  "NAME=third",  //
                                    "[CHARA2]",  "NAME=second",
                                    "a COUNT=2",                       //
                                    "[CHARA03]", "NAME=leading zero",  //
                                    "[CHARA4]",  "NAME=",              //
                                    "[CHARA6]",  "NAME=beyond the count"}));
  const TRosterModel model = LoadedModel();
  std::vector<String> names;
  for (const TCharaModel& chara : model.Charas) names.push_back(chara.Name);
  EXPECT_EQ(names, (std::vector<String>{u"first", u"second", u"third"}));
  ASSERT_EQ(model.Charas[1].Timers.size(), 1u);
  EXPECT_EQ(model.Charas[1].Timers[0].Count, 2u);
}

TEST_F(DataFileTest, MissingOrUnreadableDatesAreNotLocked) {
  struct Case {
    const char* what;
    TFormatSettings formats;
    TDateTime missingKey;
  };
  const Case cases[] = {
      {"year/month/day settings read the default text",
       {u"yyyy/mm/dd", u"hh:nn:ss", u'/', u':'},
       EncodeDate(1980, 1, 1)},
      {"day.month.year settings read it as another known form",
       {u"dd.mm.yyyy", u"hh:nn:ss", u'.', u':'},
       EncodeDate(1980, 1, 1)},
  };
  WriteFileBytes(DataFile(), Lines({"[RAID]", "COUNT=2", "0=a", "1=b", "[CHARA]", "COUNT=1", "[CHARA0]",
                                    "NAME=x", "b=not a date", "b COUNT=many"}));
  for (const Case& c : cases) {
    clockAndFormats_.SetFormats(c.formats);
    const TRosterModel model = LoadedModel();
    ASSERT_EQ(model.Charas.size(), 1u);
    EXPECT_EQ(model.Charas[0].Timers, (std::vector<TTimerModel>{{c.missingKey, 0}, {0, 0}})) << c.what;
    TKestrum roster;
    roster.Load();
    EXPECT_FALSE(roster.GetCharaDatas(0)->GetRaidTimerDatas(0)->HasUnreadText()) << c.what;
    EXPECT_EQ(roster.GetCharaDatas(0)->GetRaidTimerDatas(1)->UnreadText(), u"not a date") << c.what;
  }
}

TEST_F(DataFileTest, RaidCountIsCutToTheNamesTheFileHolds) {
  const std::vector<std::string> sane = {"[RAID]",       "COUNT=3",  "0=a",      "1=b",      "2=c",
                                         "[CHARA]",      "COUNT=2",  "[CHARA0]", "NAME=x",   "a COUNT=1",
                                         "c=2030/01/01", "[CHARA1]", "NAME=y",   "b COUNT=2"};
  auto withRaidSection = [&](std::vector<std::string> raidLines, const std::string& charaCount) {
    std::string text = Lines({"[RAID]"});
    for (const std::string& line : raidLines) text += line + "\r\n";
    for (size_t i = 5; i < sane.size(); ++i) text += (i == 6 ? charaCount : sane[i]) + "\r\n";
    return text;
  };
  std::string saneText;
  for (const std::string& line : sane) saneText += line + "\r\n";
  WriteFileBytes(DataFile(), saneText);
  const TRosterModel expected = LoadedModel();
  ASSERT_EQ(expected.Raids, (std::vector<String>{u"a", u"b", u"c"}));
  ASSERT_EQ(expected.Charas.size(), 2u);

  struct Case {
    const char* what;
    std::vector<std::string> raidLines;
    std::string charaCount;
    std::vector<String> raids;
  };
  // Rows past the last raid name the file holds are dropped: as empty names they would make every later
  // save fail while a character exists. A gap between names is given a name that can be stored.
  const Case cases[] = {
      {"huge counts", {"COUNT=2000000000", "0=a", "1=b", "2=c"}, "COUNT=2000000000", {u"a", u"b", u"c"}},
      {"largest counts", {"COUNT=2147483647", "0=a", "1=b", "2=c"}, "COUNT=2147483647", {u"a", u"b", u"c"}},
      {"count a little too large", {"COUNT=5", "0=a", "1=b", "2=c"}, "COUNT=2", {u"a", u"b", u"c"}},
      {"a name missing in between", {"COUNT=3", "0=a", "2=c"}, "COUNT=2", {u"a", u"Raid 2", u"c"}},
      {"names beyond the count", {"COUNT=2", "0=a", "1=b", "2=c"}, "COUNT=2", {u"a", u"b"}},
      {"a far name key is not believed",
       {"COUNT=2000000000", "0=a", "1=b", "2=c", "1999999999=far"},
       "COUNT=2",
       {u"a", u"b", u"c"}},
      {"no name at all", {"COUNT=2000000000"}, "COUNT=2", DefaultRaids()},
  };
  for (const Case& c : cases) {
    WriteFileBytes(DataFile(), withRaidSection(c.raidLines, c.charaCount));
    const TRosterModel model = LoadedModel();
    EXPECT_EQ(model.Raids, c.raids) << c.what;
    ASSERT_EQ(model.Charas.size(), 2u) << c.what;
    if (c.raids == expected.Raids) {
      EXPECT_EQ(model, expected) << c.what << ": the same roster as the sane counts give";
    }
  }
}

TEST_F(DataFileTest, HugeCharaCountReachesAFarSection) {
  WriteFileBytes(DataFile(), Lines({"[RAID]", "COUNT=1", "0=a", "[CHARA]", "COUNT=2000000000",
                                    "[CHARA1999999999]", "NAME=far", "[CHARA0]", "NAME=near"}));
  const TRosterModel model = LoadedModel();
  ASSERT_EQ(model.Charas.size(), 2u);
  EXPECT_EQ(model.Charas[0].Name, u"near");
  EXPECT_EQ(model.Charas[1].Name, u"far");
}

TEST_F(DataFileTest, ManyRaidsTimesManyCharactersStayWithinATimerBudget) {
  // Half a megabyte: 10,000 raid names and 10,000 named character sections would mean 100 million
  // timers. Loading stops adding characters once the timers outgrow what the file holds.
  constexpr int kRaids = 10000;
  constexpr int kCharas = 10000;
  std::string text = "[RAID]\r\nCOUNT=" + std::to_string(kRaids) + "\r\n";
  for (int k = 0; k < kRaids; ++k) text += std::to_string(k) + "=r" + std::to_string(k) + "\r\n";
  text += "[CHARA]\r\nCOUNT=" + std::to_string(kCharas) + "\r\n";
  for (int i = 0; i < kCharas; ++i) text += "[CHARA" + std::to_string(i) + "]\r\nNAME=c\r\n";
  WriteFileBytes(DataFile(), text);

  TKestrum roster;
  roster.Load();
  EXPECT_EQ(roster.RaidCount(), kRaids);
  const int64_t timers = static_cast<int64_t>(roster.RaidCount()) * roster.CharaCount();
  EXPECT_GT(roster.CharaCount(), 0);
  EXPECT_LE(timers, std::max<int64_t>(4 * (kRaids + kCharas + 2), 100'000));
}

TEST_F(DataFileTest, EveryRosterThatSaveWritesLoadsWhole) {
  // Rosters beyond what a small file may build regardless of its size, in the bytes Save writes. A
  // character of one raid with its timer unset holds the fewest bytes for what it costs in memory.
  const TSavedRosterShape cases[] = {
      {"one raid, many characters, timers unset", 1, 60000, false},
      {"one raid, many characters, timers set", 1, 40000, true},
      {"three raids, many characters, timers unset", 3, 40000, false},
      {"200 characters by 100 raids, timers unset", 100, 200, false},
      {"200 characters by 100 raids, timers set", 100, 200, true},
      {"one character, many raids", 30000, 1, false},
  };
  for (const auto& c : cases) {
    const std::string text = SavedRosterText(c);
    WriteFileBytes(DataFile(), text);

    TKestrum roster;
    roster.Load();
    EXPECT_TRUE(roster.UnreadReport().Whole()) << c.what;
    EXPECT_EQ(roster.RaidCount(), c.raids) << c.what;
    EXPECT_EQ(roster.CharaCount(), c.charas) << c.what;
    roster.Save();
    EXPECT_TRUE(ReadFileBytes(DataFile()) == text) << c.what << ": the file is what Save writes";
  }
}

TEST_F(DataFileTest, DeletingEveryRaidBringsTheDefaultsBack) {
  WriteFileBytes(DataFile(), Lines({"[RAID]", "COUNT=2", "0=a", "1=b", "[CHARA]", "COUNT=1", "[CHARA0]",
                                    "NAME=x", "VoN COUNT=3"}));
  TKestrum roster;
  roster.Load();
  roster.DelRaid(0);
  roster.DelRaid(0);
  EXPECT_EQ(roster.RaidCount(), 0);
  const TRosterModel model = LoadedModel();
  EXPECT_EQ(model.Raids, DefaultRaids());
  ASSERT_EQ(model.Charas.size(), 1u);
  EXPECT_EQ(model.Charas[0].Timers[0].Count, 3u);
}

// ---------------------------------------------------------------------------------------------------
// Failed saves

// A name that cannot be stored is refused before anything changes, with or without characters:
// saved, it would make every later save fail or lose a timer at the next load.
TEST_F(DataFileTest, UnstorableNamesAreRefusedBeforeAnythingChanges) {
  const struct {
    const char* what;
    void (*command)(TKestrum&);
    const char16_t* message;
  } cases[] = {
      {"AddRaid, equals sign", [](TKestrum& r) { r.AddRaid(u"a=b"); },
       u"レイド名 \"a=b\" は \"=\" を含むため使えません"},
      {"AddRaid, leading semicolon", [](TKestrum& r) { r.AddRaid(u" ;x"); },
       u"レイド名 \" ;x\" は \";\" で始まるため使えません"},
      {"AddRaid, only spaces", [](TKestrum& r) { r.AddRaid(u"  "); }, u"レイド名が空です"},
      {"AddRaid, a line break", [](TKestrum& r) { r.AddRaid(u"a\nb"); },
       u"レイド名が改行を含むため使えません"},
      {"AddRaid, the name key", [](TKestrum& r) { r.AddRaid(u"Name"); },
       u"レイド名 \"Name\" はキャラクターのデータのキーと重なるため使えません"},
      {"AddRaid, another raid's count key", [](TKestrum& r) { r.AddRaid(u"y COUNT"); },
       u"レイド名 \"y COUNT\" はキャラクターのデータのキーと重なるため使えません"},
      {"AddRaid, its count key another raid's name", [](TKestrum& r) { r.AddRaid(u"VoN "); },
       u"同名のレイドが存在します: \"VoN \""},
      {"AddRaid, another raid's key", [](TKestrum& r) { r.AddRaid(u" y "); },
       u"同名のレイドが存在します: \" y \""},
      {"RenameRaid, equals sign", [](TKestrum& r) { r.RenameRaid(0, u"=b"); },
       u"レイド名 \"=b\" は \"=\" を含むため使えません"},
      {"RenameRaid, another raid's key", [](TKestrum& r) { r.RenameRaid(0, u"Y"); },
       u"同名のレイドが存在します: \"Y\""},
      {"AddChara, only spaces", [](TKestrum& r) { r.AddChara(u" \t "); }, u"キャラクター名が空です"},
      {"RenameChara, empty", [](TKestrum& r) { r.RenameChara(0, u""); }, u"キャラクター名が空です"},
  };
  for (const bool withCharacter : {true, false}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (withCharacter ? ", with a character" : ", without characters"));
      fs::remove_all(home_.AppFolder());
      TKestrum roster;
      roster.Load();
      roster.AddRaid(u"y");
      roster.AddChara(u"x");
      if (!withCharacter && std::string(c.what).find("Chara") == std::string::npos) roster.DelChara(0);
      const TRosterModel before = ModelOf(roster);
      const std::string file = ReadFileBytes(DataFile());
      const std::string backup = ReadFileBytes(Backup());
      try {
        c.command(roster);
        ADD_FAILURE() << "the name was taken";
      } catch (const ERTDSaveError&) {
        ADD_FAILURE() << "refused by the save, not before it";
      } catch (const ERTDError& e) {
        EXPECT_EQ(e.Message(), c.message);
      }
      EXPECT_EQ(ModelOf(roster), before);
      EXPECT_EQ(ReadFileBytes(DataFile()), file);
      EXPECT_EQ(ReadFileBytes(Backup()), backup);
    }
  }
}

TEST_F(DataFileTest, SaveBelowARegularFileFailsAndKeepsTheDefaults) {
  WriteFileBytes(home_.AppFolder(), "not a folder");
  TKestrum roster;
  roster.Load();
  try {
    roster.AddChara(u"x");
    ADD_FAILURE() << "the save did not fail";
  } catch (const ERTDSaveError& e) {
    EXPECT_NE(ToUtf8(e.Message()).find("raid.dat"), std::string::npos) << ToUtf8(e.Message());
  }
  EXPECT_EQ(ModelOf(roster), (TRosterModel{DefaultRaids(), {}}));
  EXPECT_EQ(ReadFileBytes(home_.AppFolder()), "not a folder");
  EXPECT_EQ(FolderListing(home_.AppFolder().parent_path()), (std::vector<std::string>{"Kestrum"}));
}

}  // namespace
}  // namespace kestrum::test
