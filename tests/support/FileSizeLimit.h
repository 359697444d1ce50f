#pragma once

#include <sys/resource.h>

#include <cstddef>
#include <functional>

namespace kestrum::test {

// While it lives, no file of this process may grow beyond ALimit bytes: a full disk that stops root
// too. A write past it fails with EFBIG instead of ending the process; both are put back after.
class TFileSizeLimit final {
 public:
  explicit TFileSizeLimit(size_t ALimit);
  ~TFileSizeLimit();
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  void (*FOldHandler)(int);
  rlimit FSaved{};
};

// Runs ABody in a forked child under TFileSizeLimit(ALimit) and returns the child's exit code
// (ABody's result), or -1 when it did not exit.
int ExitCodeUnderFileSizeLimit(size_t ALimit, const std::function<int()>& ABody);

}  // namespace kestrum::test
