#include "platform/NamedMutex.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/TempHome.h"

namespace kestrum {
namespace {

namespace fs = std::filesystem;

String ToString(const fs::path& APath) {
  return FromUtf8(APath.string());
}

// A child process that takes the mutex, tells its result and then waits to be killed, so that the
// lock goes away the way it does when the program crashes.
class MutexHolderProcess final {
 public:
  MutexHolderProcess(const String& AFolder, const String& AName) {
    int fds[2];
    if (pipe(fds) != 0) return;
    FPid = fork();
    if (FPid == 0) {
      close(fds[0]);
      TNamedMutex mutex(AFolder, AName);
      const int result = mutex.LastError();
      (void)!write(fds[1], &result, sizeof result);
      for (;;) pause();
    }
    close(fds[1]);
    if (FPid < 0 || read(fds[0], &FResult, sizeof FResult) != sizeof FResult) FResult = -1;
    close(fds[0]);
  }
  ~MutexHolderProcess() { Kill(); }

  int Result() const { return FResult; }
  void Kill() {
    if (FPid <= 0) return;
    kill(FPid, SIGKILL);
    waitpid(FPid, nullptr, 0);
    FPid = -1;
  }

 private:
  pid_t FPid = -1;
  int FResult = -1;
};

class NamedMutexTest : public test::TempHomeTest {
 protected:
  NamedMutexTest() { fs::create_directories(home_.AppFolder()); }

  fs::path LockFolder() const { return home_.AppFolder(); }
  std::unique_ptr<TNamedMutex> Lock(const String& AName = u"Kestrum2010") const {
    return std::make_unique<TNamedMutex>(ToString(LockFolder()), AName);
  }
  MutexHolderProcess LockInChild() const {
    return MutexHolderProcess(ToString(LockFolder()), u"Kestrum2010");
  }
};

TEST_F(NamedMutexTest, SecondHolderInTheSameProcessIsRefused) {
  auto first = Lock();
  EXPECT_EQ(first->LastError(), kMutexCreated);
  EXPECT_EQ(Lock()->LastError(), kMutexAlreadyExists);
  EXPECT_EQ(Lock(u"OtherName")->LastError(), kMutexCreated);

  first.reset();
  EXPECT_EQ(Lock()->LastError(), kMutexCreated);
}

TEST_F(NamedMutexTest, OtherProcessSeesTheMutexTaken) {
  const auto mine = Lock();
  ASSERT_EQ(mine->LastError(), kMutexCreated);
  EXPECT_EQ(LockInChild().Result(), kMutexAlreadyExists);
}

// The lock is a file in the given folder, so it does not depend on the session's environment.
TEST_F(NamedMutexTest, ProcessWithoutTheSessionFolderStillSeesTheMutexTaken) {
  const auto mine = Lock();
  ASSERT_EQ(mine->LastError(), kMutexCreated);
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(LockInChild().Result(), kMutexAlreadyExists);
}

TEST_F(NamedMutexTest, KilledHolderLeavesNoLockBehind) {
  MutexHolderProcess other = LockInChild();
  ASSERT_EQ(other.Result(), kMutexCreated);
  EXPECT_EQ(Lock()->LastError(), kMutexAlreadyExists);

  other.Kill();
  EXPECT_TRUE(fs::exists(LockFolder() / "Kestrum2010"));  // the file stays, the lock does not
  EXPECT_EQ(Lock()->LastError(), kMutexCreated);
}

TEST_F(NamedMutexTest, LockFileThatCannotBeOpenedGivesItsErrno) {
  const fs::path lock = LockFolder() / "Kestrum2010";
  struct Case {
    const char* name;
    std::function<void()> setUp;
    String mutexName;
    int expected;
  };
  const Case cases[] = {
      {"folder in its place", [&] { fs::create_directory(lock); }, u"Kestrum2010", EISDIR},
      {"link in its place", [&] { fs::create_symlink(home_.Root() / "elsewhere", lock); }, u"Kestrum2010",
       ELOOP},
      {"pipe in its place", [&] { mkfifo(lock.c_str(), 0600); }, u"Kestrum2010", EPERM},
      {"name with a slash", [] {}, u"../Kestrum2010", EINVAL},
  };
  for (const Case& c : cases) {
    fs::remove_all(lock);
    c.setUp();
    EXPECT_EQ(Lock(c.mutexName)->LastError(), c.expected) << c.name;
  }
  EXPECT_FALSE(fs::exists(home_.Root() / "elsewhere"));  // the link was not followed
  EXPECT_EQ(TNamedMutex(ToString(home_.Root() / "missing"), u"Kestrum2010").LastError(), ENOENT);
}

// Dotfile managers put links in place of files. A link to a regular file of this user inside the
// lock's folder is followed, and every copy then locks that one file; any other link is refused.
TEST_F(NamedMutexTest, LockFileLinkIsFollowedOnlyToAFileOfOursInTheFolder) {
  const fs::path lock = LockFolder() / "Kestrum2010";
  const fs::path outside = home_.Root() / "dotfiles" / "Kestrum2010";
  struct Case {
    const char* shape;
    fs::path target;  // what the link leads to; the test makes it a regular file unless dangling
    bool dangling;
    int expected;
  };
  const Case cases[] = {
      {"to a file beside it", LockFolder() / "lock.real", false, kMutexCreated},
      {"to a file in a folder below", LockFolder() / "locks" / "Kestrum2010", false, kMutexCreated},
      {"relative, to a file beside it", "lock.real", false, kMutexCreated},
      {"to a file outside the folder", outside, false, ELOOP},
      {"dangling, inside the folder", LockFolder() / "gone", true, ELOOP},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shape);
    fs::remove_all(LockFolder());
    fs::remove_all(outside.parent_path());
    fs::create_directories(LockFolder());
    const fs::path target = c.target.is_absolute() ? c.target : LockFolder() / c.target;
    if (!c.dangling) {
      fs::create_directories(target.parent_path());
      test::WriteFileBytes(target, "");
    }
    fs::create_symlink(c.target, lock);

    const auto mine = Lock();
    EXPECT_EQ(mine->LastError(), c.expected);
    if (c.expected == kMutexCreated) {
      EXPECT_EQ(LockInChild().Result(), kMutexAlreadyExists) << "the link and its file are one lock";
    } else {
      EXPECT_EQ(mine->Fault(), mfLink);
      EXPECT_EQ(mine->FaultPath(), ToString(lock));
    }
    EXPECT_TRUE(fs::is_symlink(lock));
    EXPECT_EQ(fs::exists(target), !c.dangling);
  }
}

// What the start-up message needs: the path concerned and a kind of fault the user can act on.
TEST_F(NamedMutexTest, FailureNamesThePathAndTheKindOfFault) {
  const fs::path unmounted = home_.Root() / "unmounted" / "Kestrum";
  const fs::path linked = home_.Root() / "linked";
  fs::create_directory_symlink(unmounted, linked);
  const TNamedMutex missing(ToString(linked), u"Kestrum2010");
  EXPECT_EQ(missing.LastError(), ENOENT);
  EXPECT_EQ(missing.Fault(), mfMissing);
  EXPECT_EQ(missing.FaultPath(), ToString(linked));

  const auto held = Lock();
  EXPECT_EQ(held->Fault(), mfNone);
  EXPECT_EQ(Lock()->Fault(), mfNone);  // held by another copy is no fault
  EXPECT_TRUE(Lock()->FaultPath().empty());

  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand a folder to another user";
  const fs::path foreign = home_.Root() / "foreign";
  fs::create_directory(foreign);
  ASSERT_EQ(chown(foreign.c_str(), 65534, 65534), 0);
  const TNamedMutex other(ToString(foreign), u"Kestrum2010");
  EXPECT_EQ(other.LastError(), EPERM);
  EXPECT_EQ(other.Fault(), mfOtherOwner);
  EXPECT_EQ(other.FaultPath(), ToString(foreign));
}

// Another user could remove a lock file in a place of theirs and let a second copy in.
TEST_F(NamedMutexTest, LockFileOrFolderOfAnotherUserIsRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand a file to another user";
  const fs::path lock = LockFolder() / "Kestrum2010";
  test::WriteFileBytes(lock, "");
  ASSERT_EQ(chown(lock.c_str(), 65534, 65534), 0);
  EXPECT_EQ(Lock()->LastError(), EPERM);

  fs::remove(lock);
  ASSERT_EQ(chown(LockFolder().c_str(), 65534, 65534), 0);
  EXPECT_EQ(Lock()->LastError(), EPERM);
  EXPECT_FALSE(fs::exists(lock));
}

TEST_F(NamedMutexTest, PrivateFolderIsCreatedOrRefused) {
  const fs::path root = home_.Root();
  fs::create_directory(root / "private");
  chmod((root / "private").c_str(), 0700);
  fs::create_directory(root / "open");
  chmod((root / "open").c_str(), 0755);
  test::WriteFileBytes(root / "file", "x");
  fs::create_symlink(root / "private", root / "link");

  struct Case {
    const char* name;
    int expected;
  };
  const Case cases[] = {
      {"private", 0},    {"missing", 0},  {"open", EPERM},
      {"file", ENOTDIR}, {"link", ELOOP}, {"file/below", ENOTDIR},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EnsurePrivateFolder(ToString(root / c.name)), c.expected) << c.name;
  }
  struct stat st {};
  ASSERT_EQ(lstat((root / "missing").c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(NamedMutexTest, FolderOfAnotherUserIsRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to hand a folder to another user";
  const fs::path folder = home_.Root() / "foreign";
  fs::create_directory(folder);
  chmod(folder.c_str(), 0700);
  ASSERT_EQ(chown(folder.c_str(), 65534, 65534), 0);
  EXPECT_EQ(EnsurePrivateFolder(ToString(folder)), EPERM);
}

TEST_F(NamedMutexTest, RuntimeFolderIsXdgRuntimeDirOrPrivateTmpFolder) {
  int error = -1;
  EXPECT_EQ(RuntimeFolder(error), ToString(home_.RuntimeDir()));
  EXPECT_EQ(error, 0);

  // Not absolute, or missing: the private folder in /tmp instead.
  for (const char* xdg : {"relative/run", "/nonexistent/kestrum-run"}) {
    setenv("XDG_RUNTIME_DIR", xdg, 1);
    const String folder = RuntimeFolder(error);
    EXPECT_EQ(error, 0) << xdg;
    EXPECT_EQ(folder, u"/tmp/kestrum-" + IntToStr(getuid())) << xdg;
  }
}

}  // namespace
}  // namespace kestrum
