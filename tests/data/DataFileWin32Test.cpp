#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/Strings.h"
#include "data/RaidTimerData.h"
#include "tests/data/DataTestFixture.h"
#include "tests/data/RosterFileSupport.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

using DataFileWin32Test = DataTest;

// Another program (a virus scanner, an editor) holding raid.dat open without sharing it makes
// Windows refuse to replace it.
class FileHeldOpen final {
 public:
  explicit FileHeldOpen(const fs::path& APath)
      : FHandle(
            CreateFileW(APath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~FileHeldOpen() { CloseHandle(FHandle); }
  FileHeldOpen(const FileHeldOpen&) = delete;
  FileHeldOpen& operator=(const FileHeldOpen&) = delete;
  bool Held() const { return FHandle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE FHandle;
};

TEST_F(DataFileWin32Test, SaveThatCannotReplaceTheFileRestoresFileAndBackup) {
  for (int savesBefore : {1, 2}) {
    TempHome home;
    TKestrum roster;
    roster.Load();
    for (int i = 0; i < savesBefore; ++i) roster.AddChara(u"c" + IntToStr(i));
    const fs::path folder = home.AppFolder();
    const std::string file = ReadFileBytes(folder / "raid.dat");
    // Where there was no backup yet, the failed save leaves one with the file's content.
    const std::string backup = savesBefore > 1 ? ReadFileBytes(folder / "raid.dat.bak") : file;

    const FileHeldOpen held(folder / "raid.dat");
    ASSERT_TRUE(held.Held());
    try {
      roster.AddChara(u"new");
      ADD_FAILURE() << savesBefore << ": the save did not fail";
    } catch (const ERTDSaveError& error) {
      EXPECT_NE(ToUtf8(error.Message()).find("raid.dat"), std::string::npos) << savesBefore;
    }
    EXPECT_EQ(roster.CharaCount(), savesBefore) << "the roster is reloaded from the file";
    EXPECT_EQ(FolderListing(folder), (std::vector<std::string>{"raid.dat", "raid.dat.bak"}))
        << savesBefore << ": no second backup and no temporary file";
    EXPECT_EQ(ReadFileBytes(folder / "raid.dat"), file) << savesBefore;
    EXPECT_EQ(ReadFileBytes(folder / "raid.dat.bak"), backup) << savesBefore;
  }
}

TEST_F(DataFileWin32Test, JapaneseNamesAreWrittenInTheAnsiCodePage) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page 932";
  TKestrum roster;
  roster.Load();
  roster.AddChara(u"日本語");
  EXPECT_NE(ReadFileBytes(DataFile()).find("NAME=\x93\xFA\x96\x7B\x8C\xEA\r\n"), std::string::npos);

  TKestrum again;
  again.Load();
  ASSERT_EQ(again.CharaCount(), 1);
  EXPECT_EQ(ToUtf8(again.GetCharaDatas(0)->Name()), "日本語");
}

// Korean is not in code page 932: rather than refuse the save, the whole file is written as UTF-8,
// which reading tries before the code page.
TEST_F(DataFileWin32Test, ANameTheCodePageCannotHoldIsSavedAsUtf8) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page 932";
  TKestrum roster;
  roster.Load();
  roster.AddChara(u"日本語");
  roster.AddChara(u"한글");
  EXPECT_NE(ReadFileBytes(DataFile()).find("NAME=\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\r\n"),
            std::string::npos);

  TKestrum again;
  again.Load();
  ASSERT_EQ(again.CharaCount(), 2);
  EXPECT_EQ(again.GetCharaDatas(0)->Name(), u"日本語");
  EXPECT_EQ(again.GetCharaDatas(1)->Name(), u"한글");
}

}  // namespace
}  // namespace kestrum::test
