#pragma once

#include <cstdint>
#include <optional>

#include "base/Strings.h"
#include "data/CharaData.h"
#include "data/DataFile.h"

namespace kestrum {

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
  // A file that Load could not read whole is not replaced until a copy of it is kept. A file that
  // another program changed since the last Load or Save is not replaced at all: Save loads it and
  // throws ERTDChangedOnDisk, so that no change is made to a roster the user has not seen.
  void Save();
  // Whether the data file holds something else than this roster last read or wrote.
  bool ChangedOnDisk() const;
  const TUnreadReport& UnreadReport() const { return FUnread; }

  // AddRaid and RenameRaid throw ERTDError, changing nothing, for a name that cannot be stored beside
  // the others (RaidNameProblem); AddChara and RenameChara for a name that is empty once trimmed.
  void AddRaid(const String& ARaidName);
  void DelRaid(int index);
  // No window command renames or swaps: these two and their Chara twins serve code that edits a roster.
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
  void CheckRaidNameIsStorable(const String& AName, int AExceptIdx) const;

  TRaidNames FRaidNames;
  TCharaDatas FCharaDatas;
  TUnreadReport FUnread;
  std::optional<TContentStamp> FStamp;  // what the file held at the last Load or Save; none: unknown
};

}  // namespace kestrum
