#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/DateTime.h"
#include "base/Strings.h"

namespace kestrum {

// One character's timer for one raid: when the 66-hour lock-out ends and how often the raid was run.
class TRaidTimerData {
 public:
  TRaidTimerData(TDateTime AnActivateTime, uint32_t ACount);
  TRaidTimerData(const TRaidTimerData&) = delete;
  TRaidTimerData& operator=(const TRaidTimerData&) = delete;

  TDateTime ActivateTime() const { return FActivateTime; }
  // A new moment replaces a date text kept unread.
  void SetActivateTime(TDateTime value);
  uint32_t Count() const { return FCount; }
  void SetCount(uint32_t value) { FCount = value; }

  // A stored date text that no known format reads. The timer runs as "no lock-out" meanwhile, and
  // saving writes the text back as it was, until a run is recorded or the moment is set anew.
  const String& UnreadText() const;
  bool HasUnreadText() const { return FUnreadText != nullptr; }
  // Keeps AText unread (an empty one keeps nothing) and clears the moment.
  void SetUnreadText(const String& AText);
  // Takes over moment, count and unread text.
  void Assign(const TRaidTimerData& ASrc);

  // True when the raid can be entered now: no lock-out recorded, or its end has come.
  bool Enabled() const;
  // Records a run: the lock-out runs 66 real hours from now and the count goes up by one (wrapping).
  void Done();

  // 66 hours, formed as three times 22:00:00.
  static const TDateTime LockOutLength;

 private:
  void DoneAfter(TDateTime AInterval);

  // A roster holds a timer per character and raid, so a timer is kept small: the rare unread text
  // lives in a block of its own, null when there is none.
  TDateTime FActivateTime;
  uint32_t FCount;
  std::unique_ptr<String> FUnreadText;
};

// A character: its name and one timer per raid of the roster, in the roster's raid order.
class TCharaData {
 public:
  TCharaData(const String& AName, const std::vector<TDateTime>& ARaidTimerDatas,
             const std::vector<uint32_t>& ARaidCounts);
  // A deep copy: no timer object is shared with ASrc.
  explicit TCharaData(const TCharaData& ASrc);
  ~TCharaData();
  TCharaData& operator=(const TCharaData&) = delete;

  const String& Name() const { return FName; }
  void SetName(const String& value) { FName = value; }
  int32_t RaidCount() const { return static_cast<int32_t>(FRaidTimerDatas.size()); }
  // The timer itself, not a copy; the character keeps owning it.
  TRaidTimerData* GetRaidTimerDatas(int index) const { return FRaidTimerDatas[index].get(); }

  void AddRaid();
  void DelRaid(int index);
  void SwapRaid(int i, int j);
  void MoveRaid(int FromIdx, int ToIdx);
  // Takes over the name, and the timer values when the raid counts match (timer objects stay the same).
  void CopyFrom(const TCharaData& ASrc);

 private:
  String FName;
  std::vector<std::unique_ptr<TRaidTimerData>> FRaidTimerDatas;
};

// The lists a roster is made of.
using TRaidNames = std::vector<String>;
using TCharaNames = std::vector<String>;
using TCharaDatas = std::vector<std::unique_ptr<TCharaData>>;

}  // namespace kestrum
