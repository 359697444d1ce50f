#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/Files.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TempHome.h"

namespace kestrum {

namespace fs = std::filesystem;

inline String Path(const fs::path& path) {
  return String(path.u16string());
}

class FilesTest : public test::TempHomeTest {
 protected:
  FilesTest() { fs::create_directory(Folder()); }
  fs::path Folder() const { return home_.Root() / "work"; }

  // Every entry of the folder, so a test sees any temporary file left behind.
  std::vector<std::string> Entries() const { return test::FolderListing(Folder()); }

  // Runs a write that must fail and returns its message; checks that nothing else was touched.
  std::string FailedWrite(const fs::path& target) {
    const auto before = Entries();
    try {
      WriteFileAtomic(Path(target), "new content");
    } catch (const EFileError& e) {
      EXPECT_EQ(Entries(), before);
      return e.what();
    }
    ADD_FAILURE() << "writing " << target << " did not fail";
    return {};
  }
};

}  // namespace kestrum
