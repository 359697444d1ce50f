#pragma once

#include <array>
#include <vector>

#include "base/Strings.h"

// Where the raid grid puts its columns, buttons and texts. Everything here works on measured text
// widths and heights, so it can be checked without a screen.

namespace kestrum {

// A cell or button rectangle with exclusive right and bottom edges (Right - Left is the width).
struct TCellRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const TCellRect&, const TCellRect&) = default;
};

// Where one text goes: the top-left corner of its box, and the rectangle it is clipped to.
struct TTextBox {
  TCellRect Clip;
  int X = 0;
  int Y = 0;
  friend bool operator==(const TTextBox&, const TTextBox&) = default;
};

// Grid size for a roster: one fixed row and column plus one per raid or character, but never
// fewer than two, so an empty roster still shows a placeholder cell.
int GridColCount(int ACharaCount);
int GridRowCount(int ARaidCount);

// Text widths the column layout needs, measured in the grid's font.
struct TColumnMeasures {
  int BackslashBold = 0;            // "＼" in bold
  std::vector<int> RaidNamesBold;   // every raid name in bold
  std::vector<int> CharaNamesBold;  // every character name in bold
  std::array<int, 10> Digits{};     // "0" to "9", regular
  int DayColon = 0;                 // "日   :", regular
};

struct TColumnLayout {
  int FixedColWidth = 0;  // column 0, the raid names
  int CharaColWidth = 0;  // every character column
  int WidestDigit = 0;    // the lowest of the widest digits
  friend bool operator==(const TColumnLayout&, const TColumnLayout&) = default;
};

TColumnLayout ComputeColumnLayout(const TColumnMeasures& AMeasures);

// A character column's width: ABaseWidth, or wider where its largest run count, ACountWidth wide,
// would not fit between the OK button or the lock-out's end (wB wide) and the cell's right margin.
int CharaColWidthForCount(int ABaseWidth, int wB, int ACountWidth);

// The text whose width is the OK button's and the lock-out text's area: "DD日 DD:DD".
String ButtonPattern(int ADigit);

// The grid's row height at the given dots per inch (24 at 96).
int RowHeightForDpi(int ADpi);
// The row height for texts of the given line height: that at the given dots per inch, or taller
// when the text would not fit inside an OK button.
int RowHeightForText(int ADpi, int ATextHeight);

// The OK button of a body cell; wB is the width of the button pattern.
TCellRect ButtonRect(const TCellRect& R, int wB);
// Borders included.
bool HitRect(const TCellRect& B, int x, int y);

// AWidth and AHeight are the measured width and line height of the text in the font it is drawn in.
// Character name in row 0: centred, its box ending where it would sit centred vertically.
TTextBox HeaderTextBox(const TCellRect& R, int AWidth, int AHeight);
// Raid name in column 0: ends 4 pixels before the right edge, or is centred when tighter than that.
TTextBox RaidNameBox(const TCellRect& R, int AWidth, int AHeight);
// "OK" on the button B: centred both ways.
TTextBox OkCaptionBox(const TCellRect& B, int AWidth, int AHeight);
// Run count of an available timer: right-aligned 4 pixels before the cell's right edge.
TTextBox RunCountBox(const TCellRect& R, int AWidth, int AHeight);

// A locked timer: the end moment right-aligned where the OK button would end, the count after it
// right-aligned 4 pixels before the cell's right edge; both on one line.
struct TRunningTimerBoxes {
  TTextBox Moment;
  TTextBox Count;
  friend bool operator==(const TRunningTimerBoxes&, const TRunningTimerBoxes&) = default;
};
TRunningTimerBoxes RunningTimerBoxes(const TCellRect& R, int wB, int AMomentWidth, int ACountWidth,
                                     int AHeight);

}  // namespace kestrum
