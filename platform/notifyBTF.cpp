#include "platform/notifyBTF.h"

#include <utility>

namespace kestrum {

std::unique_ptr<TNotifyBringingToFront> TNotifyBringingToFront::CreateForNew(const String& AEventName,
                                                                             TPostMessageFunc APost) {
  std::unique_ptr<TNotifyBringingToFront> result(new TNotifyBringingToFront());
  result->waitTrd = std::make_unique<TWaitThread>(AEventName, std::move(APost));
  return result;
}

std::unique_ptr<TNotifyBringingToFront> TNotifyBringingToFront::CreateForNotify(const String& AEventName) {
  std::unique_ptr<TNotifyBringingToFront> result(new TNotifyBringingToFront());
  result->FEventName = AEventName;
  return result;
}

// The wait thread's destructor requests termination and joins before the event is closed.
TNotifyBringingToFront::~TNotifyBringingToFront() = default;

}  // namespace kestrum
