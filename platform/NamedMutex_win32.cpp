#include "platform/NamedMutex.h"

#include <windows.h>

namespace kestrum {

String RuntimeFolder(int& error) {
  error = ERROR_NOT_SUPPORTED;
  return String();
}

int EnsurePrivateFolder(const String& /*APath*/) {
  return ERROR_NOT_SUPPORTED;
}

struct TNamedMutex::TLock {
  explicit TLock(HANDLE AHandle) : Handle(AHandle) {}
  ~TLock() { CloseHandle(Handle); }
  TLock(const TLock&) = delete;
  TLock& operator=(const TLock&) = delete;
  const HANDLE Handle;
};

void TNamedMutex::SetResult(int AError, TMutexFault AFault, const String& APath) {
  FLastError = AError;
  FFault = AFault;
  FFaultPath = APath;
}

// A plain name lives in the logon session's namespace, which is what makes one copy per session.
TNamedMutex::TNamedMutex(const String& /*AFolder*/, const String& AName) {
  const std::wstring name(AName.begin(), AName.end());
  const HANDLE handle = CreateMutexW(nullptr, TRUE, name.c_str());
  const DWORD error = GetLastError();  // read at once: CloseHandle would change it
  const bool failed = error != ERROR_SUCCESS && error != ERROR_ALREADY_EXISTS;
  SetResult(static_cast<int>(error), failed ? mfOther : mfNone, String());
  if (handle == nullptr) return;
  auto lock = std::make_unique<TLock>(handle);
  if (FLastError == kMutexCreated) FLock = std::move(lock);
}

TNamedMutex::~TNamedMutex() = default;

}  // namespace kestrum
