#pragma once

#include <cstddef>
#include <functional>

namespace kestrum::test {

// While it lives, no file of this process may grow beyond ALimit bytes: a full disk that stops root
// too. A write past it fails with EFBIG instead of ending the process; both are put back after.
// Windows has no such limit: there it does nothing and Supported() is false.
class TFileSizeLimit final {
 public:
  static bool Supported();
  explicit TFileSizeLimit(size_t ALimit);
  ~TFileSizeLimit();
  TFileSizeLimit(const TFileSizeLimit&) = delete;
  TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

 private:
  void (*FOldHandler)(int) = nullptr;
  unsigned long long FSavedSoft = 0;
  unsigned long long FSavedHard = 0;
};

// POSIX only: runs ABody in a forked child under TFileSizeLimit(ALimit) and returns the child's exit code
// (ABody's result), or -1 when it did not exit.
int ExitCodeUnderFileSizeLimit(size_t ALimit, const std::function<int()>& ABody);

}  // namespace kestrum::test
