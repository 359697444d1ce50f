#include "platform/notifyBTF.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>

#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/TempHome.h"

extern char** environ;

namespace kestrum {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr char16_t kEventName[] = u"Kestrum2010_Notifier";

// Runs notify_probe as a later copy of the program would signal; its exit code (0 delivered,
// 1 not delivered), or -1 when it could not be run.
int RunNotifyProbe(int ATimeOutMs = 2000) {
  std::string event = ToUtf8(kEventName);
  std::string timeOut = std::to_string(ATimeOutMs);
  char probe[] = KESTRUM_NOTIFY_PROBE;
  char* argv[] = {probe, event.data(), timeOut.data(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, probe, nullptr, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The receiving window: counts the posted bring-to-front messages. Optionally holds the wait
// thread inside its first post until released, so that signals can pile up meanwhile.
class PostCounter final {
 public:
  explicit PostCounter(bool AHoldFirstPost = false) : FHold(AHoldFirstPost) {}

  TPostMessageFunc Func() {
    return [this] {
      std::unique_lock lock(FMutex);
      ++FCount;
      FChanged.notify_all();
      if (FCount == 1) FChanged.wait(lock, [this] { return !FHold; });
    };
  }
  bool WaitForCount(int ACount, std::chrono::milliseconds ATimeout = 5s) {
    std::unique_lock lock(FMutex);
    return FChanged.wait_for(lock, ATimeout, [&] { return FCount >= ACount; });
  }
  int Count() {
    std::lock_guard lock(FMutex);
    return FCount;
  }
  void Release() {
    {
      std::lock_guard lock(FMutex);
      FHold = false;
    }
    FChanged.notify_all();
  }

 private:
  std::mutex FMutex;
  std::condition_variable FChanged;
  int FCount = 0;
  bool FHold;
};

class NotifyBTFTest : public test::TempHomeTest {
 protected:
  fs::path SocketPath() const { return home_.RuntimeDir() / "Kestrum2010_Notifier"; }

  // Leaves a socket file behind as a crashed receiver would.
  void MakeStaleSocket() const {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = SocketPath().string();
    path.copy(addr.sun_path, sizeof addr.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr), 0);
    close(fd);
  }
};

TEST_F(NotifyBTFTest, SignalFromAnotherProcessPostsOnce) {
  PostCounter posts;
  const auto receiver = TNotifyBringingToFront::CreateForNew(kEventName, posts.Func());
  ASSERT_TRUE(receiver->WaitThread()->HasEvent());

  EXPECT_EQ(RunNotifyProbe(), 0);
  EXPECT_TRUE(posts.WaitForCount(1));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(posts.Count(), 1);
}

TEST_F(NotifyBTFTest, SignalsArrivingWhileBusyPostOnce) {
  PostCounter posts(/*AHoldFirstPost=*/true);
  const auto receiver = TNotifyBringingToFront::CreateForNew(kEventName, posts.Func());
  ASSERT_EQ(RunNotifyProbe(), 0);
  ASSERT_TRUE(posts.WaitForCount(1));  // the wait thread is now held inside its first post

  for (int i = 0; i < 4; ++i) EXPECT_EQ(RunNotifyProbe(), 0) << "probe " << i;
  posts.Release();

  EXPECT_TRUE(posts.WaitForCount(2));
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(posts.Count(), 2);  // the four waiting signals made one message
}

TEST_F(NotifyBTFTest, NotifyWithoutReceiverGivesUpAfterTimeOut) {
  const auto notifier = TNotifyBringingToFront::CreateForNotify(kEventName);
  EXPECT_EQ(notifier->WaitThread(), nullptr);
  const auto start = Clock::now();
  EXPECT_FALSE(notifier->Notify(2000));
  EXPECT_GE(Clock::now() - start, 1500ms);  // it kept retrying for about the time-out
}

TEST_F(NotifyBTFTest, NotifyWaitsForAReceiverThatStartsLate) {
  const auto notifier = TNotifyBringingToFront::CreateForNotify(kEventName);
  PostCounter posts;
  std::unique_ptr<TNotifyBringingToFront> receiver;
  std::thread starter([&] {
    std::this_thread::sleep_for(300ms);
    receiver = TNotifyBringingToFront::CreateForNew(kEventName, posts.Func());
  });
  EXPECT_TRUE(notifier->Notify(5000));
  starter.join();
  EXPECT_TRUE(posts.WaitForCount(1));
}

TEST_F(NotifyBTFTest, StaleSocketIsReplaced) {
  MakeStaleSocket();
  EXPECT_EQ(RunNotifyProbe(0), 1);  // nobody listens on it

  PostCounter posts;
  const auto receiver = TNotifyBringingToFront::CreateForNew(kEventName, posts.Func());
  ASSERT_TRUE(receiver->WaitThread()->HasEvent());
  EXPECT_EQ(RunNotifyProbe(), 0);
  EXPECT_TRUE(posts.WaitForCount(1));
}

TEST_F(NotifyBTFTest, OtherFilesAtTheSocketPathAreLeftAlone) {
  const fs::path target = home_.Root() / "target";
  struct Case {
    const char* name;
    std::function<void()> setUp;
    fs::file_type type;
  };
  const Case cases[] = {
      {"regular file", [&] { test::WriteFileBytes(SocketPath(), "keep"); }, fs::file_type::regular},
      {"folder", [&] { fs::create_directory(SocketPath()); }, fs::file_type::directory},
      {"link", [&] { fs::create_symlink(target, SocketPath()); }, fs::file_type::symlink},
  };
  for (const Case& c : cases) {
    fs::remove_all(SocketPath());
    c.setUp();
    PostCounter posts;
    auto receiver = TNotifyBringingToFront::CreateForNew(kEventName, posts.Func());
    EXPECT_FALSE(receiver->WaitThread()->HasEvent()) << c.name;
    const auto start = Clock::now();
    receiver.reset();
    EXPECT_LT(Clock::now() - start, 2s) << c.name;
    EXPECT_EQ(fs::symlink_status(SocketPath()).type(), c.type) << c.name;
    EXPECT_EQ(posts.Count(), 0) << c.name;
  }
  EXPECT_FALSE(fs::exists(target));  // the link was not followed
}

TEST_F(NotifyBTFTest, DestructionIsPromptAndRemovesTheSocket) {
  PostCounter posts;
  auto receiver = TNotifyBringingToFront::CreateForNew(kEventName, posts.Func());
  ASSERT_TRUE(fs::is_socket(SocketPath()));
  const auto start = Clock::now();
  receiver.reset();
  EXPECT_LT(Clock::now() - start, 2s);
  EXPECT_FALSE(fs::exists(fs::symlink_status(SocketPath())));
}

TEST_F(NotifyBTFTest, DestructionKeepsTheSocketOfALaterReceiver) {
  PostCounter oldPosts;
  PostCounter newPosts;
  auto oldReceiver = TNotifyBringingToFront::CreateForNew(kEventName, oldPosts.Func());
  // A copy started after the old one gave up the mutex takes the name over.
  const auto newReceiver = TNotifyBringingToFront::CreateForNew(kEventName, newPosts.Func());
  ASSERT_TRUE(newReceiver->WaitThread()->HasEvent());
  oldReceiver.reset();

  ASSERT_TRUE(fs::is_socket(SocketPath()));
  EXPECT_EQ(RunNotifyProbe(), 0);
  EXPECT_TRUE(newPosts.WaitForCount(1));
  EXPECT_EQ(oldPosts.Count(), 0);
}

TEST_F(NotifyBTFTest, RuntimePathTooLongForASocketIsRefused) {
  fs::path deep = home_.Root();
  while (deep.string().size() < sizeof(sockaddr_un::sun_path)) deep /= "a-rather-long-folder-name";
  fs::create_directories(deep);
  setenv("XDG_RUNTIME_DIR", deep.c_str(), 1);

  PostCounter posts;
  const auto receiver = TNotifyBringingToFront::CreateForNew(kEventName, posts.Func());
  EXPECT_FALSE(receiver->WaitThread()->HasEvent());
  const auto notifier = TNotifyBringingToFront::CreateForNotify(kEventName);
  const auto start = Clock::now();
  EXPECT_FALSE(notifier->Notify(2000));
  EXPECT_LT(Clock::now() - start, 1500ms);  // gave up at once instead of retrying in vain
}

}  // namespace
}  // namespace kestrum
