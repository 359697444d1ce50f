#include "platform/BringToTop.h"

namespace kestrum {

void BringToTop(uintptr_t /*AWindow*/) {}

}  // namespace kestrum
