// Start-up races of the real program (QT_QPA_PLATFORM=offscreen, private home and runtime folder).
// Of copies started together exactly one stays; every other hands over to it and ends within
// 2.5 s, with no window and without touching raid.dat or cfg.ini. A copy killed hard leaves no lock
// or socket that stops the next start.
//
// What the test can see of a running copy: its lock and its hand-over socket in the runtime folder,
// and Qt's offscreen platform, which has no real windows, saying so on stderr when a window is shown
// ("does not support propagateSizeHints()") and when one is brought to the front ("does not support
// raise()"). The program itself prints only when a later copy cannot reach the first one, and reads
// no environment of its own.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "data/RaidTimerData.h"
#include "platform/InstanceNames.h"
#include "platform/NamedMutex.h"
#include "platform/notifyBTF.h"
#include "tests/reliability/ChildProcess.h"
#include "tests/reliability/ReliabilitySupport.h"
#include "tests/support/TempHome.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr int kCopies = 8;
constexpr int kRaceRounds = 3;
// A later copy tries to hand over for 2 s; it must be gone soon after.
const std::chrono::milliseconds kLaterCopyLimit = Scaled(2500ms);
// A first copy is still there after the time any later copy would have had to end.
const std::chrono::milliseconds kFirstCopyStays = Scaled(2500ms);
// A first copy needs this long at most to show its window and start listening.
const std::chrono::milliseconds kStartLimit = Scaled(10s);

const char kWindowShownSign[] = "propagateSizeHints()";
const char kBroughtToFrontSign[] = "raise()";

int CountOf(const std::string& AText, const std::string& APattern) {
  int count = 0;
  for (size_t at = AText.find(APattern); at != std::string::npos; at = AText.find(APattern, at + 1)) ++count;
  return count;
}

sockaddr_un SocketAddress(const fs::path& APath) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, APath.c_str(), sizeof address.sun_path - 1);
  return address;
}

// True when a receiver listens on the hand-over socket (the connection is a hand-over itself).
bool Listening(const fs::path& ASocket) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_un address = SocketAddress(ASocket);
  const bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

// Stands in for the first copy's hand-over receiver and counts the copies that reach it.
class TCountingReceiver final {
 public:
  explicit TCountingReceiver(const fs::path& ASocket) : FPath(ASocket) {
    FFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const sockaddr_un address = SocketAddress(ASocket);
    if (bind(FFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || listen(FFd, 64) != 0)
      ADD_FAILURE() << "cannot listen on " << ASocket << ": " << std::strerror(errno);
  }
  ~TCountingReceiver() {
    close(FFd);
    unlink(FPath.c_str());
  }
  TCountingReceiver(const TCountingReceiver&) = delete;
  TCountingReceiver& operator=(const TCountingReceiver&) = delete;

  int AcceptPending() {
    int accepted = 0;
    for (int conn; (conn = accept4(FFd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0; ++accepted) close(conn);
    return accepted;
  }

 private:
  fs::path FPath;
  int FFd = -1;
};

template <class Predicate>
bool WaitUntil(std::chrono::milliseconds ATimeout, Predicate&& ADone) {
  const auto deadline = std::chrono::steady_clock::now() + ATimeout;
  while (!ADone()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(10ms);
  }
  return true;
}

struct TFileStamp {
  bool Exists;
  std::string Bytes;
  int64_t MtimeNs;
  bool operator==(const TFileStamp&) const = default;
};

TFileStamp StampOf(const fs::path& AFile) {
  struct stat info {};
  if (stat(AFile.c_str(), &info) != 0) return {false, {}, 0};
  return {true, ReadFileBytes(AFile), info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
}

class StartupRaceTest : public TempHomeTest {
 protected:
  void SetUp() override {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // raid.dat with a character, cfg.ini with a window place; the program only reads both at start.
    TKestrum roster;
    roster.Load();
    roster.AddChara(u"Aldric");
  }

  void SeedConfig() {
    WriteFileBytes(ConfigFile(), "[POS]\r\n\r\nLEFT=40\r\nTOP=30\r\nWIDTH=500\r\nHEIGHT=300\r\n\r\n");
  }

  fs::path DataFile() const { return home_.AppFolder() / "raid.dat"; }
  fs::path ConfigFile() const { return home_.AppFolder() / "cfg.ini"; }
  // The hand-over socket of the roster whose lock lies in ALockFolder.
  fs::path SocketOf(const fs::path& ALockFolder) const {
    return home_.RuntimeDir() / ToUtf8(ScopedEventName(kNotifierName, FromUtf8(ALockFolder.string())));
  }
  fs::path Socket() const { return SocketOf(home_.AppFolder()); }

  TChildProcess& Start(const std::string& AName) {
    const fs::path log = home_.Root() / (AName + ".log");
    FLogs.push_back(log);
    FCopies.push_back(std::make_unique<TChildProcess>(kKestrumProgram, std::vector<std::string>{}, log, log));
    return *FCopies.back();
  }
  std::string LogOf(const TChildProcess& ACopy) const {
    for (size_t i = 0; i < FCopies.size(); ++i)
      if (FCopies[i].get() == &ACopy) return ReadFileBytes(FLogs[i]);
    return {};
  }
  std::vector<TChildProcess*> StartTogether(int ACount, const std::string& ATag) {
    std::vector<TChildProcess*> copies;
    for (int i = 0; i < ACount; ++i) copies.push_back(&Start(ATag + "-" + std::to_string(i)));
    return copies;
  }

  // A later copy: ended on its own with status 0, in time, and never showed a window.
  void ExpectHandedOverAndEnded(TChildProcess& ACopy) {
    ASSERT_TRUE(ACopy.WaitFor(kLaterCopyLimit)) << "a later copy is still running";
    EXPECT_EQ(ACopy.Status(), 0) << LogOf(ACopy);
    EXPECT_LE(ACopy.Lifetime(), kLaterCopyLimit);
    EXPECT_EQ(CountOf(LogOf(ACopy), kWindowShownSign), 0) << "a later copy showed a window:\n"
                                                          << LogOf(ACopy);
  }

  // A later copy that could not reach the first one: says so, naming the roster, and ends in time
  // with status 1 and no window.
  void ExpectToldUnreachableAndEnded(TChildProcess& ACopy) {
    ASSERT_TRUE(ACopy.WaitFor(kLaterCopyLimit)) << "a later copy is still running";
    EXPECT_EQ(ACopy.Status(), 1) << LogOf(ACopy);
    EXPECT_NE(LogOf(ACopy).find(home_.AppFolder().string()), std::string::npos) << LogOf(ACopy);
    EXPECT_EQ(CountOf(LogOf(ACopy), kWindowShownSign), 0) << "a later copy showed a window:\n"
                                                          << LogOf(ACopy);
  }

  // The first copy: shows its window, answers on the hand-over socket and keeps running.
  void ExpectRunsAsFirstCopy(TChildProcess& ACopy) {
    ASSERT_TRUE(WaitUntil(kStartLimit, [&] { return !ACopy.Running() || Listening(Socket()); }));
    ASSERT_TRUE(ACopy.Running()) << "the first copy ended:\n" << LogOf(ACopy);
    std::this_thread::sleep_for(kFirstCopyStays);
    EXPECT_TRUE(ACopy.Running()) << LogOf(ACopy);
    EXPECT_GE(CountOf(LogOf(ACopy), kWindowShownSign), 1) << "the first copy showed no window";
  }

  // Starts one more copy and checks that it hands over to ARunning, which comes to the front.
  void ExpectHandOverTo(TChildProcess& ARunning, const std::string& ATag) {
    // Let the copy settle so that no earlier hand-over is still on its way.
    std::this_thread::sleep_for(Scaled(300ms));
    const int before = CountOf(LogOf(ARunning), kBroughtToFrontSign);
    TChildProcess& later = Start(ATag);
    ExpectHandedOverAndEnded(later);
    EXPECT_TRUE(WaitUntil(Scaled(2s), [&] { return CountOf(LogOf(ARunning), kBroughtToFrontSign) > before; }))
        << "the running copy was not brought to the front:\n"
        << LogOf(ARunning);
    EXPECT_TRUE(ARunning.Running());
  }

  std::vector<std::unique_ptr<TChildProcess>> FCopies;
  std::vector<fs::path> FLogs;
};

TEST_F(StartupRaceTest, LaterCopiesHandOverOnceEachAndTouchNoFile) {
  // This test holds the lock and the socket of a first copy, so every copy started is a later one.
  const TNamedMutex mutex(FromUtf8(home_.AppFolder().string()), u"Kestrum2010");
  ASSERT_EQ(mutex.LastError(), kMutexCreated);
  TCountingReceiver receiver(Socket());
  const TTreeSnapshot before = SnapshotTree(home_.DataHome());
  const TFileStamp data = StampOf(DataFile());

  for (TChildProcess* copy : StartTogether(kCopies, "later")) ExpectHandedOverAndEnded(*copy);

  EXPECT_EQ(receiver.AcceptPending(), kCopies) << "not every copy handed over exactly once";
  EXPECT_EQ(StampOf(DataFile()), data) << "a later copy touched raid.dat";
  EXPECT_FALSE(fs::exists(ConfigFile())) << "a later copy created cfg.ini";
  EXPECT_EQ(DescribeChanges(before, SnapshotTree(home_.DataHome())), "")
      << "a later copy changed the data folder";
}

// An ssh login or a cron job has no session folder, so it cannot reach the first copy's socket; it
// must still find the roster taken, leave it alone and say why nothing came to the front.
TEST_F(StartupRaceTest, ACopyFromAnotherSessionFindsTheRosterTakenAndEndsWithoutAWindow) {
  SeedConfig();
  TChildProcess& first = Start("desktop");
  ExpectRunsAsFirstCopy(first);
  const TFileStamp data = StampOf(DataFile());
  const TFileStamp config = StampOf(ConfigFile());

  const fs::path otherSession = home_.Root() / "other-session";
  fs::create_directory(otherSession);
  for (const char* runtimeDir : {static_cast<const char*>(nullptr), otherSession.c_str()}) {
    SCOPED_TRACE(runtimeDir ? "another session folder" : "no session folder");
    const std::string saved = home_.RuntimeDir().string();
    if (runtimeDir)
      setenv("XDG_RUNTIME_DIR", runtimeDir, 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
    TChildProcess& later = Start(runtimeDir ? "other-session" : "no-session");
    setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    ExpectToldUnreachableAndEnded(later);
  }
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(StampOf(DataFile()), data) << "a later copy touched raid.dat";
  EXPECT_EQ(StampOf(ConfigFile()), config) << "a later copy touched cfg.ini";
}

using TSocketFiles = std::set<std::pair<std::string, ino_t>>;

TSocketFiles SocketFilesIn(const fs::path& AFolder) {
  TSocketFiles sockets;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(AFolder, ignored)) {
    struct stat info {};
    if (lstat(entry.path().c_str(), &info) == 0 && S_ISSOCK(info.st_mode))
      sockets.insert({entry.path().filename().string(), info.st_ino});
  }
  return sockets;
}

// A copy on another roster (another XDG_DATA_HOME, same session) runs beside the first with a window
// of its own; once it has listened and gone, starts on the first roster still reach the first copy.
TEST_F(StartupRaceTest, ACopyOnAnotherRosterLeavesTheFirstCopysHandOverAlone) {
  SeedConfig();
  TChildProcess& first = Start("roster-a");
  ExpectRunsAsFirstCopy(first);
  const TSocketFiles firstSockets = SocketFilesIn(home_.RuntimeDir());

  const fs::path otherDataHome = home_.Root() / "other-data";
  setenv("XDG_DATA_HOME", otherDataHome.c_str(), 1);
  TChildProcess& other = Start("roster-b");
  setenv("XDG_DATA_HOME", home_.DataHome().c_str(), 1);
  // Listening shows as a socket file that the first copy did not bind.
  ASSERT_TRUE(WaitUntil(kStartLimit, [&] {
    if (!other.Running()) return true;
    for (const auto& socket : SocketFilesIn(home_.RuntimeDir()))
      if (firstSockets.count(socket) == 0) return true;
    return false;
  }));
  ASSERT_TRUE(other.Running()) << "the copy on another roster ended:\n" << LogOf(other);
  EXPECT_GE(CountOf(LogOf(other), kWindowShownSign), 1) << "the copy on another roster showed no window";
  other.Kill();

  ExpectHandOverTo(first, "back-on-roster-a");
}

TEST_F(StartupRaceTest, OfCopiesStartedTogetherOneStaysAndAKilledOneBlocksNothing) {
  SeedConfig();
  const TFileStamp data = StampOf(DataFile());
  const TFileStamp config = StampOf(ConfigFile());

  for (int round = 0; round < kRaceRounds; ++round) {
    SCOPED_TRACE("race " + std::to_string(round));
    const std::vector<TChildProcess*> copies = StartTogether(kCopies, "race" + std::to_string(round));
    ASSERT_TRUE(WaitUntil(kLaterCopyLimit + Scaled(1s), [&] {
      int running = 0;
      for (TChildProcess* copy : copies) running += copy->Running();
      return running <= 1;
    })) << "more than one copy keeps running";

    TChildProcess* first = nullptr;
    for (TChildProcess* copy : copies) {
      if (copy->Running()) {
        ASSERT_EQ(first, nullptr);
        first = copy;
      } else {
        ExpectHandedOverAndEnded(*copy);
      }
    }
    ASSERT_NE(first, nullptr) << "no copy kept running:\n" << LogOf(*copies.front());
    ExpectRunsAsFirstCopy(*first);
    std::printf(
        "race %d: %d copies ended; the staying one was brought to the front %d times (the test's own "
        "probe of its socket included)\n",
        round, kCopies - 1, CountOf(LogOf(*first), kBroughtToFrontSign));
    ExpectHandOverTo(*first, "after-race" + std::to_string(round));

    EXPECT_EQ(StampOf(DataFile()), data) << "raid.dat was touched";
    EXPECT_EQ(StampOf(ConfigFile()), config) << "cfg.ini was touched";

    // A hard kill leaves the lock file and the socket file behind: the next round must not mind.
    first->Kill();
  }

  TChildProcess& restarted = Start("restarted");
  ExpectRunsAsFirstCopy(restarted);
  ExpectHandOverTo(restarted, "after-restart");
}

}  // namespace
}  // namespace kestrum::test
