#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/notifyBTF.h"
#include "tests/support/TimeScale.h"

namespace kestrum::test {

// The receiving window: counts the posted bring-to-front messages. Optionally holds the wait
// thread inside its first post until released, so that signals can pile up meanwhile.
class PostCounter final {
 public:
  explicit PostCounter(bool AHoldFirstPost = false) : FHold(AHoldFirstPost) {}

  TPostMessageFunc Func() {
    return [this] {
      std::unique_lock lock(FMutex);
      ++FCount;
      FChanged.notify_all();
      if (FCount == 1) FChanged.wait(lock, [this] { return !FHold; });
    };
  }
  bool WaitForCount(int ACount, std::chrono::milliseconds ATimeout = Scaled(std::chrono::seconds(5))) {
    std::unique_lock lock(FMutex);
    return FChanged.wait_for(lock, ATimeout, [&] { return FCount >= ACount; });
  }
  int Count() {
    std::lock_guard lock(FMutex);
    return FCount;
  }
  void Release() {
    {
      std::lock_guard lock(FMutex);
      FHold = false;
    }
    FChanged.notify_all();
  }

 private:
  std::mutex FMutex;
  std::condition_variable FChanged;
  int FCount = 0;
  bool FHold;
};

}  // namespace kestrum::test
