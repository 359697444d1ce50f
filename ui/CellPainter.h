#pragma once

#include <QPoint>
#include <QRect>

#include "ui/GridGeometry.h"

class QPainter;

namespace kestrum {

class TKestrum;
class TRaidGrid;
class TRaidTimerData;

inline QRect ToQRect(const TCellRect& R) {
  return QRect(R.Left, R.Top, R.Width(), R.Height());
}

// Cell addressing of the raid grid: column c >= 1 is character c - 1, row r >= 1 is raid r - 1.
inline const QPoint kNoCell{-1, -1};
// A body cell that shows a character's timer; false without a roster.
bool InRoster(const TKestrum* ARoster, const QPoint& ACell);
// The timer a cell within the roster shows.
TRaidTimerData* TimerAt(const TKestrum& ARoster, const QPoint& ACell);

// Draws the raid grid's cells from the roster: the names in the fixed row and column, and in every
// body cell an OK button or the end of the lock-out, with the run count. It also knows where a
// cell's OK button lies, so it finds the button under a point. It measures in the grid's font.
class TCellPainter final {
 public:
  explicit TCellPainter(const TRaidGrid& AGrid);

  const TKestrum* Roster() const { return FRoster; }
  void SetRoster(const TKestrum* ARoster) { FRoster = ARoster; }
  // The cell whose OK button is being pressed, drawn sunken; kNoCell when none.
  QPoint PressedCell() const { return FPressed; }
  void SetPressedCell(const QPoint& ACell) { FPressed = ACell; }

  // Measures the roster's texts, keeps the OK button's width and gives the column widths. Needs a roster.
  TColumnLayout LayOutColumns();
  // The height a row needs for the texts.
  int RowHeight() const;
  // Width of the OK button area (wB) from the last layout.
  int ButtonWidth() const { return FButtonWidth; }
  // The width of character column ACol (1-based) after a layout whose base width is ABaseWidth:
  // wide enough for the largest run count the character has.
  int CharaColWidth(int ACol, int ABaseWidth) const;

  // The OK button of a body cell, in viewport coordinates.
  TCellRect CellButtonRect(int ACol, int ARow) const;
  // The cell within the roster whose OK button lies under a viewport point, borders included;
  // kNoCell when none.
  QPoint HitTestButton(const QPoint& APos) const;

  // R is the cell in viewport coordinates, without its grid lines; the canvas carries the grid's font.
  void RaidGridDrawCell(QPainter& ACanvas, int ACol, int ARow, const TCellRect& R) const;

 private:
  void DrawHeaderText(QPainter& ACanvas, const String& AText, const TCellRect& R) const;
  void DrawRaidName(QPainter& ACanvas, const String& AText, const TCellRect& R) const;
  void DrawOkButton(QPainter& ACanvas, const TCellRect& B, bool APressed) const;
  void DrawRunCount(QPainter& ACanvas, const TRaidTimerData& ATimer, const TCellRect& R) const;
  void DrawRunningTimer(QPainter& ACanvas, const TRaidTimerData& ATimer, const TCellRect& R) const;

  const TRaidGrid& FGrid;
  const TKestrum* FRoster = nullptr;
  QPoint FPressed = kNoCell;
  int FButtonWidth = 0;
};

}  // namespace kestrum
