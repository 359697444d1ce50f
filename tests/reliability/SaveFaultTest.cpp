// Saving where the data file cannot be written: Save raises ERTDSaveError naming the file and the
// system's reason, raid.dat and raid.dat.bak stay byte for byte as they were and nothing else is
// left behind, the roster in memory is the file's, and once the fault is gone the next save works.
// Faults that must stop root as well run in a helper process under a file size limit (a full disk)
// or as the user nobody (root's files are then read-only).

#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/RaidTimerData.h"
#include "tests/reliability/ChildProcess.h"
#include "tests/reliability/ReliabilitySupport.h"
#include "tests/reliability/SavePattern.h"
#include "tests/support/ClockAndFormats.h"
#include "tests/support/TempHome.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr uid_t kNobody = 65534;

// Lets the user nobody reach and read the data folder; the folders stay root's.
void OpenToOthers(const TempHome& AHome) {
  for (const fs::path& folder :
       {AHome.Root(), AHome.DataHome(), AHome.DataHome() / "Brasswick", AHome.AppFolder()})
    if (fs::exists(folder)) fs::permissions(folder, fs::perms(0755));
}

struct TSaveFault {
  const char* Name;
  void (*Make)(const TempHome& AHome);
  std::vector<std::string> HelperOptions;
  int Errno;  // the system error the message must give
  void (*Clear)(const TempHome& AHome);
};

void PrintTo(const TSaveFault& AFault, std::ostream* AOut) {
  *AOut << AFault.Name;
}

void Nothing(const TempHome&) {}

const TSaveFault kFaults[] = {
    {"disk full", Nothing, {"--file-size-limit=0"}, EFBIG, Nothing},
    {"disk fills up while the new file is written", Nothing, {"--file-size-limit=data-file"}, EFBIG, Nothing},
    {"data folder and files belong to another user", OpenToOthers, {"--as-nobody"}, EACCES, Nothing},
    {"read-only data folder",
     [](const TempHome& AHome) {
       OpenToOthers(AHome);
       ASSERT_EQ(chown(AHome.AppFolder().c_str(), kNobody, kNobody), 0);
       fs::permissions(AHome.AppFolder(), fs::perms(0555));
     },
     {"--as-nobody"},
     EACCES,
     [](const TempHome& AHome) {
       fs::permissions(AHome.AppFolder(), fs::perms(0755));
       ASSERT_EQ(chown(AHome.AppFolder().c_str(), 0, 0), 0);
     }},
    {"a folder where raid.dat should be",
     [](const TempHome& AHome) {
       fs::remove(AHome.AppFolder() / "raid.dat");
       fs::create_directory(AHome.AppFolder() / "raid.dat");
     },
     {},
     EISDIR,
     [](const TempHome& AHome) { fs::remove(AHome.AppFolder() / "raid.dat"); }},
    {"a file where the data folder should be",
     [](const TempHome& AHome) {
       fs::remove_all(AHome.AppFolder());
       WriteFileBytes(AHome.AppFolder(), "not a folder");
     },
     {},
     ENOTDIR,
     [](const TempHome& AHome) { fs::remove(AHome.AppFolder()); }},
    {"data folder vanished and cannot be made again",
     [](const TempHome& AHome) {
       OpenToOthers(AHome);
       fs::remove_all(AHome.AppFolder());
     },
     {"--as-nobody"},
     ENOENT,
     Nothing},
};

// The system's wording of an error as the helper gives it: the helper never leaves the C locale,
// while this test's QApplication has switched to the user's.
std::string ReasonText(int AError) {
  const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
  std::string text = strerror_l(AError, c);
  freelocale(c);
  return text;
}

// The helper's "key=value" lines.
std::map<std::string, std::string> ParseOutcome(const std::string& AText) {
  std::map<std::string, std::string> values;
  std::istringstream lines(AText);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

class SaveFaultTest : public ::testing::TestWithParam<TSaveFault> {
 protected:
  void SetUp() override {
    FClockAndFormats.SetFormats(PatternDateFormat());
    // raid.dat with two characters, its backup with one.
    TKestrum roster;
    roster.Load();
    roster.AddChara(u"Aldric");
    roster.GetCharaDatas(0)->GetRaidTimerDatas(2)->Done();
    roster.AddChara(u"ベアトリス");
  }

  fs::path DataFile() const { return home_.AppFolder() / "raid.dat"; }

  TempHome home_;
  TClockAndFormats FClockAndFormats;
};

TEST_P(SaveFaultTest, SaveFailsCleanlyAndWorksOnceTheFaultIsGone) {
  const TSaveFault& fault = GetParam();
  fault.Make(home_);
  if (HasFatalFailure()) return;
  const TTreeSnapshot before = SnapshotTree(home_.DataHome());

  const fs::path out = home_.Root() / "helper.out";
  const fs::path err = home_.Root() / "helper.err";
  std::vector<std::string> args{"faulted-save"};
  args.insert(args.end(), fault.HelperOptions.begin(), fault.HelperOptions.end());
  TChildProcess helper(kHelperProgram, args, out, err);
  ASSERT_EQ(helper.WaitFor(Scaled(30s)), 0) << ReadFileBytes(err);

  const auto outcome = ParseOutcome(ReadFileBytes(out));
  ASSERT_EQ(outcome.count("outcome"), 1u) << ReadFileBytes(out) << ReadFileBytes(err);
  ASSERT_EQ(outcome.at("outcome"), "failed") << "the save did not fail";
  const std::string message = outcome.at("message");
  EXPECT_NE(message.find("raid.dat"), std::string::npos) << "the message does not name the file: " << message;
  EXPECT_NE(message.find(ReasonText(fault.Errno)), std::string::npos)
      << "the message does not give the reason (" << ReasonText(fault.Errno) << "): " << message;
  EXPECT_EQ(outcome.at("roster-is-file"), "1") << "the roster in memory is not the one in the file";

  EXPECT_EQ(DescribeChanges(before, SnapshotTree(home_.DataHome())), "")
      << "the failed save changed the data folder";

  fault.Clear(home_);
  const bool hadFile = fs::is_regular_file(DataFile());
  const std::string previous = hadFile ? ReadFileBytes(DataFile()) : std::string();
  TKestrum roster;
  roster.Load();
  ASSERT_NO_THROW(roster.AddChara(u"Newcomer")) << "the first save after the fault failed";
  const TRosterModel saved = LoadedModel();
  ASSERT_FALSE(saved.Charas.empty());
  EXPECT_EQ(saved.Charas.back().Name, u"Newcomer");
  if (hadFile) {
    EXPECT_EQ(ReadFileBytes(home_.AppFolder() / "raid.dat.bak"), previous);
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, SaveFaultTest, ::testing::ValuesIn(kFaults),
                         [](const ::testing::TestParamInfo<TSaveFault>& AInfo) {
                           std::string name;
                           for (const char* c = AInfo.param.Name; *c != '\0'; ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return name;
                         });

}  // namespace
}  // namespace kestrum::test
