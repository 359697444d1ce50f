#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "base/Strings.h"

namespace kestrum {

// Ties this process's hand-over to one roster, AFolder being the folder that holds its lock, so that
// a start reaches the copy holding that lock and no other: on Linux the socket's name then carries
// a hash of the folder (ScopedEventName). Windows keeps its session-wide names, as its mutex is
// per session too. Set once at start, before either role is created.
void SetHandOverScope(const String& AFolder);

// The name under which the event AEventName serves the roster in AFolder: on Linux AEventName,
// "-" and 16 hex digits of a hash of the folder's real path; on Windows AEventName itself.
String ScopedEventName(const String& AEventName, const String& AFolder);

// Posts the bring-to-front message to the receiving window (the caller's choice of mechanism;
// the main window posts a Qt event). Called on the wait thread.
using TPostMessageFunc = std::function<void()>;

// Waits on the named hand-over event (a Unix-domain socket on Linux) in 100 ms steps and posts one
// message for every burst of signals.
class TWaitThread final {
 public:
  TWaitThread(const String& AEventName, TPostMessageFunc APost);
  ~TWaitThread();  // requests termination, joins, closes the event
  TWaitThread(const TWaitThread&) = delete;
  TWaitThread& operator=(const TWaitThread&) = delete;

  void Terminate() { FTerminated = true; }
  // False when the event could not be created: signals are then lost.
  bool HasEvent() const { return FEvent != nullptr; }

 private:
  void Execute();

  struct TEvent;  // the system's event: a listening socket on Linux, a named event on Windows
  TPostMessageFunc FPost;
  std::unique_ptr<TEvent> FEvent;
  std::atomic<bool> FTerminated{false};
  std::thread FThread;
};

// The single-instance hand-over, in the receiving role (first copy) or the notifying role (later copy).
class TNotifyBringingToFront final {
 public:
  static std::unique_ptr<TNotifyBringingToFront> CreateForNew(const String& AEventName,
                                                              TPostMessageFunc APost);
  static std::unique_ptr<TNotifyBringingToFront> CreateForNotify(const String& AEventName);
  ~TNotifyBringingToFront();

  // Signals the receiving copy, retrying every 100 ms; true when the signal was delivered.
  bool Notify(int ATimeOutTime);
  // The receiving role's thread, or null in the notifying role; lets a caller (and the tests) see
  // which role a start took.
  const TWaitThread* WaitThread() const { return waitTrd.get(); }

 private:
  TNotifyBringingToFront() = default;

  std::unique_ptr<TWaitThread> waitTrd;
  String FEventName;
};

}  // namespace kestrum
