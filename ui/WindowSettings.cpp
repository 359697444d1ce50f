#include "ui/WindowSettings.h"

#include <algorithm>
#include <cstdint>

#include "data/shhlpr.h"
#include "ini/VoMemIniFile.h"
#include "platform/formutils.h"

namespace kestrum {

namespace {

constexpr char16_t kPos[] = u"POS";
constexpr char16_t kFont[] = u"FONT";
constexpr char16_t kEditor[] = u"RDATPOS";

// Loads cfg.ini whole, lets AWrite change it and writes it back.
template <class TWrite>
void UpdateConfig(const TWrite& AWrite) {
  const String path = GetConfigFileName();
  ForceFileDir(path);
  TVoMemIniFile ini(path);
  AWrite(ini);
  ini.UpdateFile();
}

// The inclusive rectangle of a placement, cut to the int range: stored values may be anything.
TRect ToRect(const TPlacement& P) {
  const auto edge = [](int64_t AValue) {
    return static_cast<int>(std::clamp<int64_t>(AValue, INT32_MIN, INT32_MAX));
  };
  return {P.Left, P.Top, edge(int64_t{P.Left} + P.Width - 1), edge(int64_t{P.Top} + P.Height - 1)};
}

int ClampSize(int ASize, int AMin, int AMax) {
  return std::clamp(ASize, AMin, std::max(AMin, AMax));
}

// Moves one edge so that the span [pos, pos + size) lies inside [lo, hi), the low edge winning.
int PlaceInside(int APos, int ASize, int ALo, int AHi) {
  return std::max(ALo, std::min<int>(APos, AHi - ASize));
}

}  // namespace

TWindowSettings LoadWindowSettings() {
  const TVoMemIniFile ini(GetConfigFileName());
  const TWindowSettings d;
  TWindowSettings s;
  s.Left = ini.ReadInteger(kPos, u"LEFT", d.Left);
  s.Top = ini.ReadInteger(kPos, u"TOP", d.Top);
  s.Dpi = ini.ReadInteger(kPos, u"DPI", d.Dpi);
  s.Width = ini.ReadInteger(kPos, u"WIDTH", d.Width);
  s.Height = ini.ReadInteger(kPos, u"HEIGHT", d.Height);
  s.Align = ini.ReadBool(kPos, u"ALIGN", d.Align);
  s.FontName = ini.ReadString(kFont, u"NAME", d.FontName);
  s.FontSize = ini.ReadInteger(kFont, u"SIZE", d.FontSize);
  return s;
}

void StoreWindowSettings(const TWindowSettings& ASettings) {
  UpdateConfig([&ASettings](TVoMemIniFile& AIni) {
    AIni.WriteInteger(kPos, u"DPI", ASettings.Dpi);
    AIni.WriteInteger(kPos, u"LEFT", ASettings.Left);
    AIni.WriteInteger(kPos, u"TOP", ASettings.Top);
    AIni.WriteInteger(kPos, u"WIDTH", ASettings.Width);
    AIni.WriteInteger(kPos, u"HEIGHT", ASettings.Height);
    AIni.WriteBool(kPos, u"ALIGN", ASettings.Align);
    AIni.WriteString(kFont, u"NAME", ASettings.FontName);
    AIni.WriteInteger(kFont, u"SIZE", ASettings.FontSize);
  });
}

int LoadEditorHeight() {
  return TVoMemIniFile(GetConfigFileName()).ReadInteger(kEditor, u"HEIGHT", kDefaultEditorHeight);
}

void StoreEditorHeight(int AOuterHeight) {
  UpdateConfig([AOuterHeight](TVoMemIniFile& AIni) { AIni.WriteInteger(kEditor, u"HEIGHT", AOuterHeight); });
}

TPlacement SanitizePlacement(const TPlacement& ARequested, const std::vector<TPlacement>& AAreas) {
  TPlacement p = ARequested;
  if (AAreas.empty()) {
    p.Width = std::max(p.Width, kMinWindowWidth);
    p.Height = std::max(p.Height, kMinWindowHeight);
    return p;
  }
  std::vector<TRect> areas;
  areas.reserve(AAreas.size());
  for (const TPlacement& area : AAreas) areas.push_back(ToRect(area));
  const TPlacement& area = AAreas[NearestMonitor(ToRect(p), areas)];
  p.Width = ClampSize(p.Width, kMinWindowWidth, area.Width);
  p.Height = ClampSize(p.Height, kMinWindowHeight, area.Height);
  const TRect window = ToRect(p);
  const bool onSomeScreen =
      std::any_of(areas.begin(), areas.end(), [&](const TRect& a) { return OverlapArea(window, a) > 0; });
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
