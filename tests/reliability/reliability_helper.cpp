// The processes tests_reliability starts, since a crash or a lost privilege has to happen to a
// process of its own. Both work on the data file of the environment's XDG_DATA_HOME.
//
//   reliability_helper save-loop
//     Loads the data file (a roster of the save pattern N), prints "ready N", then saves the
//     patterns N+1, N+2, ... and prints "saved <n>" after each save has returned, until killed.
//
//   reliability_helper faulted-save [--file-size-limit=<bytes>|--file-size-limit=data-file] [--as-nobody]
//     Puts itself under the fault (a file size limit during the save, as a full disk; or the user
//     nobody, for whom root's files are read-only), loads the roster and adds a character, which
//     saves. Prints "outcome=saved", or "outcome=failed" and "message=<the error's text>"; then
//     "roster-is-file=<0|1>" (the roster in memory equals a fresh load of the data file).

#include <grp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "base/Files.h"
#include "data/RaidTimerData.h"
#include "data/shhlpr.h"
#include "tests/reliability/SavePattern.h"
#include "tests/support/RosterModel.h"

namespace kestrum::test {
namespace {

constexpr uid_t kNobody = 65534;
// A bound for the loop in case the test that should kill it does not.
constexpr int kMaxLoopSaves = 100000;

// One unbuffered write per line, so that a kill cannot leave a reported save half-printed.
void Report(const std::string& ALine) {
  const std::string line = ALine + "\n";
  if (write(STDOUT_FILENO, line.data(), line.size()) != static_cast<ssize_t>(line.size())) std::exit(4);
}

int SaveLoop() {
  // Killed along with the test, should the test die first.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  TKestrum roster;
  roster.Load();
  const std::optional<int> start = PatternNumber(ModelOf(roster));
  if (!start) {
    std::cerr << "the data file holds no roster of the save pattern:\n" << Describe(ModelOf(roster));
    return 2;
  }
  Report("ready " + std::to_string(*start));
  for (int n = *start + 1; n <= *start + kMaxLoopSaves; ++n) {
    SavePatternNumber(roster, n);
    Report("saved " + std::to_string(n));
  }
  return 0;
}

// The soft limit applies to the save only: the report afterwards goes to a file too.
bool SetFileSizeLimit(rlim_t ALimit) {
  const rlimit value{ALimit, RLIM_INFINITY};
  return setrlimit(RLIMIT_FSIZE, &value) == 0;
}

bool BecomeNobody() {
  return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0 && getuid() == kNobody;
}

int FaultedSave(int argc, char** argv) {
  std::optional<rlim_t> sizeLimit;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const std::string_view limitOption = "--file-size-limit=";
    if (arg.starts_with(limitOption)) {
      const std::string value(arg.substr(limitOption.size()));
      sizeLimit = value == "data-file" ? ReadFileBytes(GetDataFileName()).size() : std::stoull(value);
    } else if (arg != "--as-nobody" || !BecomeNobody()) {
      std::cerr << "cannot apply " << arg << "\n";
      return 3;
    }
  }
  // Writes past the limit then fail with EFBIG instead of killing the process.
  signal(SIGXFSZ, SIG_IGN);

  TKestrum roster;
  roster.Load();
  if (sizeLimit && !SetFileSizeLimit(*sizeLimit)) return 3;
  std::string outcome;
  try {
    roster.AddChara(u"Newcomer");
    outcome = "outcome=saved\n";
  } catch (const ERTDSaveError& error) {
    outcome = "outcome=failed\nmessage=" + std::string(error.what()) + "\n";
  }
  if (sizeLimit && !SetFileSizeLimit(RLIM_INFINITY)) return 3;
  std::cout << outcome << "roster-is-file=" << (ModelOf(roster) == LoadedModel()) << "\n";
  return 0;
}

}  // namespace
}  // namespace kestrum::test

int main(int argc, char** argv) {
  using namespace kestrum;
  SetFormatSettings(test::PatternDateFormat());
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "save-loop") return test::SaveLoop();
  if (mode == "faulted-save") return test::FaultedSave(argc, argv);
  std::cerr
      << "usage: reliability_helper save-loop | faulted-save [--file-size-limit=N|data-file] [--as-nobody]\n";
  return 2;
}
