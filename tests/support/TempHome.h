#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

namespace kestrum::test {

// A fresh temporary folder that stands in for the user's home for the lifetime of the object:
// HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR (on Windows USERPROFILE, APPDATA and the shell's
// application-data folder) point into it, and the old values come back afterwards.
class TempHome final {
 public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::filesystem::path& Root() const { return folder_.Path(); }
  std::filesystem::path DataHome() const { return Root() / "data"; }
  std::filesystem::path RuntimeDir() const { return Root() / "run"; }
  // Where the program keeps raid.dat and cfg.ini under this home.
  std::filesystem::path AppFolder() const { return DataHome() / "Brasswick" / "Kestrum"; }

 private:
  struct SavedVar {
    std::string name;
    bool wasSet;
    std::string value;
  };
  TScratchFolder folder_;
  std::vector<SavedVar> saved_;
};

// A gtest fixture whose every test runs in its own TempHome.
class TempHomeTest : public ::testing::Test {
 protected:
  TempHome home_;
};

// Whole-file helpers for tests.
std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace kestrum::test
