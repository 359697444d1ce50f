#include "tests/support/AllocationMeter.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace kestrum::test {
namespace {

std::atomic<size_t> gInUse{0};
std::atomic<size_t> gPeak{0};

void* Take(size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  const size_t inUse = gInUse += malloc_usable_size(block);
  size_t peak = gPeak.load();
  while (inUse > peak && !gPeak.compare_exchange_weak(peak, inUse)) {
  }
  return block;
}

void Give(void* block) {
  if (block == nullptr) return;
  gInUse -= malloc_usable_size(block);
  std::free(block);
}

}  // namespace

AllocationMeter::AllocationMeter() : FStart(gInUse.load()) {
  gPeak = FStart;
}

size_t AllocationMeter::PeakExtraBytes() const {
  const size_t peak = gPeak.load();
  return peak > FStart ? peak - FStart : 0;
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
