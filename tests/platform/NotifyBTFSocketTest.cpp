#include "platform/notifyBTF.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/platform/PostCounter.h"
#include "tests/platform/Probe.h"
#include "tests/support/TempHome.h"

namespace kestrum {
namespace {

using test::PostCounter;
using test::RunNotifyProbe;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr char16_t kEventName[] = u"Kestrum2010_Notifier";

String ToString(const fs::path& APath) {
  return FromUtf8(APath.string());
}

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

TEST_F(NotifyBTFTest, StaleSocketIsReplaced) {
  MakeStaleSocket();
  EXPECT_EQ(RunNotifyProbe(kEventName, 0), 1);  // nobody listens on it

  PostCounter posts;
  const auto receiver = TNotifyBringingToFront::CreateForNew(kEventName, posts.Func());
  ASSERT_TRUE(receiver->WaitThread()->HasEvent());
  EXPECT_EQ(RunNotifyProbe(kEventName), 0);
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
    EXPECT_LT(Clock::now() - start, test::Scaled(2s)) << c.name;
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
  EXPECT_LT(Clock::now() - start, test::Scaled(2s));
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
  EXPECT_EQ(RunNotifyProbe(kEventName), 0);
  EXPECT_TRUE(newPosts.WaitForCount(1));
  EXPECT_EQ(oldPosts.Count(), 0);
}

// Each roster has its own hand-over: a receiver serves only starts for the roster whose lock folder
// it was scoped to, however that folder is spelled.
TEST_F(NotifyBTFTest, ScopedHandOverReachesOnlyItsOwnRoster) {
  const fs::path rosterA = home_.Root() / "a" / "Kestrum";
  const fs::path rosterB = home_.Root() / "b" / "Kestrum";
  fs::create_directories(rosterA);
  fs::create_directories(rosterB);
  fs::create_directory_symlink(home_.Root() / "a", home_.Root() / "a-link");
  const String nameA = ScopedEventName(kEventName, ToString(rosterA));
  EXPECT_EQ(ScopedEventName(kEventName, ToString(home_.Root() / "a-link" / "Kestrum")), nameA);
  EXPECT_EQ(ScopedEventName(kEventName, ToString(rosterA) + u"/"), nameA);
  EXPECT_NE(ScopedEventName(kEventName, ToString(rosterB)), nameA);

  PostCounter postsA;
  SetHandOverScope(ToString(rosterA));
  const auto receiverA = TNotifyBringingToFront::CreateForNew(kEventName, postsA.Func());
  ASSERT_TRUE(receiverA->WaitThread()->HasEvent());
  EXPECT_TRUE(fs::is_socket(home_.RuntimeDir() / ToUtf8(nameA)));

  // A copy on roster B listens and goes; A's socket is untouched and B's starts do not reach A.
  SetHandOverScope(ToString(rosterB));
  {
    PostCounter postsB;
    const auto receiverB = TNotifyBringingToFront::CreateForNew(kEventName, postsB.Func());
    ASSERT_TRUE(receiverB->WaitThread()->HasEvent());
  }
  EXPECT_FALSE(TNotifyBringingToFront::CreateForNotify(kEventName)->Notify(0));

  SetHandOverScope(ToString(rosterA));
  EXPECT_TRUE(TNotifyBringingToFront::CreateForNotify(kEventName)->Notify(test::ScaledMs(2000)));
  EXPECT_TRUE(postsA.WaitForCount(1));
  SetHandOverScope(String());
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
  EXPECT_FALSE(notifier->Notify(test::ScaledMs(2000)));
  EXPECT_LT(Clock::now() - start, test::Scaled(1500ms));  // gave up at once instead of retrying in vain
}

}  // namespace
}  // namespace kestrum
