#include "platform/notifyBTF.h"

#include <windows.h>

#include <utility>

namespace kestrum {

namespace {

constexpr DWORD kStepMs = 100;

std::wstring Wide(const String& AText) {
  return std::wstring(AText.begin(), AText.end());
}

}  // namespace

// The named objects are the session's: one copy per session, whatever the roster.
void SetHandOverScope(const String& /*AFolder*/) {}

String ScopedEventName(const String& AEventName, const String& /*AFolder*/) {
  return AEventName;
}

struct TWaitThread::TEvent {
  explicit TEvent(HANDLE AHandle) : Handle(AHandle) {}
  ~TEvent() { CloseHandle(Handle); }
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;
  const HANDLE Handle;
};

// Manual reset and not signalled: every signal until the reset counts as one.
TWaitThread::TWaitThread(const String& AEventName, TPostMessageFunc APost) : FPost(std::move(APost)) {
  const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, Wide(AEventName).c_str());
  if (event != nullptr) FEvent = std::make_unique<TEvent>(event);
  FThread = std::thread(&TWaitThread::Execute, this);
}

TWaitThread::~TWaitThread() {
  Terminate();
  if (FThread.joinable()) FThread.join();
}

void TWaitThread::Execute() {
  while (!FTerminated) {
    if (!FEvent || !FPost) {
      Sleep(kStepMs);
      continue;
    }
    switch (WaitForSingleObject(FEvent->Handle, kStepMs)) {
      case WAIT_OBJECT_0:
        // Reset before posting, so that a signal arriving meanwhile is answered as on Linux.
        ResetEvent(FEvent->Handle);
        if (!FTerminated) FPost();
        break;
      case WAIT_TIMEOUT:
        break;
      default:  // abandoned or failed: stop for good, later signals go unanswered
        Terminate();
        break;
    }
  }
}

bool TNotifyBringingToFront::Notify(int ATimeOutTime) {
  const std::wstring name = Wide(FEventName);
  int waited = 0;
  do {
    if (const HANDLE event = OpenEventW(EVENT_ALL_ACCESS, FALSE, name.c_str())) {
      SetEvent(event);
      CloseHandle(event);
      return true;
    }
    Sleep(kStepMs);
    waited += static_cast<int>(kStepMs);
  } while (waited < ATimeOutTime);
  return false;
}

}  // namespace kestrum
