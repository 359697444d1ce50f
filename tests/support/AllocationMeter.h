#pragma once

#include <cstddef>

namespace kestrum::test {

// Counts the bytes that operator new hands out in this program while a meter exists, so memory
// bounds are checked by counting rather than by timing. Linking AllocationMeter.cpp replaces the
// global operator new. One meter at a time.
class AllocationMeter final {
 public:
  AllocationMeter();
  ~AllocationMeter();
  AllocationMeter(const AllocationMeter&) = delete;
  AllocationMeter& operator=(const AllocationMeter&) = delete;

  // The most bytes in use at once since construction, beyond those in use at construction.
  size_t PeakExtraBytes() const;
};

}  // namespace kestrum::test
