#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>

#include "tests/support/RosterModel.h"
#include "tests/support/TimeScale.h"

namespace kestrum::test {

// The programs under test, built beside this test.
inline const std::string kHelperProgram = KESTRUM_RELIABILITY_HELPER;
inline const std::string kKestrumProgram = KESTRUM_PROGRAM;

// Every file and folder below ARoot: relative path -> content ("<folder>" for a folder). Two
// snapshots are equal when nothing was created, removed or changed.
using TTreeSnapshot = std::map<std::string, std::string>;
TTreeSnapshot SnapshotTree(const std::filesystem::path& ARoot);
// What changed from ABefore to AAfter, one line per path; empty when nothing did.
std::string DescribeChanges(const TTreeSnapshot& ABefore, const TTreeSnapshot& AAfter);

// The roster that file bytes hold, read by the roster's own Load in a scratch folder.
TRosterModel RosterOfBytes(const std::string& ABytes);

}  // namespace kestrum::test
