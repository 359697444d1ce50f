#pragma once

#include <cstddef>

namespace kestrum::test {

// Counts the bytes that operator new hands out in this program, so memory bounds are checked by
// counting rather than by timing. Linking AllocationMeter.cpp replaces the global operator new.
class AllocationMeter final {
 public:
  // Starts measuring from the bytes in use now.
  AllocationMeter();
  // The most bytes in use at once since construction, beyond those in use at construction.
  size_t PeakExtraBytes() const;

 private:
  size_t FStart;
};

}  // namespace kestrum::test
