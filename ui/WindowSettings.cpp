#include "ui/WindowSettings.h"

#include <algorithm>
#include <cstdint>

#include "ini/VoMemIniFile.h"

namespace kestrum {

namespace {

constexpr char16_t kPos[] = u"POS";
constexpr char16_t kFont[] = u"FONT";

// Overlapping area of the window with a screen area; wide arithmetic because stored positions
// may be anything.
int64_t OverlapArea(const TPlacement& P, const TPlacement& A) {
  const int64_t left = std::max<int64_t>(P.Left, A.Left);
  const int64_t right = std::min(int64_t{P.Left} + P.Width, int64_t{A.Left} + A.Width);
  const int64_t top = std::max<int64_t>(P.Top, A.Top);
  const int64_t bottom = std::min(int64_t{P.Top} + P.Height, int64_t{A.Top} + A.Height);
  if (right <= left || bottom <= top) return 0;
  return (right - left) * (bottom - top);
}

int ClampSize(int ASize, int AMin, int AMax) {
  return std::clamp(ASize, AMin, std::max(AMin, AMax));
}

// Moves one edge so that the span [pos, pos + size) lies inside [lo, hi), the low edge winning.
int PlaceInside(int APos, int ASize, int ALo, int AHi) {
  return std::max(ALo, std::min<int>(APos, AHi - ASize));
}

}  // namespace

TWindowSettings ReadWindowSettings(const TVoMemIniFile& AIni) {
  const TWindowSettings d;
  TWindowSettings s;
  s.Left = AIni.ReadInteger(kPos, u"LEFT", d.Left);
  s.Top = AIni.ReadInteger(kPos, u"TOP", d.Top);
  s.Dpi = AIni.ReadInteger(kPos, u"DPI", d.Dpi);
  s.Width = AIni.ReadInteger(kPos, u"WIDTH", d.Width);
  s.Height = AIni.ReadInteger(kPos, u"HEIGHT", d.Height);
  s.Align = AIni.ReadBool(kPos, u"ALIGN", d.Align);
  s.FontName = AIni.ReadString(kFont, u"NAME", d.FontName);
  s.FontSize = AIni.ReadInteger(kFont, u"SIZE", d.FontSize);
  return s;
}

void WriteWindowSettings(TVoMemIniFile& AIni, const TWindowSettings& ASettings) {
  AIni.WriteInteger(kPos, u"DPI", ASettings.Dpi);
  AIni.WriteInteger(kPos, u"LEFT", ASettings.Left);
  AIni.WriteInteger(kPos, u"TOP", ASettings.Top);
  AIni.WriteInteger(kPos, u"WIDTH", ASettings.Width);
  AIni.WriteInteger(kPos, u"HEIGHT", ASettings.Height);
  AIni.WriteBool(kPos, u"ALIGN", ASettings.Align);
  AIni.WriteString(kFont, u"NAME", ASettings.FontName);
  AIni.WriteInteger(kFont, u"SIZE", ASettings.FontSize);
}

TPlacement SanitizePlacement(const TPlacement& ARequested, const std::vector<TPlacement>& AAreas) {
  TPlacement p = ARequested;
  if (AAreas.empty()) {
    p.Width = std::max(p.Width, kMinWindowWidth);
    p.Height = std::max(p.Height, kMinWindowHeight);
    return p;
  }
  // The screen the window is mostly on, else the primary one.
  size_t best = 0;
  int64_t bestOverlap = 0;
  for (size_t i = 0; i < AAreas.size(); ++i) {
    const int64_t overlap = OverlapArea(p, AAreas[i]);
    if (overlap > bestOverlap) {
      best = i;
      bestOverlap = overlap;
    }
  }
  const TPlacement& area = AAreas[best];
  p.Width = ClampSize(p.Width, kMinWindowWidth, area.Width);
  p.Height = ClampSize(p.Height, kMinWindowHeight, area.Height);
  const bool onSomeScreen =
      std::any_of(AAreas.begin(), AAreas.end(), [&](const TPlacement& a) { return OverlapArea(p, a) > 0; });
  if (!onSomeScreen) {
    p.Left = PlaceInside(p.Left, p.Width, area.Left, area.Left + area.Width);
    p.Top = PlaceInside(p.Top, p.Height, area.Top, area.Top + area.Height);
  }
  return p;
}

String SanitizeFontName(const String& AName) {
  return Trim(AName).empty() ? TWindowSettings{}.FontName : AName;
}

int SanitizeFontSize(int APoints) {
  if (APoints < 1) return TWindowSettings{}.FontSize;
  return std::min(APoints, 72);
}

}  // namespace kestrum
