#pragma once

#include <cstddef>
#include <functional>

namespace kestrum::test {

// Runs ABody in a forked child whose files cannot grow beyond ALimit bytes, a full disk that stops
// root too, and returns the child's exit code (ABody's result), or -1 when it did not exit.
int ExitCodeUnderFileSizeLimit(size_t ALimit, const std::function<int()>& ABody);

}  // namespace kestrum::test
