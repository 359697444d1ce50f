// A save cut off by SIGKILL at any moment leaves raid.dat with either the last completed save or the
// save that was cut off, never a torn, empty or default roster, and raid.dat.bak with a complete
// earlier roster. A helper process saves a recognisable roster after another (SavePattern.h) and
// says after each save has returned; the test kills it at random moments and checks the folder.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "tests/reliability/ChildProcess.h"
#include "tests/reliability/ReliabilitySupport.h"
#include "tests/reliability/SavePattern.h"
#include "tests/support/ClockAndFormats.h"
#include "tests/support/TempHome.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kKills = 200;
// Kills fall anywhere in the first few saves after the helper has loaded the roster.
constexpr int kSavesPerKillWindow = 4;

// What the helper printed before it was killed: the pattern it loaded and the last save that returned.
struct TSaverReport {
  std::optional<int> Ready;
  std::optional<int> LastSaved;
};

TSaverReport ParseReport(const std::string& AText) {
  TSaverReport report;
  std::istringstream lines(AText);
  std::string line;
  // A line without its line break was cut off by the kill and is not believed.
  const bool lastComplete = AText.empty() || AText.back() == '\n';
  while (std::getline(lines, line)) {
    if (lines.eof() && !lastComplete) break;
    int number = 0;
    if (std::sscanf(line.c_str(), "ready %d", &number) == 1) report.Ready = number;
    if (std::sscanf(line.c_str(), "saved %d", &number) == 1) report.LastSaved = number;
  }
  return report;
}

// Where in its save the helper was cut off, as far as the folder tells.
struct TKillTally {
  int FileReplacedByCutSave = 0;  // raid.dat already held the save that was cut off
  int TemporaryFilesLeft = 0;     // files of an atomic write that never got renamed
};

class CrashConsistencyTest : public TempHomeTest {
 protected:
  void SetUp() override { FClockAndFormats.SetFormats(PatternDateFormat()); }

  fs::path DataFile() const { return home_.AppFolder() / "raid.dat"; }
  fs::path Backup() const { return home_.AppFolder() / "raid.dat.bak"; }
  fs::path Backup2() const { return home_.AppFolder() / "raid.dat.bak2"; }

  // How long one save of the pattern takes here, measured on the seeded folder.
  std::chrono::microseconds MeasureSave() {
    TKestrum roster;
    roster.Load();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 3; ++i) SavePatternNumber(roster, 0);
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start) /
           3;
  }

  // Starts the saver and kills it at a random moment after it has loaded the roster.
  TSaverReport RunSaverUntilKilled(std::mt19937& ARandom, std::chrono::microseconds AWindow) {
    const fs::path out = home_.Root() / "saver.out";
    const fs::path err = home_.Root() / "saver.err";
    fs::remove(out);
    TChildProcess saver(kHelperProgram, {"save-loop"}, out, err);
    const auto deadline = std::chrono::steady_clock::now() + Scaled(10s);
    while (!ParseReport(ReadFileBytes(out)).Ready) {
      if (!saver.Running() || std::chrono::steady_clock::now() > deadline) {
        ADD_FAILURE() << "the saver did not start; it said:\n" << ReadFileBytes(err);
        return {};
      }
      std::this_thread::sleep_for(200us);
    }
    std::this_thread::sleep_for(
        std::chrono::microseconds(std::uniform_int_distribution<int64_t>(0, AWindow.count())(ARandom)));
    saver.Kill();
    return ParseReport(ReadFileBytes(out));
  }

  // The save the file holds; nullopt when it is missing or holds no complete save.
  std::optional<int> PatternInFile(const fs::path& AFile) {
    if (!fs::exists(AFile)) return std::nullopt;
    return PatternNumber(RosterOfBytes(ReadFileBytes(AFile)));
  }

  int CountTemporaryFiles() const {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(home_.AppFolder()))
      count += entry.path().filename().string().find(".tmp") != std::string::npos;
    return count;
  }

  TClockAndFormats FClockAndFormats;
};

TEST_F(CrashConsistencyTest, KilledSavesLeaveTheLastOrTheCutSaveAndACompleteBackup) {
  SeedPattern();
  const std::chrono::microseconds measured = MeasureSave() * kSavesPerKillWindow;
  // A busy machine makes saves slower than the measured one: a kill that found no save finished
  // widens the window, so the kills keep landing among saves rather than before the first.
  std::chrono::microseconds window = measured;
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  SCOPED_TRACE("random seed " + std::to_string(seed));

  int verified = 0;  // the save raid.dat held after the previous kill
  TKillTally tally;
  for (int kill = 0; kill < kKills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    const TSaverReport report = RunSaverUntilKilled(random, window);
    ASSERT_EQ(report.Ready, verified) << "the saver did not load the roster the last check found";
    const int lastCompleted = report.LastSaved.value_or(verified);
    if (!report.LastSaved) window = std::min(window * 2, measured * 64);

    const TRosterModel loaded = LoadedModel();
    const std::optional<int> inFile = PatternNumber(loaded);
    ASSERT_TRUE(inFile) << "raid.dat holds no complete save (torn, empty or default):\n"
                        << Describe(loaded) << "bytes:\n"
                        << ReadFileBytes(DataFile());
    ASSERT_TRUE(*inFile == lastCompleted || *inFile == lastCompleted + 1)
        << "raid.dat holds save " << *inFile << ", the last completed save was " << lastCompleted;

    const std::optional<int> inBackup = PatternInFile(Backup());
    ASSERT_TRUE(inBackup) << (fs::exists(Backup()) ? "raid.dat.bak holds no complete save"
                                                   : "raid.dat.bak is missing")
                          << "; raid.dat holds save " << *inFile << ", raid.dat.bak2 "
                          << (fs::exists(Backup2()) ? "exists" : "does not exist either");
    ASSERT_TRUE(*inBackup == *inFile || *inBackup == *inFile - 1)
        << "raid.dat.bak holds save " << *inBackup << ", raid.dat save " << *inFile;

    tally.FileReplacedByCutSave += *inFile == lastCompleted + 1;
    verified = *inFile;
  }
  tally.TemporaryFilesLeft = CountTemporaryFiles();
  std::printf(
      "%d kills survived, %d saves completed (one save: %lld us); raid.dat already held the cut save "
      "after %d kills; %d temporary files left behind\n",
      kKills, verified, static_cast<long long>(measured.count() / kSavesPerKillWindow),
      tally.FileReplacedByCutSave, tally.TemporaryFilesLeft);
  EXPECT_GT(verified, kKills / 4) << "too few saves completed between the kills to test anything";
}

}  // namespace
}  // namespace kestrum::test
