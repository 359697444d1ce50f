#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/Strings.h"
#include "data/RaidTimerData.h"
#include "tests/data/DataTestFixture.h"
#include "tests/data/RosterFileSupport.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/RosterModel.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

// now_ of the fixture, 2024-03-05 13:45:30, as the kept copy's name gives it.
const char kKeptName[] = "raid.dat.unread-20240305-134530";

// "0=魔法の塔" and "NAME=ゆきな" in CP932, as the Japanese Windows version writes them.
const std::string kTowerCp932 = "0=\x96\x82\x96\x40\x82\xCC\x93\x83";
const std::string kNameCp932 = "NAME=\x82\xE4\x82\xAB\x82\xC8";
const String kTower = u"\u9B54\u6CD5\u306E\u5854";
const String kYukina = u"\u3086\u304D\u306A";

std::string RandomBytes(size_t size) {
  std::mt19937 random(7);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

std::string Utf16LE(const std::string& ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

const std::string kRoster =
    Lines({"[RAID]", "COUNT=2", "0=VoN", "1=TF", "[CHARA]", "COUNT=1", "[CHARA0]", "NAME=Ann",
           "VoN=2024/03/01", "VoN COUNT=4", "TF=2024/03/02", "TF COUNT=1"});

class UnreadFileTest : public DataTest {
 protected:
  std::vector<std::string> KeptCopies() const {
    std::vector<std::string> kept;
    for (const std::string& name : FolderListing(home_.AppFolder()))
      if (name.starts_with("raid.dat.unread-")) kept.push_back(name);
    return kept;
  }
};

TEST_F(UnreadFileTest, ADamagedFileIsKeptAsItWasOnceBeforeItIsReplaced) {
  const std::string cutUtf8 = "[RAID]\r\nCOUNT=1\r\n0=\xE9\xAD\x94\xE6\xB3\x95\xE3\x81\xAE\xE5\xA1";
  const struct {
    const char* what;
    std::string bytes;
    TUnreadReason reason;
  } cases[] = {
      {"random bytes", RandomBytes(4000), TUnreadReason::DroppedLines},
      {"cut inside a UTF-8 character", cutUtf8, TUnreadReason::NoText},
      {"UTF-16 with an odd last byte", Utf16LE("[RAID]\r\nCOUNT=1\r\n0=VoN") + "x", TUnreadReason::NoText},
      {"a NUL byte", std::string("[RAID]\r\nCOUNT=1\r\n0=VoN\0TF\r\n", 24), TUnreadReason::DroppedLines},
      {"a key line before any section", "COUNT=1\r\n" + kRoster, TUnreadReason::DroppedLines},
      {"CHARA COUNT beyond the sections", kRoster + Lines({"[CHARA]", "COUNT=3"}),
       TUnreadReason::MissingCharacters},
      {"a character without a name", kRoster + Lines({"[CHARA]", "COUNT=2", "[CHARA1]", "VoN COUNT=2"}),
       TUnreadReason::MissingCharacters},
      {"RAID COUNT beyond the names", Lines({"[RAID]", "COUNT=3", "0=VoN", "1=TF"}),
       TUnreadReason::MissingRaidNames},
      {"RAID COUNT without any name", Lines({"[RAID]", "COUNT=2"}), TUnreadReason::MissingRaidNames},
      {"a raid name beyond the bounds", Lines({"[RAID]", "COUNT=100", "0=VoN", "50=TF"}),
       TUnreadReason::CutByBounds},
      {"a count that is no number", kRoster + Lines({"[CHARA0]", "TF COUNT=many"}),
       TUnreadReason::UnreadNumbers},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(home_.AppFolder());
    WriteFileBytes(DataFile(), c.bytes);
    TKestrum roster;
    roster.Load();
    const TUnreadReport& report = roster.UnreadReport();
    EXPECT_NE(std::find(report.Reasons.begin(), report.Reasons.end(), c.reason), report.Reasons.end());
    EXPECT_EQ(report.KeptFile, FromUtf8((home_.AppFolder() / kKeptName).string()));
    EXPECT_EQ(report.KeepError, u"");
    ASSERT_EQ(KeptCopies(), std::vector<std::string>{kKeptName});
    EXPECT_EQ(ReadFileBytes(home_.AppFolder() / kKeptName), c.bytes);

    // The two saves that replace raid.dat and then raid.dat.bak leave the copy as it was.
    roster.AddChara(u"Zoe");
    roster.RenameChara(roster.CharaCount() - 1, u"Zed");
    EXPECT_NE(ReadFileBytes(Backup()), c.bytes);
    EXPECT_EQ(KeptCopies(), std::vector<std::string>{kKeptName});
    EXPECT_EQ(ReadFileBytes(home_.AppFolder() / kKeptName), c.bytes);

    TKestrum reloaded;
    reloaded.Load();
    EXPECT_TRUE(reloaded.UnreadReport().Whole()) << "what we wrote is read whole";
  }
}

TEST_F(UnreadFileTest, AFileReadWholeIsNotCopied) {
  const struct {
    const char* what;
    std::optional<std::string> bytes;
  } cases[] = {
      {"no file", std::nullopt},
      {"an empty file", ""},
      {"a roster as we write it", kRoster},
      {"a hand-edited roster with comments, spaces and unknown keys",
       "; mine\n[raid]\n count = 2 \n0 = VoN\n1=TF\nextra=1\n[Other]\nk=v\n[CHARA]\nCOUNT=0\n"},
      {"a CP932 roster",
       Lines({"[RAID]", "COUNT=1", kTowerCp932, "[CHARA]", "COUNT=1", "[CHARA0]", kNameCp932})},
      // A date text in no known form stays in the file as it is, so there is nothing to keep.
      {"a date text that is no date",
       Lines({"[RAID]", "COUNT=1", "0=TF", "[CHARA]", "COUNT=1", "[CHARA0]", "NAME=Ann", "TF=someday"})},
      {"a Windows-1252 roster",
       Lines({"[RAID]", "COUNT=1", "0=Caf\xE9\x81", "[CHARA]", "COUNT=1", "[CHARA0]", "NAME=J\xF6rg"})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(home_.AppFolder());
    if (c.bytes) WriteFileBytes(DataFile(), *c.bytes);
    TKestrum roster;
    roster.Load();
    EXPECT_TRUE(roster.UnreadReport().Whole());
    EXPECT_EQ(roster.UnreadReport().KeptFile, u"");
    roster.AddChara(u"Zoe");
    roster.Load();
    roster.Save();
    roster.Load();
    EXPECT_TRUE(roster.UnreadReport().Whole());
    EXPECT_TRUE(KeptCopies().empty());
  }
}

TEST_F(UnreadFileTest, ACp932RosterKeepsItsNamesAndIsSavedAsUtf8) {
  WriteFileBytes(DataFile(), Lines({"[RAID]", "COUNT=1", kTowerCp932, "[CHARA]", "COUNT=1", "[CHARA0]",
                                    kNameCp932, "\x96\x82\x96\x40\x82\xCC\x93\x83 COUNT=3"}));
  TKestrum roster;
  roster.Load();
  ASSERT_EQ(roster.RaidNameAry(), std::vector<String>{kTower});
  ASSERT_EQ(roster.CharaCount(), 1);
  EXPECT_EQ(roster.GetCharaDatas(0)->Name(), kYukina);
  EXPECT_EQ(roster.GetCharaDatas(0)->GetRaidTimerDatas(0)->Count(), 3u);

  roster.AddChara(u"Zoe");
  const std::string saved = ReadFileBytes(DataFile());
  EXPECT_NE(saved.find(ToUtf8(u"0=" + kTower + u"\r\n")), std::string::npos);
  EXPECT_NE(saved.find(ToUtf8(u"NAME=" + kYukina + u"\r\n")), std::string::npos);
  EXPECT_EQ(saved.find("\xEF\xBF\xBD"), std::string::npos) << "no U+FFFD";
  TKestrum reloaded;
  reloaded.Load();
  EXPECT_EQ(reloaded.GetCharaDatas(0)->Name(), kYukina);
  EXPECT_EQ(reloaded.GetCharaDatas(0)->GetRaidTimerDatas(0)->Count(), 3u);
}

TEST_F(UnreadFileTest, AKeptCopyNeverReplacesAFileOfItsName) {
  WriteFileBytes(DataFile(), Lines({"[RAID]", "COUNT=3", "0=VoN"}));
  WriteFileBytes(home_.AppFolder() / kKeptName, "someone else's");
  WriteFileBytes(home_.AppFolder() / (std::string(kKeptName) + "-2"), "another");
  TKestrum roster;
  roster.Load();
  const std::string third = std::string(kKeptName) + "-3";
  EXPECT_EQ(roster.UnreadReport().KeptFile, FromUtf8((home_.AppFolder() / third).string()));
  EXPECT_EQ(ReadFileBytes(home_.AppFolder() / kKeptName), "someone else's");
  EXPECT_EQ(ReadFileBytes(home_.AppFolder() / third), Lines({"[RAID]", "COUNT=3", "0=VoN"}));
}

// Raid names that cannot be stored, or that share a key with an earlier one, are renamed on load, so
// that every later save works and each raid keeps timers of its own; the file is kept as it was.
TEST_F(UnreadFileTest, RaidNamesThatCannotBeStoredAreRenamedAndTheFileKept) {
  const std::string chara =
      Lines({"[CHARA]", "COUNT=1", "[CHARA0]", "NAME=Ann", "VoN=2024/03/07", "VoN COUNT=4"});
  const struct {
    const char* what;
    std::vector<std::string> raidLines;
    std::vector<String> raids;
    std::vector<TRenamedRaid> renamed;
  } cases[] = {
      {"a name line missing", {"0=VoN", "2=DQ"}, {u"VoN", u"Raid 2", u"DQ"}, {{1, u"", u"Raid 2"}}},
      {"an empty name", {"0=VoN", "1=  ", "2=DQ"}, {u"VoN", u"Raid 2", u"DQ"}, {{1, u"", u"Raid 2"}}},
      {"the same key as an earlier name",
       {"0=VoN", "1=von", "2=DQ"},
       {u"VoN", u"Raid 2", u"DQ"},
       {{1, u"von", u"Raid 2"}}},
      {"an equals sign", {"0=VoN", "1=a=b", "2=DQ"}, {u"VoN", u"Raid 2", u"DQ"}, {{1, u"a=b", u"Raid 2"}}},
      {"a leading semicolon", {"0=VoN", "1=;x", "2=DQ"}, {u"VoN", u"Raid 2", u"DQ"}, {{1, u";x", u"Raid 2"}}},
      {"the name key", {"0=VoN", "1=Name", "2=DQ"}, {u"VoN", u"Raid 2", u"DQ"}, {{1, u"Name", u"Raid 2"}}},
      {"a count key of an earlier raid",
       {"0=VoN", "1=VoN COUNT", "2=DQ"},
       {u"VoN", u"Raid 2", u"DQ"},
       {{1, u"VoN COUNT", u"Raid 2"}}},
      {"the count key of a later raid",
       {"0=VoN", "1=DQ COUNT", "2=DQ"},
       {u"VoN", u"DQ COUNT", u"Raid 3"},
       {{2, u"DQ", u"Raid 3"}}},
      {"the new name taken",
       {"0=VoN", "1=", "2=raid 2", "3=Raid 2 (2) COUNT"},
       {u"VoN", u"Raid 2 (3)", u"raid 2", u"Raid 2 (2) COUNT"},
       {{1, u"", u"Raid 2 (3)"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(home_.AppFolder());
    std::string text = Lines({"[RAID]", "COUNT=" + std::to_string(c.raids.size())});
    for (const std::string& line : c.raidLines) text += line + "\r\n";
    text += chara;
    WriteFileBytes(DataFile(), text);
    TKestrum roster;
    roster.Load();
    EXPECT_EQ(roster.RaidNameAry(), c.raids);
    const TUnreadReport& report = roster.UnreadReport();
    ASSERT_EQ(report.RenamedRaids.size(), c.renamed.size());
    for (size_t i = 0; i < c.renamed.size(); ++i) {
      EXPECT_EQ(report.RenamedRaids[i].Index, c.renamed[i].Index);
      EXPECT_EQ(report.RenamedRaids[i].OldName, c.renamed[i].OldName);
      EXPECT_EQ(report.RenamedRaids[i].NewName, c.renamed[i].NewName);
    }
    ASSERT_EQ(KeptCopies(), std::vector<std::string>{kKeptName});
    EXPECT_EQ(ReadFileBytes(home_.AppFolder() / kKeptName), text);
    EXPECT_EQ(roster.GetCharaDatas(0)->GetRaidTimerDatas(0)->Count(), 4u) << "VoN keeps its timer";
    for (int k = 1; k < roster.RaidCount(); ++k)
      EXPECT_EQ(roster.GetCharaDatas(0)->GetRaidTimerDatas(k)->Count(), 0u) << "raid " << k;

    // Every command saves again, and a run on any raid survives a reload.
    roster.GetCharaDatas(0)->GetRaidTimerDatas(1)->Done();
    roster.AddChara(u"Zoe");
    roster.MoveRaid(2, 0);
    TKestrum reloaded;
    reloaded.Load();
    EXPECT_TRUE(reloaded.UnreadReport().Whole());
    EXPECT_EQ(ModelOf(reloaded), ModelOf(roster));
  }
}

// A damaged file is kept once, however often it is loaded: a copy of the same bytes beside it, from
// this run or an earlier one, is named again.
TEST_F(UnreadFileTest, TheSameContentIsKeptOnce) {
  const std::string damaged = Lines({"[RAID]", "COUNT=3", "0=VoN"});
  WriteFileBytes(DataFile(), damaged);
  WriteFileBytes(home_.AppFolder() / "raid.dat.unread-20200101-000000", "an older damage");
  TKestrum first;
  first.Load();
  const String kept = first.UnreadReport().KeptFile;
  EXPECT_EQ(kept, FromUtf8((home_.AppFolder() / kKeptName).string()));
  for (int start = 0; start < 3; ++start) {
    now_ += 1.0 / 24;
    TKestrum again;
    again.Load();
    EXPECT_EQ(again.UnreadReport().KeptFile, kept);
  }
  EXPECT_EQ(KeptCopies().size(), 2u);

  WriteFileBytes(DataFile(), damaged + "x\r\n");
  TKestrum changed;
  changed.Load();
  EXPECT_NE(changed.UnreadReport().KeptFile, kept) << "other bytes get a copy of their own";
  EXPECT_EQ(KeptCopies().size(), 3u);
}

// A failed save reloads; the file it restored is ours or the one already kept, so no copy is added.
TEST_F(UnreadFileTest, AFailedSaveAddsNoCopy) {
  for (const std::string& bytes : {kRoster, kRoster + Lines({"[CHARA]", "COUNT=5"})}) {
    fs::remove_all(home_.AppFolder());
    WriteFileBytes(DataFile(), bytes);
    TKestrum roster;
    roster.Load();
    const std::vector<std::string> before = KeptCopies();
    EXPECT_THROW(roster.AddChara(u"a\nb"), ERTDSaveError);  // a value the file cannot hold
    EXPECT_EQ(ReadFileBytes(DataFile()), bytes);
    EXPECT_EQ(KeptCopies(), before);
    roster.AddChara(u"Zoe");
    EXPECT_THROW(roster.RenameChara(0, u"a\rb"), ERTDSaveError);
    EXPECT_EQ(KeptCopies(), before);
  }
}

// Without room for the copy the damaged file is not replaced: every save fails and says why.
TEST_F(UnreadFileTest, WithoutACopyNoSaveReplacesTheFile) {
  const std::string damaged = Lines({"[RAID]", "COUNT=3", "0=" + std::string(8192, 'v')});
  WriteFileBytes(DataFile(), damaged);
  const int result = ExitCodeUnderFileSizeLimit(4096, [] {
    TKestrum roster;
    roster.Load();
    if (roster.UnreadReport().KeptFile != u"" || roster.UnreadReport().KeepError.empty()) return 1;
    try {
      roster.DelRaid(0);
    } catch (const ERTDSaveError& error) {
      return error.Message().find(roster.UnreadReport().KeepError) != String::npos ? 0 : 3;
    }
    return 2;
  });
  EXPECT_EQ(result, 0) << "1: no error kept, 2: the save went on, 3: the message does not say why";
  EXPECT_EQ(ReadFileBytes(DataFile()), damaged);
  EXPECT_TRUE(KeptCopies().empty());
}

}  // namespace
}  // namespace kestrum::test
