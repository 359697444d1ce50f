#include "tests/support/AllocationMeter.h"

#include <malloc.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace kestrum::test {
namespace {

// Counting costs time, so it runs only while a meter exists; bytes freed then that were taken
// before count as given back.
std::atomic<bool> gMetering{false};
std::atomic<int64_t> gInUse{0};
std::atomic<int64_t> gPeak{0};

void* Take(size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  if (!gMetering.load(std::memory_order_relaxed)) return block;
  const int64_t inUse = gInUse += static_cast<int64_t>(malloc_usable_size(block));
  int64_t peak = gPeak.load();
  while (inUse > peak && !gPeak.compare_exchange_weak(peak, inUse)) {
  }
  return block;
}

void Give(void* block) {
  if (block == nullptr) return;
  if (gMetering.load(std::memory_order_relaxed)) gInUse -= static_cast<int64_t>(malloc_usable_size(block));
  std::free(block);
}

}  // namespace

AllocationMeter::AllocationMeter() {
  gInUse = 0;
  gPeak = 0;
  gMetering = true;
}

AllocationMeter::~AllocationMeter() {
  gMetering = false;
}

size_t AllocationMeter::PeakExtraBytes() const {
  return static_cast<size_t>(gPeak.load());
}

}  // namespace kestrum::test

void* operator new(size_t size) {
  return kestrum::test::Take(size);
}
void* operator new[](size_t size) {
  return kestrum::test::Take(size);
}
void operator delete(void* block) noexcept {
  kestrum::test::Give(block);
}
void operator delete[](void* block) noexcept {
  kestrum::test::Give(block);
}
void operator delete(void* block, size_t) noexcept {
  kestrum::test::Give(block);
}
void operator delete[](void* block, size_t) noexcept {
  kestrum::test::Give(block);
}
