#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/DateTime.h"
#include "base/Exception.h"
#include "base/Strings.h"

namespace kestrum {

class TVoMemIniFile;

// One character's timer for one raid: when the 66-hour lock-out ends and how often the raid was run.
class TRaidTimerData {
 public:
  TRaidTimerData(TDateTime AnActivateTime, uint32_t ACount);
  virtual ~TRaidTimerData() = default;
  TRaidTimerData(const TRaidTimerData&) = delete;
  TRaidTimerData& operator=(const TRaidTimerData&) = delete;

  TDateTime ActivateTime() const { return FActivateTime; }
  // A new moment replaces a date text kept unread.
  void SetActivateTime(TDateTime value);
  uint32_t Count() const { return FCount; }
  void SetCount(uint32_t value) { FCount = value; }

  // A stored date text that no known format reads. The timer runs as "no lock-out" meanwhile, and
  // saving writes the text back as it was, until a run is recorded or the moment is set anew.
  const String& UnreadText() const { return FUnreadText; }
  bool HasUnreadText() const { return !FUnreadText.empty(); }
  // Keeps AText unread (an empty one keeps nothing) and clears the moment.
  void SetUnreadText(const String& AText);
  // Takes over moment, count and unread text.
  void Assign(const TRaidTimerData& ASrc);

  // True when the raid can be entered now: no lock-out recorded, or its end has come.
  bool Enabled() const;
  // Records a run: the lock-out runs 66 hours from now and the count goes up by one (wrapping).
  virtual void Done();

  // 66 hours, formed as three times 22:00:00.
  static const TDateTime LockOutLength;

 private:
  void DoneAfter(TDateTime AInterval);

  uint32_t FCount;
  TDateTime FActivateTime;
  String FUnreadText;
};

// A character: its name and one timer per raid of the roster, in the roster's raid order.
class TCharaData {
 public:
  TCharaData(const String& AName, const std::vector<TDateTime>& ARaidTimerDatas,
             const std::vector<uint32_t>& ARaidCounts);
  // A deep copy: no timer object is shared with ASrc.
  explicit TCharaData(const TCharaData& ASrc);
  virtual ~TCharaData();
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

using TRaidNames = std::vector<String>;

// Raid names are the keys of every character's timers, and the data file compares keys trimmed and
// without regard to ASCII case: two names equal in that way would share one stored timer.
bool SameRaidKey(std::u16string_view a, std::u16string_view b);
using TCharaNames = std::vector<String>;
using TCharaDatas = std::vector<std::unique_ptr<TCharaData>>;

class ERTDError : public Exception {
 public:
  using Exception::Exception;
};

// Writing the data file failed; the file and the roster have been put back to the last good save.
class ERTDSaveError : public ERTDError {
 public:
  using ERTDError::ERTDError;
};

// Why Load could not read the whole data file.
enum class TUnreadReason {
  NoText,             // bytes that are no text in the file's encoding
  DroppedLines,       // lines the INI syntax has no place for, or whose content a later line replaced
  MissingRaidNames,   // "RAID" "COUNT" promises more raid names than the file has
  MissingCharacters,  // "CHARA" "COUNT" promises more characters than the file has
  UnreadNumbers,      // counts that are no number
  CutByBounds,        // raid names or characters beyond what a file of its size can stand for
};

// What the last Load could not read of the data file. A save writes back only what was read, so
// Load keeps the file as it was beside it before any save can replace it.
struct TUnreadReport {
  std::vector<TUnreadReason> Reasons;  // none when the file was read whole
  String KeptFile;                     // the copy of the file as it was
  String KeepError;                    // why no copy could be made; saving waits until one is

  bool Whole() const { return Reasons.empty(); }
  void Add(TUnreadReason AReason);
};

// The largest data file Load reads and Save replaces: six times a roster of 200 characters by 100
// raids. Bigger files are no roster this program wrote; reading one would cost time and memory out of
// proportion, and saving over it would lose what it holds.
inline constexpr size_t kMaxDataFileBytes = 8 * 1024 * 1024;

// The roster: raids (grid rows) and characters (grid columns), kept in step and saved after each change.
class TKestrum {
 public:
  TKestrum() = default;
  virtual ~TKestrum();
  TKestrum(const TKestrum&) = delete;
  TKestrum& operator=(const TKestrum&) = delete;

  int32_t RaidCount() const { return static_cast<int32_t>(FRaidNames.size()); }
  int32_t CharaCount() const { return static_cast<int32_t>(FCharaDatas.size()); }
  String GetRaidNames(int index) const { return FRaidNames[index]; }
  TCharaData* GetCharaDatas(int index) const { return FCharaDatas[index].get(); }
  const TRaidNames& RaidNameAry() const { return FRaidNames; }
  const TCharaDatas& CharaDataAry() const { return FCharaDatas; }

  // Replaces the roster with the data file's content. When it cannot read all of it, it keeps the
  // file as it was under a new name beside it (see UnreadReport).
  void Load();
  // Writes the roster with backup rotation; on failure restores the file, reloads and throws ERTDSaveError.
  // A file that Load could not read whole is not replaced until a copy of it is kept.
  void Save();
  const TUnreadReport& UnreadReport() const { return FUnread; }

  // Both throw ERTDError, changing nothing, when the name is another raid's key (SameRaidKey).
  void AddRaid(const String& ARaidName);
  void DelRaid(int index);
  void RenameRaid(int index, const String& ANewName);
  void SwapRaid(int i, int j);
  void MoveRaid(int FromIdx, int ToIdx);
  void AddChara(const String& AName);
  void DelChara(int index);
  void RenameChara(int index, const String& ANewName);
  void SwapChara(int i, int j);
  // The one command that does not save: its caller saves right after it.
  void MoveChara(int FromIdx, int ToIdx);

 private:
  int SetDefaultRaids();
  void Clear();
  void CheckRaidNameIsFree(const String& AName, int AExceptIdx) const;
  void LoadRaidNames(const TVoMemIniFile& Ini, size_t AKeyCount);
  void LoadCharas(const TVoMemIniFile& Ini, int64_t AFileBytes);
  void KeepUnreadFile(const String& APath, const String& AEarlierCopy);

  TRaidNames FRaidNames;
  TCharaDatas FCharaDatas;
  TUnreadReport FUnread;
};

}  // namespace kestrum
