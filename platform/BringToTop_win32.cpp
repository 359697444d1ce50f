#include "platform/BringToTop.h"

#include <windows.h>

namespace kestrum {

namespace {

// Detaches the input again however the bringing to top ends.
class TAttachedInput final {
 public:
  TAttachedInput(DWORD AThread, DWORD AForeground) : FThread(AThread), FForeground(AForeground) {
    AttachThreadInput(FThread, FForeground, TRUE);
  }
  ~TAttachedInput() { AttachThreadInput(FThread, FForeground, FALSE); }
  TAttachedInput(const TAttachedInput&) = delete;
  TAttachedInput& operator=(const TAttachedInput&) = delete;

 private:
  const DWORD FThread;
  const DWORD FForeground;
};

}  // namespace

void BringToTop(uintptr_t AWindow) {
  const HWND window = reinterpret_cast<HWND>(AWindow);
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  const HWND foreground = GetForegroundWindow();
  const DWORD foregroundThread =
      foreground != nullptr ? GetWindowThreadProcessId(foreground, nullptr) : thread;
  if (thread == foregroundThread) {
    BringWindowToTop(window);
    return;
  }
  const TAttachedInput attached(thread, foregroundThread);
  BringWindowToTop(window);
}

}  // namespace kestrum
