#pragma once

#include <functional>

#include <QMargins>
#include <QRect>

class QWidget;

namespace kestrum {

// A top-level window's stored place and size are those of its outer window, frame included, and
// the window system may tell the frame only after the window has appeared. These helpers save and
// apply the same rectangle, so that a stored window comes back exactly where it was.

// The frame the window system draws around the window's client area, as it reports it now; zero
// where there is none or while it is not known yet.
QMargins WindowFrame(const QWidget& AWindow);

// The window's outer rectangle: its client area with the frame.
QRect OuterGeometry(const QWidget& AWindow);

// Gives the window the outer rectangle AOuter.
void SetOuterGeometry(QWidget& AWindow, const QRect& AOuter);

// Runs AApply at once and, while the window has no known frame, once more when the window system
// tells it (within a few seconds of the window's appearing; without a window manager it never
// does, and the first run was already right). A later call replaces an earlier one's pending run.
void ApplyWithFrame(QWidget& AWindow, const std::function<void()>& AApply);

}  // namespace kestrum
