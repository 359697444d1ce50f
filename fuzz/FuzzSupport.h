#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace kestrum::fuzz {

// A property of the code under test does not hold: say which and let libFuzzer save the input.
[[noreturn]] inline void Fail(std::string_view what, std::string_view detail = {}) {
  std::fprintf(stderr, "\nPROPERTY VIOLATED: %.*s\n%.*s\n", static_cast<int>(what.size()), what.data(),
               static_cast<int>(detail.size()), detail.data());
  std::abort();
}

inline void Check(bool holds, std::string_view what, std::string_view detail = {}) {
  if (!holds) Fail(what, detail);
}

// A private folder for the files one fuzzer writes, below TMPDIR (scripts/fuzz points it at a memory
// file system, since every save flushes to disk), removed again when the fuzzer ends normally.
class TScratchFolder final {
 public:
  TScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrum-fuzz-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) Fail("cannot create a scratch folder");
    path_ = pattern;
  }
  ~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace kestrum::fuzz
