#include "platform/formutils.h"

#include <windows.h>

namespace kestrum {

std::optional<TRect> FindTaskBarRect() {
  const HWND taskBar = FindWindowW(L"Shell_TrayWnd", nullptr);
  RECT rect;
  if (taskBar == nullptr || !GetWindowRect(taskBar, &rect)) return std::nullopt;
  return TRect{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace kestrum
