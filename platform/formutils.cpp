#include "platform/formutils.h"

#include <algorithm>
#include <cstdint>

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

#include "platform/getosinf.h"

namespace kestrum {

namespace {

TRect ToTRect(const QRect& ARect) {
  return {ARect.left(), ARect.top(), ARect.right(), ARect.bottom()};
}

TScreenSize PrimaryScreenSize() {
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return {};
  return {primary->geometry().width(), primary->geometry().height()};
}

// A gap between int coordinates fits in 33 bits, so it is exact in double; its square may not fit
// in 64 bits.
double Square(int64_t AGap) {
  const auto gap = static_cast<double>(AGap);
  return gap * gap;
}

// Squared gap between two rectangles that do not overlap.
double SquaredDistance(const TRect& A, const TRect& B) {
  const int64_t dx = std::max<int64_t>({0, int64_t{B.Left} - A.Right, int64_t{A.Left} - B.Right});
  const int64_t dy = std::max<int64_t>({0, int64_t{B.Top} - A.Bottom, int64_t{A.Top} - B.Bottom});
  return Square(dx) + Square(dy);
}

// The monitor nearest to the form's outer window.
QScreen* ScreenOf(const QWidget* AForm) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  std::vector<TRect> bounds;
  for (const QScreen* screen : screens) bounds.push_back(ToTRect(screen->geometry()));
  const int nearest = NearestMonitor(ToTRect(AForm->frameGeometry()), bounds);
  return nearest < 0 ? nullptr : screens[nearest];
}

}  // namespace

// Wide arithmetic: a window may be anywhere, stored positions included.
int64_t OverlapArea(const TRect& A, const TRect& B) {
  const int64_t width = int64_t{std::min(A.Right, B.Right)} - std::max(A.Left, B.Left) + 1;
  const int64_t height = int64_t{std::min(A.Bottom, B.Bottom)} - std::max(A.Top, B.Top) + 1;
  return width > 0 && height > 0 ? width * height : 0;
}

int NearestMonitor(const TRect& AWindow, const std::vector<TRect>& AMonitors) {
  int best = -1;
  int64_t bestOverlap = 0;
  for (size_t i = 0; i < AMonitors.size(); ++i) {
    const int64_t overlap = OverlapArea(AWindow, AMonitors[i]);
    if (overlap > bestOverlap) {
      best = static_cast<int>(i);
      bestOverlap = overlap;
    }
  }
  if (best >= 0) return best;
  double bestDistance = 0;
  for (size_t i = 0; i < AMonitors.size(); ++i) {
    const double distance = SquaredDistance(AWindow, AMonitors[i]);
    if (best < 0 || distance < bestDistance) {
      best = static_cast<int>(i);
      bestDistance = distance;
    }
  }
  return best;
}

TRect TaskBarCorrectedArea(const TRect& AArea, const TRect& ATaskBar, TScreenSize APrimary) {
  const int halfW = (AArea.Right - AArea.Left + 1) / 2;
  const int halfH = (AArea.Bottom - AArea.Top + 1) / 2;
  TRect area = AArea;
  if (ATaskBar.Right < halfW) {  // on the left
    if (ATaskBar.Right > 0) area.Left = ATaskBar.Right + 1;
  } else if (ATaskBar.Left > halfW) {  // on the right
    if (ATaskBar.Left < APrimary.Width) area.Right = ATaskBar.Left - 1;
  } else if (ATaskBar.Bottom > halfH) {  // at the bottom
    if (ATaskBar.Top < APrimary.Height) area.Bottom = ATaskBar.Top + 1;
  } else {  // at the top
    if (ATaskBar.Bottom > 0) area.Top = ATaskBar.Bottom - 1;
  }
  return area;
}

TFormPos PlaceFormInRect(const TFormBounds& AForm, bool ATaskBar, const TRect& ARect,
                         TAdjustPosTypes AAdjusts, const std::optional<TRect>& ATaskBarRect,
                         TScreenSize APrimary) {
  const TRect area =
      (ATaskBar && ATaskBarRect) ? TaskBarCorrectedArea(ARect, *ATaskBarRect, APrimary) : ARect;
  TFormPos pos{AForm.Left, AForm.Top};

  // Later rules win: top over bottom, left over right.
  if (AAdjusts.Contains(aptBottom)) pos.Top = area.Bottom - AForm.Height;
  if (AAdjusts.Contains(aptTop)) pos.Top = area.Top;
  if (AAdjusts.Contains(aptRight)) pos.Left = area.Right - AForm.Width;
  if (AAdjusts.Contains(aptLeft)) pos.Left = area.Left;

  // Left and top last, so that a form larger than the area ends at its left or top edge.
  if (pos.Left + AForm.Width > area.Right) pos.Left = area.Right - AForm.Width;
  if (pos.Top + AForm.Height > area.Bottom) pos.Top = area.Bottom - AForm.Height;
  if (pos.Left < area.Left) pos.Left = area.Left;
  if (pos.Top < area.Top) pos.Top = area.Top;
  return pos;
}

TMonitorArea ChooseMonitorArea(bool AWorkAreaExcludesTaskBar, bool ATaskBar, const TRect& ABounds,
                               const TRect& AWorkArea, bool AIsPrimary) {
  if (AWorkAreaExcludesTaskBar)
    return ATaskBar ? TMonitorArea{AWorkArea, false} : TMonitorArea{ABounds, false};
  return {ABounds, ATaskBar && AIsPrimary};
}

void AdjustFormPosToScreen(QWidget* AForm, bool ATaskBar, TAdjustPosTypes AAdjusts) {
  const TScreenSize primary = PrimaryScreenSize();
  if (primary.Width <= 0 || primary.Height <= 0) return;  // no screen to keep the form on
  AdjustFormPosInRect(AForm, ATaskBar, {0, 0, primary.Width - 1, primary.Height - 1}, AAdjusts);
}

void AdjustFormPosToMonitor(QWidget* AForm, bool ATaskBar, TAdjustPosTypes AAdjusts) {
  const QScreen* screen = ScreenOf(AForm);
  if (screen == nullptr) return;
  const TMonitorArea monitor =
      ChooseMonitorArea(IsWin8OrLater(), ATaskBar, ToTRect(screen->geometry()),
                        ToTRect(screen->availableGeometry()), screen == QGuiApplication::primaryScreen());
  AdjustFormPosInRect(AForm, monitor.TaskBar, monitor.Area, AAdjusts);
}

void AdjustFormPosInRect(QWidget* AForm, bool ATaskBar, const TRect& ARect, TAdjustPosTypes AAdjusts) {
  const QRect frame = AForm->frameGeometry();
  const TFormPos pos =
      PlaceFormInRect({frame.x(), frame.y(), frame.width(), frame.height()}, ATaskBar, ARect, AAdjusts,
                      ATaskBar ? FindTaskBarRect() : std::nullopt, PrimaryScreenSize());
  if (pos.Left != frame.x() || pos.Top != frame.y()) AForm->move(pos.Left, pos.Top);
}

}  // namespace kestrum
