// Any bytes as raid.dat: loading never crashes or throws, every raid name it gives can be stored (odd
// ones are renamed), and saving writes the roster so that loading gives it back, with the old file
// kept as the backup. Nothing that loading could not read is lost: either the load reads the file
// whole, or the file's bytes are kept beside it, once, before the first save. The first input byte
// picks the regional date format.
//
// Allowed differences, all documented behaviour of the file: fractions of a second are not written;
// and a name that the file cannot hold as it is (control characters at its ends without a space to
// make it quoted) changes on the first round trip, after which the roster must stay as it is.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "base/Files.h"
#include "base/TextCodec.h"
#include "data/Kestrum.h"
#include "data/shhlpr.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/RosterModel.h"
#include "tests/support/ScratchFolder.h"

namespace kestrum {
namespace {

using test::Describe;
using test::LoadedModel;
using test::ModelOf;
using test::TCharaModel;
using test::TRosterModel;

// A name the file keeps exactly: a value with a space or a double quote is stored quoted, any other
// is trimmed by the next load.
bool SurvivesFile(const String& text) {
  const bool quoted = text.find_first_of(u" \"") != String::npos;
  return quoted || Trim(text) == text;
}

bool AllNamesSurviveFile(const TRosterModel& model) {
  for (const String& raid : model.Raids)
    if (!SurvivesFile(raid)) return false;
  for (const TCharaModel& chara : model.Charas)
    if (!SurvivesFile(chara.Name)) return false;
  return true;
}

bool SameToTheSecond(TDateTime a, TDateTime b) {
  return DateTimeToStr(a) == DateTimeToStr(b) && std::fabs(a - b) < 1.0 / 86400;
}

// The roster read back after saving `before`: names and counts exact, times to the second.
bool SameAfterRoundTrip(const TRosterModel& before, const TRosterModel& after) {
  if (before.Raids != after.Raids || before.Charas.size() != after.Charas.size()) return false;
  for (size_t i = 0; i < before.Charas.size(); ++i) {
    const TCharaModel& a = before.Charas[i];
    const TCharaModel& b = after.Charas[i];
    if (a.Name != b.Name || a.Timers.size() != b.Timers.size()) return false;
    for (size_t k = 0; k < a.Timers.size(); ++k) {
      if (a.Timers[k].Count != b.Timers[k].Count || !SameToTheSecond(a.Timers[k].Time, b.Timers[k].Time))
        return false;
    }
  }
  return true;
}

const std::vector<TFormatSettings>& DateFormats() {
  static const std::vector<TFormatSettings> formats = {
      {u"yyyy/mm/dd", u"h:nn:ss", u'/', u':'},
      {u"mm/dd/yyyy", u"hh:nn:ss", u'/', u':'},
  };
  return formats;
}

class TDataFolder final {
 public:
  TDataFolder() {
    setenv("XDG_DATA_HOME", scratch_.Path().c_str(), 1);
    path_ = GetDataFileName();
    ForceDirectories(ExtractFileDir(path_));
  }
  const String& Path() const { return path_; }
  String Bak() const { return path_ + u".bak"; }
  String Bak2() const { return path_ + u".bak2"; }
  std::filesystem::path Folder() const { return std::filesystem::path(ToUtf8(path_)).parent_path(); }
  std::vector<std::string> Names() const { return test::FolderListing(Folder()); }
  std::string Bytes(const String& file) const { return FileExists(file) ? ReadFileBytes(file) : "<none>"; }

  // Only the data file, its backup and the copy kept of an unread file: no second backup, no
  // temporary file left behind.
  void CheckNoStrayFiles(const String& keptFile) const {
    const std::string kept = std::filesystem::path(ToUtf8(keptFile)).filename().string();
    for (const std::string& name : Names()) {
      fuzz::Check(name == "raid.dat" || name == "raid.dat.bak" || (!keptFile.empty() && name == kept),
                  "a stray file is left beside raid.dat", name);
    }
  }

  // Copies kept by the input before: their names come from the clock, which may not have moved on.
  void RemoveKeptCopies() const {
    for (const std::string& name : Names())
      if (name.starts_with("raid.dat.unread-")) std::filesystem::remove(Folder() / name);
  }

  // Either the load read the file whole, or exactly one copy of its bytes lies beside it.
  void CheckUnreadIsKept(const TUnreadReport& unread, const std::string& input) const {
    size_t copies = 0;
    for (const std::string& name : Names()) copies += name.starts_with("raid.dat.unread-") ? 1 : 0;
    if (unread.Whole()) {
      fuzz::Check(copies == 0, "a file read whole was copied");
      return;
    }
    fuzz::Check(copies == 1, "an unread file is not kept exactly once", std::to_string(copies));
    fuzz::Check(Bytes(unread.KeptFile) == input, "the kept copy does not hold the file's bytes");
  }

 private:
  test::TScratchFolder scratch_{"kestrum-fuzz-"};
  String path_;
};

const TDataFolder& Folder() {
  static const TDataFolder folder;
  return folder;
}

const std::string kOlderBackup = "[RAID]\r\nCOUNT=1\r\n0=older backup\r\n";

}  // namespace
}  // namespace kestrum

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrum;
  if (size < 1) return -1;
  SetFormatSettings(DateFormats()[data[0] % DateFormats().size()]);
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const TDataFolder& folder = Folder();
  folder.RemoveKeptCopies();
  WriteFileAtomic(folder.Path(), input);
  WriteFileAtomic(folder.Bak(), kOlderBackup);
  DeleteFile(folder.Bak2());

  TKestrum roster;
  roster.Load();
  const TRosterModel first = ModelOf(roster);
  const TUnreadReport unread = roster.UnreadReport();
  fuzz::Check(folder.Bytes(folder.Path()) == input, "loading changed raid.dat");
  folder.CheckUnreadIsKept(unread, input);
  const TDecodedText decoded = DecodeText(input);
  if (unread.Whole())
    fuzz::Check(decoded.Whole && FromUtf8(ToUtf8(decoded.Text)) == decoded.Text,
                "a load that left text out says it read the file whole");

  for (const TRaidNameProblem problem : RaidNameProblems(first.Raids))
    fuzz::Check(problem == TRaidNameProblem::None, "a loaded raid name cannot be stored");
  fuzz::Check(unread.RenamedRaids.empty() || !unread.Whole(), "renamed raids without the file kept");

  try {
    roster.Save();
  } catch (const ERTDSaveError& error) {
    fuzz::Fail("a loaded file does not save again", error.what());
  }
  fuzz::Check(folder.Bytes(folder.Bak()) == input, "raid.dat.bak does not hold the file before the save");
  folder.CheckNoStrayFiles(unread.KeptFile);
  if (!unread.Whole()) fuzz::Check(folder.Bytes(unread.KeptFile) == input, "saving changed the kept copy");

  TKestrum second;
  second.Load();
  fuzz::Check(second.UnreadReport().Whole(), "a file we wrote is not read whole");
  const TRosterModel secondModel = ModelOf(second);
  const bool exact = AllNamesSurviveFile(first) && unread.Whole();
  if (exact && !SameAfterRoundTrip(first, secondModel))
    fuzz::Fail("save and load changed the roster",
               "before:\n" + Describe(first) + "after:\n" + Describe(secondModel));

  try {
    second.Save();
  } catch (const ERTDSaveError& error) {
    fuzz::Fail("a roster loaded from a saved file cannot be saved", error.what());
  }
  const TRosterModel third = LoadedModel();
  if (third != secondModel)
    fuzz::Fail("the roster is not stable after one save",
               "second:\n" + Describe(secondModel) + "third:\n" + Describe(third));
  return 0;
}
