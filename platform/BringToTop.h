#pragma once

#include <cstdint>

namespace kestrum {

// Brings the top-level window AWindow (its native id, as QWidget::winId gives it) to the top of the
// desktop, even when another process owns the foreground. Windows refuses that to a process that
// is not in front unless its input is attached to the foreground's for the moment; on Linux the
// window manager decides, and the toolkit's raise and activation ask it already, so nothing is
// done there.
void BringToTop(uintptr_t AWindow);

}  // namespace kestrum
