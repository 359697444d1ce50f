#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/Strings.h"
#include "data/RaidTimerData.h"
#include "tests/data/DataTestFixture.h"
#include "tests/data/RosterFileSupport.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/RosterModel.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

using DataFileTest = DataTest;

// Runs AddChara in a child process whose files may not grow beyond the data file's present size
// (plus a little), so the new content cannot be written. Returns the error message, or a note
// starting with "!" when the child saw something else.
std::string AddCharaWithFileSizeLimit(rlim_t limit) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return "!pipe";
  const pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    const TFileSizeLimit full(limit);
    std::string report;
    TKestrum roster;
    roster.Load();
    const int before = roster.CharaCount();
    try {
      roster.AddChara(String(200, u'n'));
      report = "!no error";
    } catch (const ERTDSaveError& e) {
      report = roster.CharaCount() == before ? ToUtf8(e.Message()) : "!roster not reloaded";
    } catch (const std::exception& e) {
      report = std::string("!other error: ") + e.what();
    }
    (void)!write(pipeFds[1], report.data(), report.size());
    _exit(0);
  }
  close(pipeFds[1]);
  std::string report;
  char buffer[512];
  ssize_t n;
  while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) report.append(buffer, static_cast<size_t>(n));
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "!child died";
  return report;
}

TEST_F(DataFileTest, SaveThatCannotWriteRestoresFileAndBackup) {
  struct Case {
    const char* what;
    int savesBefore;
    std::vector<std::string> files;
  };
  const Case cases[] = {
      {"first save", 0, {}},
      {"second save", 1, {"raid.dat", "raid.dat.bak"}},
      {"later save", 2, {"raid.dat", "raid.dat.bak"}},
  };
  for (const Case& c : cases) {
    TempHome home;
    TKestrum roster;
    roster.Load();
    for (int i = 0; i < c.savesBefore; ++i) roster.AddChara(u"c" + IntToStr(i));
    const fs::path folder = home.AppFolder();
    const std::string file = ReadFileBytes(folder / "raid.dat");
    // Where there was no backup yet, the failed save leaves one with the file's content.
    const std::string backup = c.savesBefore > 1 ? ReadFileBytes(folder / "raid.dat.bak") : file;

    const std::string message = AddCharaWithFileSizeLimit(file.size() + 16);
    EXPECT_FALSE(message.empty()) << c.what;
    EXPECT_NE(message[0], '!') << c.what << ": " << message;
    EXPECT_NE(message.find("raid.dat"), std::string::npos) << c.what << ": the message names the file";
    EXPECT_EQ(FolderListing(folder), c.files) << c.what << ": no second backup and no temporary file";
    EXPECT_EQ(ReadFileBytes(folder / "raid.dat"), file) << c.what;
    EXPECT_EQ(ReadFileBytes(folder / "raid.dat.bak"), backup) << c.what;
  }
}

// When the old backup cannot be moved aside (a folder is in the way of ".bak2") and no new backup
// can be made, the data file itself was never touched: the rollback must not put the older backup
// over it.
TEST_F(DataFileTest, SaveThatCannotRefreshTheBackupKeepsTheLastSave) {
  TKestrum roster;
  roster.Load();
  roster.AddChara(u"c0");
  roster.AddChara(u"c1");
  const std::string file = ReadFileBytes(DataFile());
  const std::string backup = ReadFileBytes(Backup());
  fs::create_directories(Backup2() / "in the way");

  const std::string message = AddCharaWithFileSizeLimit(backup.size() + 16);
  EXPECT_FALSE(message.empty());
  EXPECT_NE(message[0], '!') << message;
  EXPECT_EQ(ReadFileBytes(DataFile()), file);
  EXPECT_EQ(ReadFileBytes(Backup()), backup);
  EXPECT_EQ(LoadedModel().Charas.size(), 2u);
}

// A raid.dat its owner may not write (by its mode, so for root too), itself or behind a link, is
// never replaced: the save fails naming the file, and file, backup and roster stay as they were.
TEST_F(DataFileTest, SaveOverAReadOnlyFileRollsBack) {
  struct Case {
    const char* shape;
    bool link;  // raid.dat is a link to the read-only file
  };
  const Case cases[] = {{"read-only raid.dat", false}, {"link to a read-only raid.dat", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    TempHome home;
    const fs::path file = home.AppFolder() / "raid.dat";
    const fs::path backupFile = home.AppFolder() / "raid.dat.bak";
    TKestrum roster;
    roster.Load();
    roster.AddChara(u"c0");
    roster.AddChara(u"c1");
    fs::path holder = file;
    if (c.link) {
      holder = home.Root() / "synced.dat";
      fs::rename(file, holder);
      fs::create_symlink(holder, file);
    }
    chmod(holder.c_str(), 0444);
    const std::vector<std::string> files = FolderListing(home.AppFolder());
    const std::string before = ReadFileBytes(holder);
    const std::string backup = ReadFileBytes(backupFile);

    try {
      roster.AddChara(u"c2");
      ADD_FAILURE() << "the save did not fail";
    } catch (const ERTDSaveError& e) {
      const std::string message = ToUtf8(e.Message());
      EXPECT_NE(message.find("\"" + file.string() + "\""), std::string::npos) << message;
      EXPECT_NE(message.find("read-only"), std::string::npos) << message;
    }
    EXPECT_EQ(roster.CharaCount(), 2) << "the roster was not reloaded";
    EXPECT_EQ(FolderListing(home.AppFolder()), files) << "no second backup and no temporary file";
    EXPECT_EQ(ReadFileBytes(holder), before);
    EXPECT_EQ(ReadFileBytes(backupFile), backup);
    EXPECT_EQ(fs::is_symlink(file), c.link);
  }
}

// raid.dat a link into a sync folder that is not mounted: every save fails and names the target,
// and the link stays a link rather than being replaced by a local file.
TEST_F(DataFileTest, SaveThroughALinkIntoAMissingFolderFailsAndKeepsTheLink) {
  TempHome home;
  const fs::path file = home.AppFolder() / "raid.dat";
  const fs::path target = home.Root() / "unmounted" / "raid.dat";
  fs::create_directories(home.AppFolder());
  fs::create_symlink(target, file);
  TKestrum roster;
  roster.Load();
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    try {
      roster.AddChara(u"c0");
      ADD_FAILURE() << "the save did not fail";
    } catch (const ERTDSaveError& e) {
      const std::string message = ToUtf8(e.Message());
      EXPECT_NE(message.find(target.string()), std::string::npos) << message;
    }
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(fs::read_symlink(file), target);
    EXPECT_FALSE(fs::exists(target.parent_path()));
  }
}

}  // namespace
}  // namespace kestrum::test
