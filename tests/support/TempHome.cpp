#include "tests/support/TempHome.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/support/TempHomeSystem.h"

namespace kestrum::test {

std::optional<std::string> GetVariable(const char* AName) {
  const char* value = std::getenv(AName);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

TempHome::TempHome() {
  std::filesystem::create_directories(DataHome());
  std::filesystem::create_directories(RuntimeDir());
  std::filesystem::permissions(RuntimeDir(), std::filesystem::perms::owner_all);
  for (const auto& [name, value] : HomeVariables(*this)) {
    const std::optional<std::string> old = GetVariable(name);
    saved_.push_back({name, old.has_value(), old.value_or("")});
    SetVariable(name, value.string());
  }
  CheckHomeIsUsed(*this);
}

TempHome::~TempHome() {
  for (const SavedVar& var : saved_)
    SetVariable(var.name.c_str(), var.wasSet ? std::optional<std::string>(var.value) : std::nullopt);
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
