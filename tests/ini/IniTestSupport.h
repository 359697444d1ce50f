#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/Strings.h"
#include "ini/VoMemIniFile.h"
#include "tests/support/TempHome.h"

namespace kestrum::test {

// Each test gets its own folder for the files it loads and saves.
class IniFileTest : public TempHomeTest {
 protected:
  std::filesystem::path PathOf(const std::string& name) const { return home_.Root() / name; }
  static String ToString(const std::filesystem::path& path) { return FromUtf8(path.string()); }

  // A document loaded from a file holding exactly these bytes.
  std::unique_ptr<TVoMemIniFile> LoadBytes(const std::string& bytes,
                                           const std::string& name = "doc.ini") const {
    WriteFileBytes(PathOf(name), bytes);
    return std::make_unique<TVoMemIniFile>(ToString(PathOf(name)));
  }

  std::string FileBytes(const std::string& name = "doc.ini") const { return ReadFileBytes(PathOf(name)); }
};

inline std::vector<String> DocumentLines(const TVoMemIniFile& doc) {
  std::vector<String> lines;
  doc.GetStrings(lines);
  return lines;
}

// Every file and folder below folder, as paths relative to it.
inline std::set<std::string> FolderContents(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    names.insert(entry.path().lexically_relative(folder).string());
  }
  return names;
}

}  // namespace kestrum::test
