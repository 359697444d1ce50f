#include <windows.h>

#include <gtest/gtest.h>

#include "platform/formutils.h"

namespace kestrum {
namespace {

// A window of the taskbar's class, standing in for the shell's own.
class TTaskBarWindow final {
 public:
  explicit TTaskBarWindow(const RECT& ARect) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass);
    FWindow = CreateWindowExW(WS_EX_TOOLWINDOW, kClass, L"", WS_POPUP, ARect.left, ARect.top,
                              ARect.right - ARect.left, ARect.bottom - ARect.top, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
  }
  ~TTaskBarWindow() {
    if (FWindow != nullptr) DestroyWindow(FWindow);
    UnregisterClassW(kClass, GetModuleHandleW(nullptr));
  }
  TTaskBarWindow(const TTaskBarWindow&) = delete;
  TTaskBarWindow& operator=(const TTaskBarWindow&) = delete;

  bool Created() const { return FWindow != nullptr; }

 private:
  static constexpr const wchar_t* kClass = L"Shell_TrayWnd";
  HWND FWindow = nullptr;
};

TEST(FormUtilsWin32Test, TaskBarIsTheShellTrayWindowAsTheSystemReportsIt) {
  if (FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr) GTEST_SKIP() << "the desktop has a taskbar";
  EXPECT_EQ(FindTaskBarRect(), std::nullopt);
  {
    const TTaskBarWindow taskBar({0, 984, 1280, 1024});
    ASSERT_TRUE(taskBar.Created());
    EXPECT_EQ(FindTaskBarRect(), (TRect{0, 984, 1280, 1024}));
  }
  EXPECT_EQ(FindTaskBarRect(), std::nullopt);
}

}  // namespace
}  // namespace kestrum
