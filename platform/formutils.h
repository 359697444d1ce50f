#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

class QWidget;

namespace kestrum {

// The edges a form can be snapped to.
enum TAdjustPosType : uint8_t { aptTop, aptBottom, aptLeft, aptRight };

// A set of edges, one bit each in declaration order: aptTop 1, aptBottom 2, aptLeft 4, aptRight 8.
class TAdjustPosTypes final {
 public:
  constexpr TAdjustPosTypes() = default;
  constexpr TAdjustPosTypes(std::initializer_list<TAdjustPosType> ATypes) {
    for (TAdjustPosType t : ATypes) Include(t);
  }
  // Bits above the four edges are dropped.
  static constexpr TAdjustPosTypes FromBits(uint8_t ABits) {
    TAdjustPosTypes result;
    result.FBits = ABits & 0x0F;
    return result;
  }

  constexpr uint8_t Bits() const { return FBits; }
  constexpr bool Contains(TAdjustPosType AType) const { return (FBits & Bit(AType)) != 0; }
  constexpr TAdjustPosTypes& Include(TAdjustPosType AType) {
    FBits |= Bit(AType);
    return *this;
  }
  constexpr TAdjustPosTypes& Exclude(TAdjustPosType AType) {
    FBits &= static_cast<uint8_t>(~Bit(AType));
    return *this;
  }
  constexpr bool operator==(const TAdjustPosTypes&) const = default;

 private:
  static constexpr uint8_t Bit(TAdjustPosType AType) { return static_cast<uint8_t>(1u << AType); }
  uint8_t FBits = 0;
};

// A screen rectangle. Areas handed to the placement are inclusive (Right = Left + width - 1, as
// QRect::right()); the taskbar rectangle is taken as the window system reports it.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr bool operator==(const TRect&) const = default;
};

// A form's outer window: position and size.
struct TFormBounds {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

struct TFormPos {
  int Left = 0;
  int Top = 0;
  constexpr bool operator==(const TFormPos&) const = default;
};

struct TScreenSize {
  int Width = 0;
  int Height = 0;
};

// ---- The placement rules as plain geometry (no screen needed) ----

// The area less the taskbar ATaskBar, judged by which side of the area's middle the taskbar is on.
// The +1 at the bottom and -1 at the top are long-standing and kept: stored window positions
// were settled under them.
TRect TaskBarCorrectedArea(const TRect& AArea, const TRect& ATaskBar, TScreenSize APrimary);

// Where a form goes inside ARect: the taskbar correction (only when ATaskBar is set and a taskbar
// rectangle is known), then snapping to AAdjusts (top wins over bottom, left over right), then
// containment (a form larger than the area ends at its left/top edge). The size never changes.
TFormPos PlaceFormInRect(const TFormBounds& AForm, bool ATaskBar, const TRect& ARect,
                         TAdjustPosTypes AAdjusts, const std::optional<TRect>& ATaskBarRect,
                         TScreenSize APrimary);

// The area and taskbar switch used for a monitor. Where the work area already leaves the taskbar
// out (AWorkAreaExcludesTaskBar) it is used when ATaskBar is set, the full bounds otherwise;
// elsewhere the full bounds, with the taskbar correction only on the primary monitor.
struct TMonitorArea {
  TRect Area;
  bool TaskBar = false;
  constexpr bool operator==(const TMonitorArea&) const = default;
};
TMonitorArea ChooseMonitorArea(bool AWorkAreaExcludesTaskBar, bool ATaskBar, const TRect& ABounds,
                               const TRect& AWorkArea, bool AIsPrimary);

// The area two rectangles share, in pixels; 0 when they do not meet.
int64_t OverlapArea(const TRect& A, const TRect& B);

// The monitor nearest to a window, as an index into AMonitors (full bounds): the one the window
// overlaps most, else the one at the smallest distance from it; the first of equals. -1 when there
// are no monitors.
int NearestMonitor(const TRect& AWindow, const std::vector<TRect>& AMonitors);

// The taskbar window's rectangle, when the desktop has one that can be found.
std::optional<TRect> FindTaskBarRect();

// ---- Applied to a top-level widget; each moves it only when its position changes ----

// Keeps AForm inside the primary screen (0, 0, width - 1, height - 1).
void AdjustFormPosToScreen(QWidget* AForm, bool ATaskBar, TAdjustPosTypes AAdjusts);
// Keeps AForm inside the usable area of the screen it is on.
void AdjustFormPosToMonitor(QWidget* AForm, bool ATaskBar, TAdjustPosTypes AAdjusts);
// Keeps AForm inside ARect (inclusive right and bottom).
void AdjustFormPosInRect(QWidget* AForm, bool ATaskBar, const TRect& ARect, TAdjustPosTypes AAdjusts);

}  // namespace kestrum
