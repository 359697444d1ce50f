#include "base/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "base/TempFileNames.h"

namespace kestrum {

const char16_t PathDelim = u'/';

namespace {

String Quoted(const String& text) {
  return u"\"" + text + u"\"";
}

[[noreturn]] void FailBecause(const char16_t* verb, const String& subject, const String& reason) {
  throw EFileError(String(verb) + u" " + subject + u": " + reason);
}

[[noreturn]] void Fail(const char16_t* verb, const String& path, int error) {
  FailBecause(verb, Quoted(path), SystemErrorMessage(error));
}

// A NUL inside a name would silently cut it short and address another file.
bool ToNativePath(const String& path, std::string& native) {
  if (path.empty() || path.find(u'\0') != String::npos) return false;
  native = ToUtf8(path);
  return true;
}

std::string NativeOrFail(const char16_t* verb, const String& path) {
  std::string native;
  if (!ToNativePath(path, native)) Fail(verb, path, ENOENT);
  return native;
}

bool StatPath(const String& path, struct stat& info) {
  std::string native;
  return ToNativePath(path, native) && stat(native.c_str(), &info) == 0;
}

// Closes the descriptor on every path; Release() hands the closing (and its error) to the caller.
class FileDescriptor final {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) {
      errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Creates "<target>.tmp-XXXXXX" exclusively. The mode 0666 lets the umask decide a new file's
// permissions, as for any other file the user creates.
int CreateTempFile(const std::string& target, std::string& tempPath) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = target + ToUtf8(kTempInfix + RandomTempSuffix());
    const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

std::string NativeDir(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The path a write to path lands on: its links followed one by one (a relative target counts from
// the link's folder), whether or not the last one exists, so that a dangling link is written
// through too. 0, or the errno that stopped the walk.
int FollowLinks(const std::string& path, std::string& target) {
  constexpr int kMaxLinks = 40;  // the kernel's own limit
  target = path;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat info;
    if (lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
    char buffer[PATH_MAX];
    const ssize_t length = readlink(target.c_str(), buffer, sizeof buffer);
    if (length < 0) return errno;
    if (static_cast<size_t>(length) >= sizeof buffer) return ENAMETOOLONG;
    const std::string next(buffer, static_cast<size_t>(length));
    if (next.front() == '/') {
      target = next;
    } else {
      target = NativeDir(target);
      target += '/';
      target += next;
    }
  }
  return ELOOP;
}

// Makes the rename itself durable. Some file systems cannot sync a folder; the new content is in
// place by then, so a failure here is not reported as a failed write.
void SyncFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// Temporary files of earlier writes to target that a crash or kill cut off. Only one copy of the
// program writes its files, so any such file is a leftover.
void RemoveStaleTempFiles(const std::string& target) {
  const std::string folder = NativeDir(target);
  const size_t slash = target.rfind('/');
  const std::string prefix =
      (slash == std::string::npos ? target : target.substr(slash + 1)) + ToUtf8(kTempInfix);
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  const std::string folderSlash = folder + "/";
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + kTempSuffixLength || name.compare(0, prefix.size(), prefix) != 0)
      continue;
    const std::string stale = folderSlash + name;
    struct stat info;
    if (lstat(stale.c_str(), &info) == 0 && S_ISREG(info.st_mode)) unlink(stale.c_str());
  }
  closedir(dir);
}

}  // namespace

String SystemErrorMessage(int error) {
  char buffer[256];
  return FromUtf8(strerror_r(error, buffer, sizeof buffer));
}

String LinkTarget(const String& path) {
  std::string native, target;
  if (!ToNativePath(path, native) || FollowLinks(native, target) != 0) return path;
  return FromUtf8(target);
}

bool FileExists(const String& path) {
  struct stat info;
  return StatPath(path, info) && S_ISREG(info.st_mode);
}

bool DirectoryExists(const String& path) {
  struct stat info;
  return StatPath(path, info) && S_ISDIR(info.st_mode);
}

std::string ReadFileBytes(const String& path) {
  const std::string native = NativeOrFail(u"Cannot read", path);
  FileDescriptor fd(open(native.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) Fail(u"Cannot read", path, errno);
  std::string bytes;
  struct stat info;
  if (fstat(fd.Get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
    bytes.reserve(static_cast<size_t>(info.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t count = read(fd.Get(), buffer, sizeof buffer);
    if (count < 0) {
      if (errno == EINTR) continue;
      Fail(u"Cannot read", path, errno);
    }
    if (count == 0) break;
    bytes.append(buffer, static_cast<size_t>(count));
  }
  return bytes;
}

int64_t FileSize(const String& path) {
  std::string native;
  struct stat info;
  if (!ToNativePath(path, native) || stat(native.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return -1;
  return static_cast<int64_t>(info.st_size);
}

void WriteFileAtomic(const String& path, std::string_view bytes) {
  const std::string native = NativeOrFail(u"Cannot write", path);
  std::string target;
  if (const int error = FollowLinks(native, target)) Fail(u"Cannot write", path, error);
  // Errors about a link name both it and the file it leads to.
  const String subject =
      target == native ? Quoted(path) : Quoted(path) + u" (a link to " + Quoted(FromUtf8(target)) + u")";
  const auto failBecause = [&](const String& reason) { FailBecause(u"Cannot write", subject, reason); };
  const auto fail = [&](int error) { failBecause(SystemErrorMessage(error)); };

  const std::string folder = NativeDir(target);
  struct stat folderInfo;
  if (target != native && stat(folder.c_str(), &folderInfo) != 0 && errno == ENOENT)
    // A sync drive that is not mounted, say: a local file in the link's place would go unseen.
    failBecause(u"the folder " + Quoted(FromUtf8(folder)) + u" does not exist");
  struct stat existing;
  const bool exists = stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) fail(EISDIR);
  // The rename would replace it regardless of its mode, and root passes every permission check.
  if (exists && (existing.st_mode & S_IWUSR) == 0)
    failBecause(u"the file is read-only (its owner has no write permission)");

  std::string tempPath;
  FileDescriptor fd(CreateTempFile(target, tempPath));
  if (fd.Get() < 0) fail(errno);
  const auto failAndClean = [&](int error) {
    unlink(tempPath.c_str());
    fail(error);
  };
  if (exists) {
    // Keep the old file's permissions and owner (the owner can only change when we are root).
    if (fchmod(fd.Get(), existing.st_mode & 07777) != 0) failAndClean(errno);
    if (fchown(fd.Get(), existing.st_uid, existing.st_gid) != 0) {
      // Not being allowed to give the file away is no reason to fail the write.
    }
  }
  if (!WriteAll(fd.Get(), bytes) || fsync(fd.Get()) != 0) failAndClean(errno);
  if (close(fd.Release()) != 0) failAndClean(errno);
  if (rename(tempPath.c_str(), target.c_str()) != 0) failAndClean(errno);
  SyncFolder(folder);
  RemoveStaleTempFiles(target);
}

bool WriteNewFile(const String& path, std::string_view bytes) {
  const std::string native = NativeOrFail(u"Cannot write", path);
  FileDescriptor fd(open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (fd.Get() < 0) {
    if (errno == EEXIST) return false;
    Fail(u"Cannot write", path, errno);
  }
  if (!WriteAll(fd.Get(), bytes) || fsync(fd.Get()) != 0 || close(fd.Release()) != 0) {
    const int error = errno;
    unlink(native.c_str());  // a file cut short by a full disk is no copy
    Fail(u"Cannot write", path, error);
  }
  SyncFolder(NativeDir(native));
  return true;
}

bool DeleteFile(const String& path) {
  std::string native;
  return ToNativePath(path, native) && unlink(native.c_str()) == 0;
}

bool RenameFile(const String& from, const String& to) {
  std::string nativeFrom, nativeTo;
  return ToNativePath(from, nativeFrom) && ToNativePath(to, nativeTo) &&
         rename(nativeFrom.c_str(), nativeTo.c_str()) == 0;
}

bool ForceDirectories(const String& folder) {
  std::string native;
  if (!ToNativePath(folder, native)) return false;
  for (size_t slash = native.find('/', 1); slash != std::string::npos; slash = native.find('/', slash + 1))
    mkdir(native.substr(0, slash).c_str(), 0777);
  mkdir(native.c_str(), 0777);
  return DirectoryExists(folder);
}

String ExtractFileDir(const String& path) {
  const size_t slash = path.rfind(PathDelim);
  if (slash == String::npos) return {};
  return slash == 0 ? String(1, PathDelim) : path.substr(0, slash);
}

String ProgramFolder() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  const String exe = FromUtf8(std::string_view(buffer, static_cast<size_t>(length)));
  return exe.substr(0, exe.rfind(PathDelim) + 1);
}

}  // namespace kestrum
