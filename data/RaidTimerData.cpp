#include "data/RaidTimerData.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_set>
#include <utility>

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
// Rough memory costs of the roster's parts, for the budget a load keeps to: a character with its
// list entry and heap block, and a timer likewise.
constexpr int64_t kCharaBytes = sizeof(TCharaData) + 3 * sizeof(void*);
constexpr int64_t kTimerBytes = sizeof(TRaidTimerData) + 3 * sizeof(void*);
// A saved roster's file takes more than a third of what its characters and timers take in memory,
// so the budget only cuts hostile files; a small file may still build 100,000 timers.
constexpr int64_t kModelBytesPerFileByte = 3;
constexpr int64_t kMinModelBytes = 100'000 * kTimerBytes;
constexpr int kMaxKeptCopyTries = 1000;
const char16_t kCannotKeep[] = u"読み切れなかったデータファイルを残せないため、保存しません。\r\n";

String CharaSection(int index) {
  return kCharaSection + IntToStr(index);
}

// Moves the element at FromIdx to ToIdx; the elements in between close up.
template <typename T>
void MoveItem(std::vector<T>& items, int FromIdx, int ToIdx) {
  if (FromIdx < ToIdx)
    std::rotate(items.begin() + FromIdx, items.begin() + FromIdx + 1, items.begin() + ToIdx + 1);
  else if (FromIdx > ToIdx)
    std::rotate(items.begin() + ToIdx, items.begin() + FromIdx, items.begin() + FromIdx + 1);
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
  std::vector<int32_t> indices;
  AForEachName([&](std::u16string_view text) {
    if (text.size() <= APrefix.size() || !SameTextAscii(text.substr(0, APrefix.size()), APrefix)) return;
    const std::optional<int32_t> index = ParseIndex(text.substr(APrefix.size()));
    if (index && *index < ACount) indices.push_back(*index);
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

// A character's timers are stored under the raid names, beside "NAME" and "<raid> COUNT". A raid
// named like one of those keys would overwrite it and lose a name or a count at the next load.
void CheckRaidKeysAreDistinct(const TRaidNames& ARaidNames) {
  std::unordered_set<String> otherKeys{AsciiUpperCase(kNameKey)};
  for (const String& raid : ARaidNames) otherKeys.insert(AsciiUpperCase(Trim(raid + kCountSuffix)));
  for (const String& raid : ARaidNames) {
    if (otherKeys.count(AsciiUpperCase(Trim(raid))) != 0)
      throw ERTDError(u"レイド名 \"" + raid + u"\" はキャラクターのデータのキーと重なるため使えません");
  }
}

// A timer's stored moment, in the current format or any other known one. Text that none reads is
// kept in the timer unread, so that a change of locale or a file from elsewhere loses no lock-out.
void ReadActivateTime(const TVoMemIniFile& Ini, const String& Section, const String& RaidName,
                      TRaidTimerData& Timer) {
  const String text = Ini.ReadString(Section, RaidName, kDefaultDateText);
  TDateTime value = 0;
  if (TryStrToDateTimeAnyForm(text, value, FormatSettings()))
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
  throw ERTDError(u"データファイル \"" + APath + u"\" は " + IntToStr(ASize) + u" バイトあり、読める大きさ (" +
                  IntToStr(static_cast<int64_t>(kMaxDataFileBytes)) +
                  u" バイト) を超えているため、読み込みも保存もしません。ファイルはそのまま残してあります。");
}

// "<data file>.unread-<local date and time>", or with "-2", "-3", ... when that name is taken.
String WriteKeptCopy(const String& APath, const std::string& ABytes) {
  const String stem = APath + u".unread-" + FormatDateTime(u"yyyymmdd-hhnnss", Now());
  for (int n = 1; n <= kMaxKeptCopyTries; ++n) {
    const String name = n == 1 ? stem : stem + u"-" + IntToStr(n);
    if (WriteNewFile(name, ABytes)) return name;
  }
  throw EFileError(u"Cannot write \"" + stem + u"\": every name of that form is taken");
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// TRaidTimerData

const TDateTime TRaidTimerData::LockOutLength = 3 * EncodeTime(22, 0, 0, 0);

TRaidTimerData::TRaidTimerData(TDateTime AnActivateTime, uint32_t ACount)
    : FCount(ACount), FActivateTime(AnActivateTime) {}

bool TRaidTimerData::Enabled() const {
  return FActivateTime == 0 || Now() >= FActivateTime;
}

void TRaidTimerData::Done() {
  DoneAfter(LockOutLength);
}

void TRaidTimerData::SetActivateTime(TDateTime value) {
  FActivateTime = value;
  FUnreadText.clear();
}

void TRaidTimerData::SetUnreadText(const String& AText) {
  FActivateTime = 0;
  FUnreadText = AText;
}

void TRaidTimerData::Assign(const TRaidTimerData& ASrc) {
  FActivateTime = ASrc.FActivateTime;
  FCount = ASrc.FCount;
  FUnreadText = ASrc.FUnreadText;
}

void TRaidTimerData::DoneAfter(TDateTime AInterval) {
  SetActivateTime(Now() + AInterval);
  ++FCount;  // unsigned: wraps to 0 after 4294967295
}

// ---------------------------------------------------------------------------------------------------
// TCharaData

TCharaData::TCharaData(const String& AName, const std::vector<TDateTime>& ARaidTimerDatas,
                       const std::vector<uint32_t>& ARaidCounts)
    : FName(AName) {
  FRaidTimerDatas.reserve(ARaidTimerDatas.size());
  for (size_t k = 0; k < ARaidTimerDatas.size(); ++k)
    FRaidTimerDatas.push_back(std::make_unique<TRaidTimerData>(ARaidTimerDatas[k], ARaidCounts[k]));
}

TCharaData::TCharaData(const TCharaData& ASrc) : FName(ASrc.FName) {
  FRaidTimerDatas.reserve(ASrc.FRaidTimerDatas.size());
  for (const auto& timer : ASrc.FRaidTimerDatas) {
    FRaidTimerDatas.push_back(std::make_unique<TRaidTimerData>(0, 0));
    FRaidTimerDatas.back()->Assign(*timer);
  }
}

TCharaData::~TCharaData() {
  while (!FRaidTimerDatas.empty()) FRaidTimerDatas.pop_back();
}

void TCharaData::AddRaid() {
  FRaidTimerDatas.push_back(std::make_unique<TRaidTimerData>(0, 0));
}

void TCharaData::DelRaid(int index) {
  FRaidTimerDatas.erase(FRaidTimerDatas.begin() + index);
}

void TCharaData::SwapRaid(int i, int j) {
  std::swap(FRaidTimerDatas[i], FRaidTimerDatas[j]);
}

void TCharaData::MoveRaid(int FromIdx, int ToIdx) {
  MoveItem(FRaidTimerDatas, FromIdx, ToIdx);
}

void TCharaData::CopyFrom(const TCharaData& ASrc) {
  FName = ASrc.FName;
  if (RaidCount() != ASrc.RaidCount()) return;
  for (size_t k = 0; k < FRaidTimerDatas.size(); ++k) FRaidTimerDatas[k]->Assign(*ASrc.FRaidTimerDatas[k]);
}

// ---------------------------------------------------------------------------------------------------
// TKestrum: roster commands

TKestrum::~TKestrum() {
  Clear();
}

void TKestrum::Clear() {
  for (auto& chara : FCharaDatas) chara.reset();
  FCharaDatas.clear();
  FRaidNames.clear();
}

int TKestrum::SetDefaultRaids() {
  FRaidNames = {u"VoN",    u"TF", u"DQ",  u"RF",   u"AA",  u"13",   u"HoX",  u"VoD", u"ToD",
                u"Chrono", u"MA", u"LoB", u"CitW", u"FoT", u"FoTP", u"TotD", u"MoD", u"DotJ"};
  return static_cast<int>(FRaidNames.size());
}

bool SameRaidKey(std::u16string_view a, std::u16string_view b) {
  return SameTextAscii(Trim(a), Trim(b));
}

void TKestrum::CheckRaidNameIsFree(const String& AName, int AExceptIdx) const {
  for (int k = 0; k < RaidCount(); ++k) {
    if (k != AExceptIdx && SameRaidKey(FRaidNames[k], AName))
      throw ERTDError(u"同名のレイドが存在します: \"" + FRaidNames[k] + u"\"");
  }
}

void TKestrum::AddRaid(const String& ARaidName) {
  CheckRaidNameIsFree(ARaidName, -1);
  FRaidNames.push_back(ARaidName);
  for (auto& chara : FCharaDatas) chara->AddRaid();
  Save();
}

void TKestrum::DelRaid(int index) {
  for (auto& chara : FCharaDatas) chara->DelRaid(index);
  FRaidNames.erase(FRaidNames.begin() + index);
  Save();
}

void TKestrum::RenameRaid(int index, const String& ANewName) {
  CheckRaidNameIsFree(ANewName, index);
  FRaidNames[index] = ANewName;
  Save();
}

void TKestrum::SwapRaid(int i, int j) {
  std::swap(FRaidNames[i], FRaidNames[j]);
  for (auto& chara : FCharaDatas) chara->SwapRaid(i, j);
  Save();
}

void TKestrum::MoveRaid(int FromIdx, int ToIdx) {
  MoveItem(FRaidNames, FromIdx, ToIdx);
  for (auto& chara : FCharaDatas) chara->MoveRaid(FromIdx, ToIdx);
  Save();
}

void TKestrum::AddChara(const String& AName) {
  const std::vector<TDateTime> times(FRaidNames.size(), 0);
  const std::vector<uint32_t> counts(FRaidNames.size(), 0);
  FCharaDatas.push_back(std::make_unique<TCharaData>(AName, times, counts));
  Save();
}

void TKestrum::DelChara(int index) {
  FCharaDatas.erase(FCharaDatas.begin() + index);
  Save();
}

void TKestrum::RenameChara(int index, const String& ANewName) {
  FCharaDatas[index]->SetName(ANewName);
  Save();
}

void TKestrum::SwapChara(int i, int j) {
  std::swap(FCharaDatas[i], FCharaDatas[j]);
  Save();
}

void TKestrum::MoveChara(int FromIdx, int ToIdx) {
  MoveItem(FCharaDatas, FromIdx, ToIdx);
}

// ---------------------------------------------------------------------------------------------------
// TKestrum: data file

void TUnreadReport::Add(TUnreadReason AReason) {
  if (std::find(Reasons.begin(), Reasons.end(), AReason) == Reasons.end()) Reasons.push_back(AReason);
}

void TKestrum::Load() {
  const String path = GetDataFileName();
  const int64_t fileBytes = FileSize(path);
  RefuseOversizedFile(path, fileBytes);
  Clear();
  const String earlierCopy = std::exchange(FUnread, {}).KeptFile;
  {
    const TVoMemIniFile ini(path);
    if (ini.Unread().UndecodedBytes) FUnread.Add(TUnreadReason::NoText);
    if (ini.Unread().DroppedLines > 0) FUnread.Add(TUnreadReason::DroppedLines);
    const size_t keyCount = ini.KeyCount();
    LoadRaidNames(ini, keyCount);
    LoadCharas(ini, fileBytes);
  }
  KeepUnreadFile(path, earlierCopy);
}

void TKestrum::LoadRaidNames(const TVoMemIniFile& Ini, size_t AKeyCount) {
  const int32_t promised = ReadCount(Ini, kRaidSection, kCountKey, FUnread);
  // A damaged count must not make us build millions of rows: the raids end at the last name key
  // below the count, and a name key is only believed below the number of keys the whole file holds.
  // Key names are unique in a section and an index has one form, so each index is met once and
  // needs counting only, not keeping: a hostile file holds millions.
  int64_t named = 0;
  int32_t raidCount = 0;
  bool cut = false;
  Ini.ForEachKeyName(kRaidSection, [&](std::u16string_view text) {
    const std::optional<int32_t> index = ParseIndex(text);
    if (!index || *index >= promised) return;
    ++named;
    if (static_cast<size_t>(*index) < AKeyCount)
      raidCount = std::max(raidCount, *index + 1);
    else
      cut = true;
  });
  if (named < promised) FUnread.Add(TUnreadReason::MissingRaidNames);
  if (cut) FUnread.Add(TUnreadReason::CutByBounds);
  if (raidCount < 1) {
    SetDefaultRaids();
    return;
  }
  FRaidNames.reserve(raidCount);
  for (int32_t k = 0; k < raidCount; ++k)
    FRaidNames.push_back(Ini.ReadString(kRaidSection, IntToStr(k), u""));
}

void TKestrum::LoadCharas(const TVoMemIniFile& Ini, int64_t AFileBytes) {
  const int32_t raidCount = RaidCount();
  // Every character and timer costs memory however few bytes of the file stand for it: a few thousand
  // raid names and character sections must not build a billion timers, nor millions of bare
  // character sections millions of characters. Characters beyond the budget are not loaded.
  const int64_t budget = std::max(kModelBytesPerFileByte * AFileBytes, kMinModelBytes);
  const int64_t perChara = kCharaBytes + static_cast<int64_t>(raidCount) * kTimerBytes;
  const int32_t promised = ReadCount(Ini, kCharaSection, kCountKey, FUnread);
  const std::vector<int32_t> held = CharaIndicesHeld(Ini, promised);
  if (static_cast<int64_t>(held.size()) < promised) FUnread.Add(TUnreadReason::MissingCharacters);
  for (int32_t i : held) {
    if (static_cast<int64_t>(FCharaDatas.size() + 1) * perChara > budget) {
      FUnread.Add(TUnreadReason::CutByBounds);
      break;
    }
    const String section = CharaSection(i);
    const String name = Ini.ReadString(section, kNameKey, u"");
    if (name.empty()) {
      FUnread.Add(TUnreadReason::MissingCharacters);
      continue;
    }
    std::vector<uint32_t> counts(raidCount);
    for (int32_t k = 0; k < raidCount; ++k)
      counts[k] = static_cast<uint32_t>(ReadCount(Ini, section, FRaidNames[k] + kCountSuffix, FUnread));
    auto chara = std::make_unique<TCharaData>(name, std::vector<TDateTime>(raidCount, 0), counts);
    for (int32_t k = 0; k < raidCount; ++k)
      ReadActivateTime(Ini, section, FRaidNames[k], *chara->GetRaidTimerDatas(k));
    FCharaDatas.push_back(std::move(chara));
  }
}

// The next save would replace the file with only what was read of it, so the file is kept as it was.
// A copy of the same bytes that an earlier load made (before a failed save rolled back) serves again.
void TKestrum::KeepUnreadFile(const String& APath, const String& AEarlierCopy) {
  if (FUnread.Whole()) return;
  try {
    const std::string bytes = ReadFileBytes(APath);
    if (!AEarlierCopy.empty() && FileExists(AEarlierCopy) && ReadFileBytes(AEarlierCopy) == bytes)
      FUnread.KeptFile = AEarlierCopy;
    else
      FUnread.KeptFile = WriteKeptCopy(APath, bytes);
    FUnread.KeepError.clear();
  } catch (const EFileError& error) {
    FUnread.KeepError = error.Message();
  }
}

void TKestrum::Save() {
  const String path = GetDataFileName();
  ForceFileDir(path);
  const String bak = path + u".bak";
  const String bak2 = path + u".bak2";
  const bool hadFile = FileExists(path);
  // Before anything is copied or written: a file this large holds what no save may replace.
  RefuseOversizedFile(path, FileSize(path));
  bool backupMade = false;
  try {
    if (!FUnread.Whole() && FUnread.KeptFile.empty()) {
      KeepUnreadFile(path, String());
      if (FUnread.KeptFile.empty()) throw ERTDError(kCannotKeep + FUnread.KeepError);
    }
    // Copies, not a rename: a crash at any moment must still find a complete backup.
    if (FileExists(bak2)) DeleteFile(bak2);
    if (FileExists(bak)) CopyFileReplacing(bak, bak2);
    backupMade = hadFile && CopyFileReplacing(path, bak);

    if (CharaCount() > 0) CheckRaidKeysAreDistinct(FRaidNames);
    TVoMemIniFile ini(path);
    ini.WriteInteger(kRaidSection, kCountKey, RaidCount());
    for (int32_t k = 0; k < RaidCount(); ++k) ini.WriteString(kRaidSection, IntToStr(k), FRaidNames[k]);
    ini.WriteInteger(kCharaSection, kCountKey, CharaCount());
    for (int32_t i = 0; i < CharaCount(); ++i) {
      const String section = CharaSection(i);
      const TCharaData& chara = *FCharaDatas[i];
      ini.WriteString(section, kNameKey, chara.Name());
      for (int32_t k = 0; k < RaidCount(); ++k) {
        const TRaidTimerData& timer = *chara.GetRaidTimerDatas(k);
        ini.WriteString(section, FRaidNames[k],
                        timer.HasUnreadText() ? timer.UnreadText() : DateTimeToStr(timer.ActivateTime()));
        ini.WriteInteger(section, FRaidNames[k] + kCountSuffix, static_cast<int32_t>(timer.Count()));
      }
    }
    ini.UpdateFile();

    if (FileExists(bak2)) DeleteFile(bak2);
  } catch (const Exception& e) {
    // The file is written atomically, so when no backup of it was made it still holds what it held
    // before; copying an older backup over it would lose the last good save. A file this save
    // created from nothing is removed.
    if (backupMade)
      CopyFileReplacing(bak, path);
    else if (!hadFile)
      DeleteFile(path);
    // Renaming needs no free space: on a full disk a copy would fail and the backup would be lost.
    if (FileExists(bak2)) RenameFile(bak2, bak);
    Load();
    throw ERTDSaveError(e.Message());
  }
}

}  // namespace kestrum
