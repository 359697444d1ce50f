#include "data/Kestrum.h"

#include <utility>

#include "data/ListMove.h"
#include "data/shhlpr.h"

namespace kestrum {

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

void TKestrum::CheckRaidNameIsStorable(const String& AName, int AExceptIdx) const {
  const TRaidNameProblem problem = RaidNameProblem(AName, FRaidNames, AExceptIdx);
  if (problem != TRaidNameProblem::None) throw ERTDError(RaidNameProblemMessage(problem, AName));
}

namespace {

// A character's name is the value of its "NAME" key; an empty one reads back as no character.
void CheckCharaNameIsStorable(const String& AName) {
  if (Trim(AName).empty()) throw ERTDError(u"キャラクター名が空です");
}

}  // namespace

void TKestrum::AddRaid(const String& ARaidName) {
  CheckRaidNameIsStorable(ARaidName, -1);
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
  CheckRaidNameIsStorable(ANewName, index);
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
  CheckCharaNameIsStorable(AName);
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
  CheckCharaNameIsStorable(ANewName);
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
// Data file

void TKestrum::Load() {
  TDataFileReader file(GetDataFileName());
  Clear();
  file.Open(FUnread);
  FRaidNames = file.ReadRaidNames();
  if (FRaidNames.empty()) SetDefaultRaids();
  FCharaDatas = file.ReadCharas(FRaidNames);
  file.Close();
  FStamp = file.Stamp();
}

bool TKestrum::ChangedOnDisk() const {
  const std::optional<TContentStamp> now = StampOfFile(GetDataFileName());
  return !FStamp || !now || *now != *FStamp;
}

void TKestrum::Save() {
  if (ChangedOnDisk()) {
    Load();
    throw ERTDChangedOnDisk(u"raid.dat が他のプログラムで変更されていたため、読み込み直しました。");
  }
  TDataFileWriter file(GetDataFileName());
  try {
    file.Write(FRaidNames, FCharaDatas, FUnread);
  } catch (const Exception& e) {
    file.RollBack();
    Load();
    throw ERTDSaveError(e.Message());
  }
  FStamp = file.Stamp();
}

}  // namespace kestrum
