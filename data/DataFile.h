#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/ContentStamp.h"
#include "base/Exception.h"
#include "base/Strings.h"
#include "data/CharaData.h"
#include "data/RaidNames.h"

namespace kestrum {

class TVoMemIniFile;

class ERTDError : public Exception {
 public:
  using Exception::Exception;
};

// Writing the data file failed; the file and the roster have been put back to the last good save.
class ERTDSaveError : public ERTDError {
 public:
  using ERTDError::ERTDError;
};

// raid.dat was changed by another program since this one last read or wrote it. Nothing was
// written over it: the roster holds what the file holds now.
class ERTDChangedOnDisk : public ERTDSaveError {
 public:
  using ERTDSaveError::ERTDSaveError;
};

// Why Load could not read the whole data file.
enum class TUnreadReason {
  NoText,             // bytes that are no text in the file's encoding
  DroppedLines,       // lines the INI syntax has no place for, or whose content a later line replaced
  MissingRaidNames,   // "RAID" "COUNT" promises more raid names than the file has
  MissingCharacters,  // "CHARA" "COUNT" promises more characters than the file has
  UnreadNumbers,      // counts that are no number
  CutByBounds,        // raid names or characters beyond what a file of its size can stand for
  RenamedRaids,       // raid names that cannot be stored, or that share a key, were replaced
};

// What the last Load could not read of the data file. A save writes back only what was read, so
// Load keeps the file as it was beside it before any save can replace it.
struct TUnreadReport {
  std::vector<TUnreadReason> Reasons;  // none when the file was read whole
  String KeptFile;                     // the copy of the file as it was
  String KeepError;                    // why no copy could be made; saving waits until one is
  std::vector<TRenamedRaid> RenamedRaids;

  bool Whole() const { return Reasons.empty(); }
  void Add(TUnreadReason AReason);
};

// The largest data file Load reads and Save replaces: six times a roster of 200 characters by 100
// raids. Bigger files are no roster this program wrote; reading one would cost time and memory out of
// proportion, and saving over it would lose what it holds.
inline constexpr size_t kMaxDataFileBytes = size_t{8} * 1024 * 1024;

// One reading of the data file, in the steps a load takes: the size check comes before the roster
// is discarded, then the document is read, the raid names, the characters, and last the copy of a
// file that was not read whole.
class TDataFileReader final {
 public:
  // Throws ERTDError for a file beyond kMaxDataFileBytes; it is neither read nor replaced.
  explicit TDataFileReader(const String& APath);
  ~TDataFileReader();
  TDataFileReader(const TDataFileReader&) = delete;
  TDataFileReader& operator=(const TDataFileReader&) = delete;

  // Reads the file (a missing one gives an empty document). AUnread starts afresh and collects what
  // the reads below cannot take in; it must outlive the reader.
  void Open(TUnreadReport& AUnread);
  // The raid names the file gives; none when it names none below its "RAID" "COUNT". A name that
  // cannot be stored is replaced (see RenameUnstorableRaids), so that the roster saves again.
  TRaidNames ReadRaidNames();
  // The named characters in file order, each with a timer per raid name, as far as the file's size
  // stands for them.
  TCharaDatas ReadCharas(const TRaidNames& ARaidNames);
  // Frees the document, and keeps a copy of a file that was not read whole.
  void Close();
  // What the file held as Open read it.
  const TContentStamp& Stamp() const { return FStamp; }

 private:
  String FPath;
  std::unique_ptr<TVoMemIniFile> FIni;
  TUnreadReport* FUnread = nullptr;
  TContentStamp FStamp;
};

// One save of the roster into the data file: backup rotation, the write, and the rollback of both
// when either fails.
class TDataFileWriter final {
 public:
  // Creates the folders on the way to APath. Throws ERTDError, before anything is copied or
  // written, for a file beyond kMaxDataFileBytes.
  explicit TDataFileWriter(const String& APath);

  // Rotates the backups and writes the roster. A file that the last load could not read whole is
  // first kept as it was (AUnread then names the copy); without a copy nothing is written.
  void Write(const TRaidNames& ARaidNames, const TCharaDatas& ACharaDatas, TUnreadReport& AUnread);
  // After a failed Write: puts the data file and its backup back as they were before it.
  void RollBack();
  // What the file holds after a Write.
  const TContentStamp& Stamp() const { return FStamp; }

 private:
  String FPath;
  String FBak;
  String FBak2;
  bool FHadFile;
  bool FBackupMade = false;
  TContentStamp FStamp;
};

}  // namespace kestrum
