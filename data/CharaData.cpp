#include "data/CharaData.h"

#include <utility>

#include "data/ListMove.h"

namespace kestrum {

// ---------------------------------------------------------------------------------------------------
// TRaidTimerData

const TDateTime TRaidTimerData::LockOutLength = 3 * EncodeTime(22, 0, 0, 0);

TRaidTimerData::TRaidTimerData(TDateTime AnActivateTime, uint32_t ACount)
    : FActivateTime(AnActivateTime), FCount(ACount) {}

const String& TRaidTimerData::UnreadText() const {
  static const String none;
  return FUnreadText ? *FUnreadText : none;
}

// Real moments are compared, so that the end keeps its place when the clocks change in between.
bool TRaidTimerData::Enabled() const {
  return FActivateTime == 0 || RealSpan(FActivateTime, Now()) >= 0;
}

void TRaidTimerData::Done() {
  DoneAfter(LockOutLength);
}

void TRaidTimerData::SetActivateTime(TDateTime value) {
  FActivateTime = value;
  FUnreadText.reset();
}

void TRaidTimerData::SetUnreadText(const String& AText) {
  FActivateTime = 0;
  FUnreadText = AText.empty() ? nullptr : std::make_unique<String>(AText);
}

void TRaidTimerData::Assign(const TRaidTimerData& ASrc) {
  FActivateTime = ASrc.FActivateTime;
  FCount = ASrc.FCount;
  FUnreadText = ASrc.FUnreadText ? std::make_unique<String>(*ASrc.FUnreadText) : nullptr;
}

// AInterval is real time; the end is kept as the local clock will show it then.
void TRaidTimerData::DoneAfter(TDateTime AInterval) {
  SetActivateTime(AfterRealSpan(Now(), AInterval));
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

}  // namespace kestrum
