#include "platform/formutils.h"

namespace kestrum {

// X11 and Wayland have no taskbar window to ask: a screen's available geometry already leaves
// panels and docks out.
std::optional<TRect> FindTaskBarRect() {
  return std::nullopt;
}

}  // namespace kestrum
