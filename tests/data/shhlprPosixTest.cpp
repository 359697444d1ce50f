#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "base/Strings.h"
#include "data/shhlpr.h"
#include "tests/support/TempHome.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

using FileLocationTest = TempHomeTest;

void SetOrUnset(const char* name, const std::optional<std::string>& value) {
  if (value)
    setenv(name, value->c_str(), 1);
  else
    unsetenv(name);
}

TEST_F(FileLocationTest, FilesLiveInTheUsersDataFolderElseBesideTheProgram) {
  const std::string programFolder = fs::read_symlink("/proc/self/exe").parent_path().string() + "/";
  struct Case {
    const char* what;
    std::optional<std::string> xdgDataHome;
    std::optional<std::string> home;
    std::string appData;     // empty: none can be determined
    std::string fileFolder;  // where raid.dat and cfg.ini are
  };
  const Case cases[] = {
      {"XDG_DATA_HOME set", "/x/data", "/h", "/x/data", "/x/data/Brasswick/Kestrum/"},
      {"XDG_DATA_HOME with a trailing slash", "/x/data/", "/h", "/x/data", "/x/data/Brasswick/Kestrum/"},
      {"XDG_DATA_HOME relative", "rel/data", "/h", "/h/.local/share", "/h/.local/share/Brasswick/Kestrum/"},
      {"XDG_DATA_HOME empty", "", "/h/", "/h/.local/share", "/h/.local/share/Brasswick/Kestrum/"},
      {"only HOME", std::nullopt, "/h", "/h/.local/share", "/h/.local/share/Brasswick/Kestrum/"},
      {"HOME relative", std::nullopt, "h", "", programFolder},
      {"neither", std::nullopt, std::nullopt, "", programFolder},
  };
  for (const Case& c : cases) {
    SetOrUnset("XDG_DATA_HOME", c.xdgDataHome);
    SetOrUnset("HOME", c.home);
    EXPECT_EQ(ToUtf8(GetAppDataFolder()), c.appData) << c.what;
    EXPECT_EQ(ToUtf8(GetDataFileName()), c.fileFolder + "raid.dat") << c.what;
    EXPECT_EQ(ToUtf8(GetConfigFileName()), c.fileFolder + "cfg.ini") << c.what;
  }
}

}  // namespace
}  // namespace kestrum::test
