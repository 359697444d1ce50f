#pragma once

#include <memory>

#include "base/Strings.h"

namespace kestrum {

// GetLastError codes of the named mutex.
inline constexpr int kMutexCreated = 0;
inline constexpr int kMutexAlreadyExists = 183;  // ERROR_ALREADY_EXISTS

// The per-session runtime folder for the hand-over socket: $XDG_RUNTIME_DIR, else a
// private 0700 folder /tmp/kestrum-<uid> that must be owned by the user and must not be a link.
// Empty, with error set to an errno value, when no safe folder can be had. Windows keeps its named
// objects per session without a folder: empty, with ERROR_NOT_SUPPORTED.
String RuntimeFolder(int& error);

// Makes sure APath is a folder only this user can use: created with mode 0700 when missing;
// refused when it is a link (ELOOP), not a folder (ENOTDIR), owned by another user or open to
// group or others (EPERM). 0 when it is fit, else the errno value. ERROR_NOT_SUPPORTED on Windows.
int EnsurePrivateFolder(const String& APath);

// What kept the mutex from this process, so that the user can be told what to do about it.
enum TMutexFault {
  mfNone,        // created, or held by another copy
  mfOtherOwner,  // the folder or the lock file belongs to another user
  mfMissing,     // the folder does not exist (a link to a drive that is not mounted, say)
  mfLink,        // the lock file is a link that is not followed
  mfNoAccess,    // no permission to reach the folder or to open the lock file
  mfReadOnly,    // the file system is mounted read-only
  mfOther,
};

// A named system mutex. On Windows it is the session's mutex AName (CreateMutexW), and AFolder is
// not used. On Linux it is an exclusive flock on a file of that name in AFolder, which must exist
// and belong to this user; the file must not be a link and must belong to this user (EPERM
// otherwise), except a link to a regular file of this user inside AFolder, which is followed
// (dotfile managers make such links; nobody else can turn a link in this user's folder). Either way the
// system drops it when the process ends, crashed or not.
class TNamedMutex final {
 public:
  TNamedMutex(const String& AFolder, const String& AName);
  ~TNamedMutex();
  TNamedMutex(const TNamedMutex&) = delete;
  TNamedMutex& operator=(const TNamedMutex&) = delete;

  // kMutexCreated: this process holds it; kMutexAlreadyExists: another process does;
  // anything else: the errno (Linux) or GetLastError code (Windows) of the failure.
  int LastError() const { return FLastError; }
  TMutexFault Fault() const { return FFault; }
  // The folder or file the failure concerns; empty when there is none (always on Windows).
  const String& FaultPath() const { return FFaultPath; }

 private:
  void SetResult(int AError, TMutexFault AFault, const String& APath);

  struct TLock;  // the system's object, kept while this process holds the mutex
  std::unique_ptr<TLock> FLock;
  int FLastError = 0;
  TMutexFault FFault = mfNone;
  String FFaultPath;
};

}  // namespace kestrum
