#pragma once

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace kestrum::test {

// A new, empty folder of its own for the files a test, fuzzer or benchmark writes, removed with
// everything in it when the object goes. Header-only and on the standard library alone, so that the
// fuzzers and the benchmark, which link no test library, use it too.
class TScratchFolder final {
 public:
  // A folder named APrefix and a random part, below AParent (the system's temporary folder unless
  // named; the fuzzers point TMPDIR at a memory file system, since every save flushes to disk).
  explicit TScratchFolder(const std::string& APrefix = "kestrum-test-",
                          const std::filesystem::path& AParent = std::filesystem::temp_directory_path())
      : path_(MakeFolder(APrefix, AParent)) {}
  ~TScratchFolder() {
    std::error_code ignored;
    // Tests may leave read-only folders behind; make them writable so they can be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored)) AllowOwner(it->path(), ignored);
    }
    AllowOwner(path_, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  static std::filesystem::path MakeFolder(const std::string& APrefix, const std::filesystem::path& AParent) {
    std::mt19937 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
      // Short, because a socket's path below the folder has little room.
      char name[9];
      std::snprintf(name, sizeof name, "%08x", static_cast<unsigned>(random()));
      const std::filesystem::path folder = AParent / (APrefix + name);
      // Only a folder made here, never one that another run already has.
      if (std::filesystem::create_directory(folder)) {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        return folder;
      }
    }
    throw std::runtime_error("no scratch folder could be made below " + AParent.string());
  }
  static void AllowOwner(const std::filesystem::path& AFolder, std::error_code& AError) {
    std::filesystem::permissions(AFolder, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, AError);
  }

  std::filesystem::path path_;
};

// The names of the entries of a folder, sorted (none when the folder is missing), so that a test
// sees any file left behind.
inline std::vector<std::string> FolderListing(const std::filesystem::path& AFolder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(AFolder, ignored))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kestrum::test
