#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "base/Files.h"
#include "data/shhlpr.h"
#include "tests/support/TempHome.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

using FileLocationWin32Test = TempHomeTest;

// The test prefix's shell folder is %KESTRUM_TEST_APPDATA%: a folder that does not exist is one
// the shell cannot give.
TEST_F(FileLocationWin32Test, FilesLiveInTheShellsAppDataFolderElseBesideTheProgram) {
  const String appData(home_.DataHome().u16string());
  struct Case {
    const char* what;
    fs::path shellFolder;
    String appData;     // empty: the shell gave none
    String fileFolder;  // where raid.dat and cfg.ini are
  };
  const Case cases[] = {
      {"the user's folder", home_.DataHome(), appData, appData + u"\\Brasswick\\Kestrum\\"},
      {"no such folder", home_.Root() / "missing", u"", ProgramFolder()},
  };
  for (const Case& c : cases) {
    _putenv_s("KESTRUM_TEST_APPDATA", c.shellFolder.string().c_str());
    EXPECT_EQ(ToUtf8(GetAppDataFolder()), ToUtf8(c.appData)) << c.what;
    EXPECT_EQ(ToUtf8(GetDataFileName()), ToUtf8(c.fileFolder + u"raid.dat")) << c.what;
    EXPECT_EQ(ToUtf8(GetConfigFileName()), ToUtf8(c.fileFolder + u"cfg.ini")) << c.what;
  }
}

}  // namespace
}  // namespace kestrum::test
