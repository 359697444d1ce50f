#include "platform/notifyBTF.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/NamedMutex.h"

namespace kestrum {

namespace {

constexpr int kStepMs = 100;

String& HandOverScope() {
  static String scope;
  return scope;
}

std::string HexOf(uint64_t AValue) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int i = 15; i >= 0; --i, AValue >>= 4) text[static_cast<size_t>(i)] = kDigits[AValue & 0xF];
  return text;
}

// FNV-1a: stable across runs and builds, which std::hash does not promise.
uint64_t Fnv1a(const std::string& ABytes) {
  uint64_t hash = 14695981039346656037ull;
  for (const unsigned char byte : ABytes) hash = (hash ^ byte) * 1099511628211ull;
  return hash;
}

void SleepStep() {
  std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
}

// The socket file standing for the event: AEventName, scoped to this process's roster, in the
// runtime folder. Empty when there is no safe runtime folder or the name is not a plain file name.
std::string SocketPath(const String& AEventName) {
  if (AEventName.empty() || AEventName.find(u'/') != String::npos) return {};
  int error = 0;
  const String folder = RuntimeFolder(error);
  const String& scope = HandOverScope();
  const String name = scope.empty() ? AEventName : ScopedEventName(AEventName, scope);
  return error == 0 ? ToUtf8(folder + u"/" + name) : std::string();
}

// False when APath is empty or too long for a socket address.
bool MakeAddress(const std::string& APath, sockaddr_un& AAddr) {
  AAddr = sockaddr_un{};
  AAddr.sun_family = AF_UNIX;
  if (APath.empty() || APath.size() >= sizeof(AAddr.sun_path)) return false;
  std::memcpy(AAddr.sun_path, APath.data(), APath.size());
  return true;
}

const sockaddr* AsSockaddr(const sockaddr_un& AAddr) {
  return reinterpret_cast<const sockaddr*>(&AAddr);
}

// A socket file left by a receiver that is gone is removed; anything else at the path (a file,
// a folder, a link) is left alone and makes the caller give up.
bool RemoveStaleSocket(const std::string& APath) {
  struct stat st {};
  if (lstat(APath.c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISSOCK(st.st_mode)) return false;
  return unlink(APath.c_str()) == 0 || errno == ENOENT;
}

// A non-blocking listening socket bound to APath, or -1. ACreated receives the socket file's identity.
int Listen(const std::string& APath, struct stat& ACreated) {
  sockaddr_un addr;
  if (!MakeAddress(APath, addr) || !RemoveStaleSocket(APath)) return -1;
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (bind(fd, AsSockaddr(addr), sizeof addr) != 0) {
    close(fd);
    return -1;
  }
  if (listen(fd, SOMAXCONN) != 0 || lstat(APath.c_str(), &ACreated) != 0) {
    unlink(APath.c_str());
    close(fd);
    return -1;
  }
  return fd;
}

struct TDrained {
  int Accepted = 0;
  bool Failed = false;  // accepting failed for another reason than no connection left
};

// Accepts and closes every pending connection: a burst of signals counts as one.
TDrained DrainConnections(int AListener) {
  TDrained result;
  for (;;) {
    const int conn = accept4(AListener, nullptr, nullptr, SOCK_CLOEXEC);
    if (conn >= 0) {
      close(conn);
      ++result.Accepted;
    } else if (errno != EINTR && errno != ECONNABORTED) {
      result.Failed = errno != EAGAIN && errno != EWOULDBLOCK;
      return result;
    }
  }
}

// One attempt to reach the receiver at AAddr; true when it took the connection.
bool SignalReceiver(const sockaddr_un& AAddr) {
  // Non-blocking, so that a receiver with a full backlog is retried rather than waited on.
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const bool connected = connect(fd, AsSockaddr(AAddr), sizeof AAddr) == 0;
  if (connected) {
    // The connection itself is the signal: the byte is a courtesy and may find the receiver gone.
    const char byte = 1;
    (void)send(fd, &byte, 1, MSG_NOSIGNAL);
  }
  close(fd);
  return connected;
}

}  // namespace

void SetHandOverScope(const String& AFolder) {
  HandOverScope() = AFolder;
}

// The real path, so that every spelling of the folder (a trailing slash, a link on the way) that
// reaches the same lock file reaches the same socket.
String ScopedEventName(const String& AEventName, const String& AFolder) {
  const std::string folder = ToUtf8(AFolder);
  char* real = realpath(folder.c_str(), nullptr);
  const std::string key = real != nullptr ? std::string(real) : folder;
  free(real);
  return AEventName + u"-" + FromUtf8(HexOf(Fnv1a(key)));
}

struct TWaitThread::TEvent {
  int Fd;
  std::string SocketPath;  // UTF-8; the socket file this thread created
  dev_t SocketDev;         // identity of that file, so that only it is removed
  ino_t SocketIno;

  TEvent(int AFd, std::string APath, const struct stat& ACreated)
      : Fd(AFd), SocketPath(std::move(APath)), SocketDev(ACreated.st_dev), SocketIno(ACreated.st_ino) {}
  // A copy started after ours gave up the mutex may already listen under the same name: remove
  // the socket file only while it is still the one we bound (checked before closing, so that its
  // inode cannot have been reused).
  ~TEvent() {
    struct stat st {};
    if (lstat(SocketPath.c_str(), &st) == 0 && st.st_dev == SocketDev && st.st_ino == SocketIno) {
      unlink(SocketPath.c_str());
    }
    close(Fd);
  }
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;
};

TWaitThread::TWaitThread(const String& AEventName, TPostMessageFunc APost) : FPost(std::move(APost)) {
  std::string path = SocketPath(AEventName);
  struct stat created {};
  const int fd = Listen(path, created);
  if (fd >= 0) FEvent = std::make_unique<TEvent>(fd, std::move(path), created);
  FThread = std::thread(&TWaitThread::Execute, this);
}

TWaitThread::~TWaitThread() {
  Terminate();
  if (FThread.joinable()) FThread.join();
}

void TWaitThread::Execute() {
  while (!FTerminated) {
    if (!FEvent || !FPost) {
      SleepStep();
      continue;
    }
    pollfd pfd{FEvent->Fd, POLLIN, 0};
    const int ready = poll(&pfd, 1, kStepMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
      Terminate();  // the socket is unusable: stop for good, later signals go unanswered
      break;
    }
    if (ready == 0) continue;

    const TDrained drained = DrainConnections(FEvent->Fd);
    if (drained.Accepted > 0 && !FTerminated) FPost();
    // Out of descriptors, say: pause a step instead of spinning on a connection we cannot take.
    if (drained.Failed) SleepStep();
  }
}

bool TNotifyBringingToFront::Notify(int ATimeOutTime) {
  sockaddr_un addr;
  // Without a usable runtime folder or with a path too long for a socket, no receiver can exist.
  if (!MakeAddress(SocketPath(FEventName), addr)) return false;

  int waited = 0;
  do {
    if (SignalReceiver(addr)) return true;
    SleepStep();
    waited += kStepMs;
  } while (waited < ATimeOutTime);
  return false;
}

}  // namespace kestrum
