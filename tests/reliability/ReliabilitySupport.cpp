#include "tests/reliability/ReliabilitySupport.h"

#include "tests/support/TempHome.h"

namespace kestrum::test {

namespace fs = std::filesystem;

TTreeSnapshot SnapshotTree(const fs::path& ARoot) {
  TTreeSnapshot snapshot;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(ARoot, error); it != fs::recursive_directory_iterator();
       it.increment(error)) {
    const std::string name = fs::relative(it->path(), ARoot).string();
    snapshot[name] = it->is_directory() ? "<folder>" : ReadFileBytes(it->path());
  }
  return snapshot;
}

std::string DescribeChanges(const TTreeSnapshot& ABefore, const TTreeSnapshot& AAfter) {
  std::string out;
  for (const auto& [name, content] : ABefore) {
    const auto after = AAfter.find(name);
    if (after == AAfter.end())
      out += "  " + name + " is gone\n";
    else if (after->second != content)
      out += "  " + name + " changed (" + std::to_string(content.size()) + " -> " +
             std::to_string(after->second.size()) + " bytes)\n";
  }
  for (const auto& [name, content] : AAfter)
    if (ABefore.find(name) == ABefore.end()) out += "  " + name + " appeared\n";
  return out;
}

TRosterModel RosterOfBytes(const std::string& ABytes) {
  const TempHome scratch;  // the data file's location moves there for the moment
  fs::create_directories(scratch.AppFolder());
  WriteFileBytes(scratch.AppFolder() / "raid.dat", ABytes);
  return LoadedModel();
}

}  // namespace kestrum::test
