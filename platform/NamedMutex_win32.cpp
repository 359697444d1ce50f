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

// A plain name lives in the logon session's namespace, which is what makes one copy per session.
TNamedMutex::TNamedMutex(const String& /*AFolder*/, const String& AName) {
  const std::wstring name(AName.begin(), AName.end());
  const HANDLE handle = CreateMutexW(nullptr, TRUE, name.c_str());
  FLastError = static_cast<int>(GetLastError());  // read at once: CloseHandle would change it
  if (handle == nullptr) return;
  auto lock = std::make_unique<TLock>(handle);
  if (FLastError == kMutexCreated) FLock = std::move(lock);
}

TNamedMutex::~TNamedMutex() = default;

}  // namespace kestrum
