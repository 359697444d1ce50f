#include "platform/NamedMutex.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrum {

namespace {

int CheckPrivateFolder(const struct stat& st) {
  if (S_ISLNK(st.st_mode)) return ELOOP;
  if (!S_ISDIR(st.st_mode)) return ENOTDIR;
  if (st.st_uid != getuid() || (st.st_mode & (S_IRWXG | S_IRWXO)) != 0) return EPERM;
  return 0;
}

bool IsAbsoluteFolder(const char* APath) {
  struct stat st {};
  return APath != nullptr && APath[0] == '/' && stat(APath, &st) == 0 && S_ISDIR(st.st_mode);
}

TMutexFault FaultOf(int AError) {
  switch (AError) {
    case ENOENT:
    case ENOTDIR:
      return mfMissing;
    case ELOOP:
      return mfLink;
    case EACCES:
      return mfNoAccess;
    case EROFS:
      return mfReadOnly;
    default:
      return mfOther;
  }
}

std::string RealPath(const std::string& APath) {
  char* real = realpath(APath.c_str(), nullptr);
  if (real == nullptr) return {};
  std::string result(real);
  free(real);
  return result;
}

// The file a lock-file link leads to, opened, when it lies in AFolder or below it and every folder
// on the way belongs to this user (whoever owns one could swap the file); else -1 with ELOOP.
// The caller checks that it is a regular file of this user.
int OpenLinkedLockFile(const std::string& AFolder, const std::string& ALink) {
  const std::string folder = RealPath(AFolder);
  const std::string target = RealPath(ALink);
  errno = ELOOP;
  if (folder.empty() || target.compare(0, folder.size() + 1, folder + "/") != 0) return -1;
  for (std::string dir = target.substr(0, target.rfind('/')); dir.size() > folder.size();
       dir.resize(dir.rfind('/'))) {
    struct stat st {};
    if (lstat(dir.c_str(), &st) != 0 || st.st_uid != getuid()) {
      errno = ELOOP;
      return -1;
    }
  }
  // Opened by the real path, so a link turned after the checks is not followed.
  return open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
}

}  // namespace

struct TNamedMutex::TLock {
  explicit TLock(int AFd) : Fd(AFd) {}
  ~TLock() { close(Fd); }
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;
  const int Fd;
};

int EnsurePrivateFolder(const String& APath) {
  const std::string path = ToUtf8(APath);
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) return errno;
    // Someone else may create it between our look and our mkdir: then the check below judges theirs.
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    if (lstat(path.c_str(), &st) != 0) return errno;
  }
  return CheckPrivateFolder(st);
}

String RuntimeFolder(int& error) {
  error = 0;
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (IsAbsoluteFolder(xdg)) return FromUtf8(xdg);

  // /tmp is shared by everyone: the folder must be ours alone, or another user could hold our
  // lock or listen in our place.
  const String folder = u"/tmp/kestrum-" + IntToStr(getuid());
  error = EnsurePrivateFolder(folder);
  return error == 0 ? folder : String();
}

void TNamedMutex::SetResult(int AError, TMutexFault AFault, const String& APath) {
  FLastError = AError;
  FFault = AFault;
  FFaultPath = APath;
}

TNamedMutex::TNamedMutex(const String& AFolder, const String& AName) {
  if (AName.empty() || AName.find(u'/') != String::npos) {
    SetResult(EINVAL, mfOther, String());
    return;
  }
  // Whoever owns the folder or the file could remove the lock file and let a second holder in.
  struct stat st {};
  const std::string folder = ToUtf8(AFolder);
  if (stat(folder.c_str(), &st) != 0) {
    SetResult(errno, FaultOf(errno), AFolder);
    return;
  }
  if (st.st_uid != getuid()) {
    SetResult(EPERM, mfOtherOwner, AFolder);
    return;
  }

  const String lockPath = AFolder + u"/" + AName;
  const std::string path = ToUtf8(lockPath);
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0 && errno == ELOOP) fd = OpenLinkedLockFile(folder, path);
  if (fd < 0) {
    SetResult(errno, FaultOf(errno), lockPath);
    return;
  }
  auto lock = std::make_unique<TLock>(fd);
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    SetResult(EPERM, mfOther, lockPath);
  } else if (st.st_uid != getuid()) {
    SetResult(EPERM, mfOtherOwner, lockPath);
  } else if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    // The lock belongs to this open file: a crashed holder leaves the file but not the lock.
    if (errno == EWOULDBLOCK)
      FLastError = kMutexAlreadyExists;
    else
      SetResult(errno, FaultOf(errno), lockPath);
  }
  if (FLastError == kMutexCreated) FLock = std::move(lock);
}

TNamedMutex::~TNamedMutex() = default;

}  // namespace kestrum
