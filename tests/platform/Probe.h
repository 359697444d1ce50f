#pragma once

#include <string>
#include <vector>

#include "base/Strings.h"
#include "tests/support/TimeScale.h"

namespace kestrum::test {

// Runs a helper program of the tests with the arguments and waits for it to end: its exit code, or
// -1 when it could not be run or did not exit.
int RunProbe(const std::string& AProbe, const std::vector<std::string>& AArgs);

// notify_probe signals the receiver of the event as a later copy of the program would: 0 when the
// signal was delivered, 1 when not.
inline int RunNotifyProbe(const String& AEventName, int ATimeOutMs = ScaledMs(2000)) {
  return RunProbe(KESTRUM_NOTIFY_PROBE, {ToUtf8(AEventName), std::to_string(ATimeOutMs)});
}

}  // namespace kestrum::test
