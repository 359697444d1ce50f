#include "data/DataFile.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "base/DateTime.h"
#include "base/Files.h"
#include "data/shhlpr.h"
#include "ini/VoMemIniFile.h"

namespace kestrum {

namespace {

const String kRaidSection = u"RAID";
const String kCharaSection = u"CHARA";
const String kCountKey = u"COUNT";
const String kNameKey = u"NAME";
const String kCountSuffix = u" COUNT";
const String kDefaultDateText = u"1980/01/01 00:00:00";
// What a heap block of Bytes takes from the allocator: 16-byte granules with one word of its own,
// 24 bytes at least.
constexpr int64_t HeapBlockBytes(size_t ABytes) {
  return std::max<int64_t>(24, static_cast<int64_t>((ABytes + 8 + 15) / 16 * 16 - 8));
}
// The memory costs of the roster's parts, for the budget a load keeps to: a character with its block,
// its place in the roster's list (which grows by doubling) and the block of its timer list; a timer
// with its block and its place in that list. A long name takes a block of its own besides.
constexpr int64_t kCharaBytes =
    HeapBlockBytes(sizeof(TCharaData)) + 2 * sizeof(std::unique_ptr<TCharaData>) + HeapBlockBytes(0);
constexpr int64_t kTimerBytes =
    HeapBlockBytes(sizeof(TRaidTimerData)) + sizeof(std::unique_ptr<TRaidTimerData>);
int64_t NameBytes(const String& AName) {
  constexpr size_t kShortName = sizeof(String) / sizeof(char16_t) / 2 - 1;  // held within the String
  return AName.size() <= kShortName ? 0 : HeapBlockBytes((AName.size() + 1) * sizeof(char16_t));
}
// A saved character's lines take more than a third of what it takes in memory (the least, one with a
// single raid, costs under three times its lines), so holding each character to that cuts only the
// hostile ones. A hand-written roster of 200 characters by 100 raids still loads whatever its lines.
constexpr int64_t kModelBytesPerFileByte = 3;
constexpr int64_t kMinModelBytes = 200 * (kCharaBytes + 100 * kTimerBytes);

// What a load builds of the roster. Within kMinModelBytes anything the file names is built; beyond
// it, a part is built only when the file's lines for it stand for at least a third of its cost, so
// the roster stays in proportion to the file however many parts the file names with few bytes.
class TRosterBudget {
 public:
  // Counts ACost as built already.
  void Spend(int64_t ACost) { FSpent += ACost; }
  // Spends ACost, for a part whose lines take ALineBytes, unless the budget refuses it.
  bool Pay(int64_t ACost, int64_t ALineBytes) {
    if (FSpent + ACost > kMinModelBytes && kModelBytesPerFileByte * ALineBytes < ACost) return false;
    FSpent += ACost;
    return true;
  }

 private:
  int64_t FSpent = 0;
};
constexpr size_t kMinRaidNames = kMinModelBytes / sizeof(String);
constexpr int kMaxKeptCopyTries = 1000;
const String kKeptCopyInfix = u".unread-";
const char16_t kCannotKeep[] = u"読み切れなかったデータファイルを残せないため、保存しません。\r\n";

String CharaSection(int index) {
  return kCharaSection + IntToStr(index);
}

// The number a key or section suffix stands for, as Save writes it: decimal digits without leading
// zeros. Anything else (and numbers beyond the 32-bit range) is no index.
std::optional<int32_t> ParseIndex(std::u16string_view text) {
  if (text.empty() || text.size() > 10 || (text.size() > 1 && text[0] == u'0')) return std::nullopt;
  int64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  if (value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

// The numbers below ACount that names "<APrefix><index>" stand for, ascending, each once. The names
// are those AForEachName hands to the function it is given; a hostile file holds millions, so they
// are looked at in place rather than copied.
template <class F>
std::vector<int32_t> IndicesNamed(F&& AForEachName, std::u16string_view APrefix, int32_t ACount) {
  const auto indexNamed = [&](std::u16string_view text) -> std::optional<int32_t> {
    if (text.size() <= APrefix.size() || !SameTextAscii(text.substr(0, APrefix.size()), APrefix))
      return std::nullopt;
    const std::optional<int32_t> index = ParseIndex(text.substr(APrefix.size()));
    return index && *index < ACount ? index : std::nullopt;
  };
  // Counted first, so the list takes what it holds and no more.
  size_t count = 0;
  AForEachName([&](std::u16string_view text) { count += indexNamed(text) ? 1 : 0; });
  std::vector<int32_t> indices;
  indices.reserve(count);
  AForEachName([&](std::u16string_view text) {
    if (const std::optional<int32_t> index = indexNamed(text)) indices.push_back(*index);
  });
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  return indices;
}

// The indices i below ACount for which a section "CHARA<i>" exists. Every other index of the count
// has no name and so yields no character; skipping it keeps a huge count cheap.
std::vector<int32_t> CharaIndicesHeld(const TVoMemIniFile& Ini, int32_t ACount) {
  return IndicesNamed([&Ini](const auto& name) { Ini.ForEachSectionName(name); }, kCharaSection, ACount);
}

// A character's timers are stored under the raid names, beside "NAME" and "<raid> COUNT": a name
// that cannot be a key there would fail to save or lose a timer at the next load.
void CheckRaidKeysAreStorable(const TRaidNames& ARaidNames) {
  const std::vector<TRaidNameProblem> problems = RaidNameProblems(ARaidNames);
  for (size_t k = 0; k < problems.size(); ++k)
    if (problems[k] != TRaidNameProblem::None)
      throw ERTDError(RaidNameProblemMessage(problems[k], ARaidNames[k]));
}

// A timer's stored moment, in the current format or any other known one. Text that none reads is
// kept in the timer unread, so that a change of locale or a file from elsewhere loses no lock-out.
// A running lock-out ends within one lock-out length from now: where day and month could be
// swapped, a reading there is preferred.
void ReadActivateTime(const TVoMemIniFile& Ini, const String& Section, const String& RaidName,
                      TRaidTimerData& Timer) {
  const String text = Ini.ReadString(Section, RaidName, kDefaultDateText);
  TDateTime value = 0;
  if (TryStrToDateTimeAnyForm(text, value, FormatSettings(), {Now(), TRaidTimerData::LockOutLength}))
    Timer.SetActivateTime(value);
  else
    Timer.SetUnreadText(Trim(text).empty() ? String() : text);
}

// The integer stored under the key, 0 when missing or no integer; the latter is noted.
int32_t ReadCount(const TVoMemIniFile& Ini, const String& Section, const String& Ident,
                  TUnreadReport& AUnread) {
  const int32_t value = Ini.ReadInteger(Section, Ident, 0);
  if (value == 0 && Ini.ReadInteger(Section, Ident, 1) != 0 && Ini.ValueExists(Section, Ident))
    AUnread.Add(TUnreadReason::UnreadNumbers);
  return value;
}

// A data file beyond kMaxDataFileBytes is neither read nor replaced, and says so.
void RefuseOversizedFile(const String& APath, int64_t ASize) {
  if (ASize <= static_cast<int64_t>(kMaxDataFileBytes)) return;
  throw ERTDError(u"データファイル \"" + APath + u"\" は " + IntToStr(ASize) +
                  u" バイトあり、読める大きさ (" + IntToStr(static_cast<int64_t>(kMaxDataFileBytes)) +
                  u" バイト) を超えているため、読み込みも保存もしません。ファイルはそのまま残してあります。");
}

// "<data file>.unread-<local date and time>", or with "-2", "-3", ... when that name is taken.
String WriteKeptCopy(const String& APath, const std::string& ABytes) {
  const String stem = APath + kKeptCopyInfix + FormatDateTime(u"yyyymmdd-hhnnss", Now());
  for (int n = 1; n <= kMaxKeptCopyTries; ++n) {
    String name = n == 1 ? stem : stem + u"-" + IntToStr(n);
    if (WriteNewFile(name, ABytes)) return name;
  }
  throw EFileError(u"Cannot write \"" + stem + u"\": every name of that form is taken");
}

// A copy beside APath that holds ABytes already: one that an earlier load, in this run or another,
// kept of the same file. Empty when there is none.
String EarlierKeptCopy(const String& APath, const std::string& ABytes) {
  const size_t nameStart = APath.rfind(PathDelim) + 1;  // 0 without a folder
  const String folder = APath.substr(0, nameStart);
  const String prefix = APath.substr(nameStart) + kKeptCopyInfix;
  for (const String& name : FileNamesStartingWith(folder.empty() ? String(u".") : folder, prefix)) {
    String path = folder + name;
    if (FileSize(path) == static_cast<int64_t>(ABytes.size()) && ReadFileBytes(path) == ABytes) return path;
  }
  return String();
}

// The next save would replace the file with only what was read of it, so the file is kept as it was,
// once: a copy of the same bytes that a load made before serves again.
void KeepUnreadFile(const String& APath, TUnreadReport& AUnread) {
  if (AUnread.Whole()) return;
  try {
    const std::string bytes = ReadFileBytes(APath);
    AUnread.KeptFile = EarlierKeptCopy(APath, bytes);
    if (AUnread.KeptFile.empty()) AUnread.KeptFile = WriteKeptCopy(APath, bytes);
    AUnread.KeepError.clear();
  } catch (const EFileError& error) {
    AUnread.KeepError = error.Message();
  }
}

}  // namespace

void TUnreadReport::Add(TUnreadReason AReason) {
  if (std::find(Reasons.begin(), Reasons.end(), AReason) == Reasons.end()) Reasons.push_back(AReason);
}

// ---------------------------------------------------------------------------------------------------
// Reading

TDataFileReader::TDataFileReader(const String& APath) : FPath(APath) {
  RefuseOversizedFile(FPath, FileSize(FPath));
}

TDataFileReader::~TDataFileReader() = default;

void TDataFileReader::Open(TUnreadReport& AUnread) {
  FUnread = &AUnread;
  AUnread = {};
  FIni = std::make_unique<TVoMemIniFile>(FPath);
  FStamp = FIni->FileStamp();
  if (FIni->Unread().UndecodedBytes) AUnread.Add(TUnreadReason::NoText);
  if (FIni->Unread().DroppedLines > 0) AUnread.Add(TUnreadReason::DroppedLines);
}

TRaidNames TDataFileReader::ReadRaidNames() {
  const TVoMemIniFile& ini = *FIni;
  const int32_t promised = ReadCount(ini, kRaidSection, kCountKey, *FUnread);
  // A damaged count must not make us build millions of rows: the raids end at the last name key
  // below the count, and a name key is only believed below the number of keys the whole file holds.
  // A saved raid also has two keys in every character's section, so beyond the names the budget's
  // floor pays for, a name key is only believed below half the keys outside its section.
  // Key names are unique in a section and an index has one form, so each index is met once and
  // needs counting only, not keeping: a hostile file holds millions.
  const size_t allKeys = ini.KeyCount();
  const size_t believedBelow =
      std::min(allKeys, std::max(kMinRaidNames, (allKeys - ini.KeyCount(kRaidSection)) / 2));
  int64_t named = 0;
  int32_t raidCount = 0;
  bool cut = false;
  ini.ForEachKeyName(kRaidSection, [&](std::u16string_view text) {
    const std::optional<int32_t> index = ParseIndex(text);
    if (!index || *index >= promised) return;
    ++named;
    if (static_cast<size_t>(*index) < believedBelow)
      raidCount = std::max(raidCount, *index + 1);
    else
      cut = true;
  });
  if (named < promised) FUnread->Add(TUnreadReason::MissingRaidNames);
  if (cut) FUnread->Add(TUnreadReason::CutByBounds);
  TRaidNames raidNames;
  raidNames.reserve(raidCount);
  for (int32_t k = 0; k < raidCount; ++k) raidNames.push_back(ini.ReadString(kRaidSection, IntToStr(k), u""));
  // The names are all the roster takes from the section.
  FIni->EmptySection(kRaidSection);
  FUnread->RenamedRaids = RenameUnstorableRaids(raidNames);
  if (!FUnread->RenamedRaids.empty()) FUnread->Add(TUnreadReason::RenamedRaids);
  return raidNames;
}

TCharaDatas TDataFileReader::ReadCharas(const TRaidNames& ARaidNames) {
  TVoMemIniFile& ini = *FIni;
  const auto raidCount = static_cast<int32_t>(ARaidNames.size());
  // Every character and timer costs memory however few bytes of the file stand for it: a few thousand
  // raid names and character sections must not build a billion timers, nor millions of bare
  // character sections millions of characters. Characters the budget refuses are not loaded.
  // The raid names are part of the roster and are paid from the same budget.
  const int64_t perChara = kCharaBytes + static_cast<int64_t>(raidCount) * kTimerBytes;
  const int32_t promised = ReadCount(ini, kCharaSection, kCountKey, *FUnread);
  const std::vector<int32_t> held = CharaIndicesHeld(ini, promised);
  if (static_cast<int64_t>(held.size()) < promised) FUnread->Add(TUnreadReason::MissingCharacters);
  TCharaDatas charas;
  TRosterBudget budget;
  for (const String& raid : ARaidNames) budget.Spend(static_cast<int64_t>(sizeof(String)) + NameBytes(raid));
  // The character a held section stands for, or null when it has no name or the budget refuses it.
  const auto readChara = [&](const String& section) -> std::unique_ptr<TCharaData> {
    const String name = ini.ReadString(section, kNameKey, u"");
    if (name.empty()) {
      FUnread->Add(TUnreadReason::MissingCharacters);
      return nullptr;
    }
    // The header line "[<section>]" and the key lines.
    const auto lineBytes = static_cast<int64_t>(section.size() + 4 + ini.KeyLineUnits(section));
    if (!budget.Pay(perChara + NameBytes(name), lineBytes)) {
      FUnread->Add(TUnreadReason::CutByBounds);
      return nullptr;
    }
    // Each count key is made as it is needed: holding them all, as saving does, would copy every raid
    // name once more, and a hostile file holds millions of them.
    std::vector<uint32_t> counts(raidCount);
    for (int32_t k = 0; k < raidCount; ++k)
      counts[k] = static_cast<uint32_t>(ReadCount(ini, section, ARaidNames[k] + kCountSuffix, *FUnread));
    auto chara = std::make_unique<TCharaData>(name, std::vector<TDateTime>(raidCount, 0), counts);
    for (int32_t k = 0; k < raidCount; ++k)
      ReadActivateTime(ini, section, ARaidNames[k], *chara->GetRaidTimerDatas(k));
    return chara;
  };
  for (int32_t i : held) {
    const String section = CharaSection(i);
    if (auto chara = readChara(section)) charas.push_back(std::move(chara));
    // What the section held is freed as the roster grows, so that the two do not add up.
    ini.EmptySection(section);
  }
  return charas;
}

void TDataFileReader::Close() {
  FIni.reset();
  KeepUnreadFile(FPath, *FUnread);
}

// ---------------------------------------------------------------------------------------------------
// Writing

TDataFileWriter::TDataFileWriter(const String& APath)
    : FPath(APath), FBak(APath + u".bak"), FBak2(APath + u".bak2"), FHadFile(false) {
  ForceFileDir(FPath);
  // A link whose target is missing is still the file: a rollback must not remove it.
  FHadFile = FileExists(FPath) || LinkTarget(FPath) != FPath;
  // Before anything is copied or written: a file this large holds what no save may replace.
  RefuseOversizedFile(FPath, FileSize(FPath));
}

void TDataFileWriter::Write(const TRaidNames& ARaidNames, const TCharaDatas& ACharaDatas,
                            TUnreadReport& AUnread) {
  if (!AUnread.Whole() && AUnread.KeptFile.empty()) {
    KeepUnreadFile(FPath, AUnread);
    if (AUnread.KeptFile.empty()) throw ERTDError(kCannotKeep + AUnread.KeepError);
  }
  // Copies, not a rename: a crash at any moment must still find a complete backup.
  if (FileExists(FBak2)) DeleteFile(FBak2);
  if (FileExists(FBak)) CopyFileReplacing(FBak, FBak2);
  FBackupMade = FHadFile && CopyFileReplacing(FPath, FBak);

  const auto raidCount = static_cast<int32_t>(ARaidNames.size());
  const auto charaCount = static_cast<int32_t>(ACharaDatas.size());
  CheckRaidKeysAreStorable(ARaidNames);
  // The same count keys serve every character.
  std::vector<String> countKeys;
  countKeys.reserve(ARaidNames.size());
  for (const String& raid : ARaidNames) countKeys.push_back(raid + kCountSuffix);
  TVoMemIniFile ini(FPath);
  ini.WriteInteger(kRaidSection, kCountKey, raidCount);
  for (int32_t k = 0; k < raidCount; ++k) ini.WriteString(kRaidSection, IntToStr(k), ARaidNames[k]);
  ini.WriteInteger(kCharaSection, kCountKey, charaCount);
  for (int32_t i = 0; i < charaCount; ++i) {
    const String section = CharaSection(i);
    const TCharaData& chara = *ACharaDatas[i];
    ini.WriteString(section, kNameKey, chara.Name());
    for (int32_t k = 0; k < raidCount; ++k) {
      const TRaidTimerData& timer = *chara.GetRaidTimerDatas(k);
      ini.WriteString(section, ARaidNames[k],
                      timer.HasUnreadText() ? timer.UnreadText() : DateTimeToStr(timer.ActivateTime()));
      ini.WriteInteger(section, countKeys[k], static_cast<int32_t>(timer.Count()));
    }
  }
  ini.UpdateFile();
  FStamp = ini.FileStamp();

  if (FileExists(FBak2)) DeleteFile(FBak2);
}

void TDataFileWriter::RollBack() {
  // The file is written atomically, so when no backup of it was made it still holds what it held
  // before; copying an older backup over it would lose the last good save. A file this save
  // created from nothing is removed.
  if (FBackupMade)
    CopyFileReplacing(FBak, FPath);
  else if (!FHadFile)
    DeleteFile(FPath);
  // Renaming needs no free space: on a full disk a copy would fail and the backup would be lost.
  if (FileExists(FBak2)) RenameFile(FBak2, FBak);
}

}  // namespace kestrum
