#include "tests/support/TempHome.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <sys/stat.h>

namespace kestrum::test {

namespace {

std::filesystem::path MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kestrum-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

}  // namespace

TempHome::TempHome() : root_(MakeTempFolder()) {
  std::filesystem::create_directories(DataHome());
  std::filesystem::create_directories(RuntimeDir());
  chmod(RuntimeDir().c_str(), 0700);
  const std::pair<const char*, std::filesystem::path> vars[] = {
      {"HOME", root_}, {"XDG_DATA_HOME", DataHome()}, {"XDG_RUNTIME_DIR", RuntimeDir()}};
  for (const auto& [name, value] : vars) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old != nullptr, old ? old : ""});
    setenv(name, value.c_str(), 1);
  }
}

TempHome::~TempHome() {
  for (const SavedVar& var : saved_) {
    if (var.wasSet)
      setenv(var.name.c_str(), var.value.c_str(), 1);
    else
      unsetenv(var.name.c_str());
  }
  std::error_code ignored;
  // Tests may leave read-only folders behind; make them writable so they can be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    if (it->is_directory(ignored))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(root_, ignored);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kestrum::test
