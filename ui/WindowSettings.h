#pragma once

#include <vector>

#include "base/Strings.h"
#include "ui/DefaultFont.h"

// The settings file cfg.ini: every key of it, its default and its reading and writing are here.
// Each write loads the file whole first, so that keys written elsewhere in it survive.

namespace kestrum {

// The main window's keys in cfg.ini ([POS] and [FONT]) with their defaults. Position and size are
// those of the outer window in screen pixels; Dpi is only kept, never applied.
struct TWindowSettings {
  int Left = 10;
  int Top = 10;
  int Dpi = 96;
  int Width = 400;
  int Height = 260;
  bool Align = true;
  String FontName = kDefaultFontName;
  int FontSize = kDefaultFontSize;
  friend bool operator==(const TWindowSettings&, const TWindowSettings&) = default;
};

// Missing keys and values that are not numbers give the defaults. Throws when the file cannot be read.
TWindowSettings LoadWindowSettings();
// Writes all eight keys in the order DPI, LEFT, TOP, WIDTH, HEIGHT, ALIGN, NAME, SIZE, creating
// the file's folder when needed. Throws when the file cannot be written.
void StoreWindowSettings(const TWindowSettings& ASettings);

// The character data editor's outer height ([RDATPOS] HEIGHT).
inline constexpr int kDefaultEditorHeight = 371;
int LoadEditorHeight();
void StoreEditorHeight(int AOuterHeight);

// The smallest outer window size that still shows the menu and a few cells.
inline constexpr int kMinWindowWidth = 160;
inline constexpr int kMinWindowHeight = 120;

struct TPlacement {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TPlacement&, const TPlacement&) = default;
};

// Makes stored values (possibly junk) give a usable window: the size is kept between the minimum
// and the size of the screen area nearest to it; a window that would lie on no screen at all is
// moved onto the nearest one. AAreas are the screens' usable areas, the primary first; none leaves the
// position alone.
TPlacement SanitizePlacement(const TPlacement& ARequested, const std::vector<TPlacement>& AAreas);

// An empty font name gives the default face; any other name is kept (an unknown face falls back
// to what the system offers when the font is made).
String SanitizeFontName(const String& AName);
// Font sizes below 1 point give the default size; sizes above 72 points are cut to 72.
int SanitizeFontSize(int APoints);

}  // namespace kestrum
