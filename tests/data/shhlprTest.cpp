#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "base/Strings.h"
#include "data/shhlpr.h"
#include "tests/support/TempHome.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

using FileLocationTest = TempHomeTest;

TEST_F(FileLocationTest, NameFunctionsCreateNothing) {
  GetDataFileName();
  GetConfigFileName();
  EXPECT_TRUE(fs::is_empty(home_.DataHome()));
}

TEST_F(FileLocationTest, ForceFileDirCreatesEveryMissingFolder) {
  const fs::path file = home_.AppFolder() / "raid.dat";
  ForceFileDir(FromUtf8(file.string()));
  EXPECT_TRUE(fs::is_directory(home_.AppFolder()));
  EXPECT_FALSE(fs::exists(file));

  WriteFileBytes(home_.AppFolder() / "cfg.ini", "kept");
  ForceFileDir(FromUtf8(file.string()));
  EXPECT_EQ(ReadFileBytes(home_.AppFolder() / "cfg.ini"), "kept");
}

TEST_F(FileLocationTest, ForceFileDirBelowARegularFileReportsNothing) {
  WriteFileBytes(home_.Root() / "blocker", "x");
  EXPECT_NO_THROW(ForceFileDir(FromUtf8((home_.Root() / "blocker" / "sub" / "raid.dat").string())));
  EXPECT_EQ(ReadFileBytes(home_.Root() / "blocker"), "x");
}

}  // namespace
}  // namespace kestrum::test
