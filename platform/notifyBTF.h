#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "base/Strings.h"

namespace kestrum {

// Posts the bring-to-front message to the receiving window (the caller's choice of mechanism;
// the main window posts a Qt event). Called on the wait thread.
using TPostMessageFunc = std::function<void()>;

// Waits on the named hand-over event (a Unix-domain socket here) in 100 ms steps and posts one
// message for every burst of signals.
class TWaitThread final {
 public:
  TWaitThread(const String& AEventName, TPostMessageFunc APost);
  ~TWaitThread();  // requests termination, joins, closes the event
  TWaitThread(const TWaitThread&) = delete;
  TWaitThread& operator=(const TWaitThread&) = delete;

  void Terminate() { FTerminated = true; }
  // False when the event could not be created: signals are then lost.
  bool HasEvent() const { return FEvent >= 0; }

 private:
  void Execute();

  TPostMessageFunc FPost;
  int FEvent = -1;
  std::string FSocketPath;  // UTF-8; the socket file this thread created
  uint64_t FSocketDev = 0;  // identity of that file, so that only it is removed
  uint64_t FSocketIno = 0;
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
  // The receiving role's thread, or null in the notifying role.
  const TWaitThread* WaitThread() const { return waitTrd.get(); }

 private:
  TNotifyBringingToFront() = default;

  std::unique_ptr<TWaitThread> waitTrd;
  String FEventName;
};

}  // namespace kestrum
