#pragma once

#include <vector>

#include <QAbstractScrollArea>
#include <QPoint>

#include "ui/CellPainter.h"
#include "ui/GridGeometry.h"

class QKeyEvent;
class QPainter;

namespace kestrum {

// An owner-drawn grid with one fixed row (0) and one fixed column (0), 1-pixel grid lines, a
// current cell and scroll bars as needed. Columns are dragged to new places by their cell in
// row 0, rows by their cell in column 0. The grid paints the cell backgrounds and the lines, its
// painter the contents from the roster it is given; it reports input and keeps no data of its own.
class TRaidGrid final : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TRaidGrid(QWidget* AParent);

  TCellPainter& Painter() { return FPainter; }
  const TCellPainter& Painter() const { return FPainter; }
  // Sizes the grid to the painter's roster in the current font: counts, column widths, row height.
  void FitToRoster();

  int ColCount() const { return static_cast<int>(FColWidths.size()); }
  int RowCount() const { return FRowCount; }
  // Counts below 2 are raised to 2: the fixed row and column and one body cell always exist.
  void SetColCount(int AValue);
  void SetRowCount(int AValue);
  int ColWidth(int ACol) const { return FColWidths[ACol]; }
  void SetColWidth(int ACol, int AWidth);
  int DefaultRowHeight() const { return FRowHeight; }
  void SetDefaultRowHeight(int AHeight);

  // The current cell (column, row); body cells only. Setting it scrolls it into view; a mouse
  // press makes the cell under it current without scrolling.
  QPoint CurrentCell() const { return FCurrent; }
  void SetCurrentCell(int ACol, int ARow);
  int LeftCol() const { return FLeftCol; }
  int TopRow() const { return FTopRow; }

  // The cell's rectangle in viewport coordinates; empty when it is scrolled out of view.
  TCellRect CellRect(int ACol, int ARow) const;
  // The cell (column, row) at a viewport point, its right and bottom grid line included;
  // (-1, -1) outside every cell.
  QPoint MouseCoord(const QPoint& APos) const;

 signals:
  // ADoubleClick: the press is the second one of a double click.
  void MouseDown(Qt::MouseButton AButton, bool ADoubleClick, const QPoint& APos);
  void MouseUp(Qt::MouseButton AButton, const QPoint& APos);
  void DoubleClicked(const QPoint& APos);
  // A tilt of the horizontal wheel, in Qt's sense: positive to the left.
  void HorizontalWheel(int ADelta);
  // Keyboard commands on the current cell: Space and Enter press its button, the Menu key and
  // Shift+F10 ask for its popup, F2 asks to edit its character.
  void CellActivated(const QPoint& ACell);
  void CellMenuRequested(const QPoint& ACell);
  void CellEditRequested(const QPoint& ACell);
  // Grid indexes; sent after the grid has moved the column or row.
  void ColumnMoved(int AFromIndex, int AToIndex);
  void RowMoved(int AFromIndex, int AToIndex);

 protected:
  void paintEvent(QPaintEvent* AEvent) override;
  void resizeEvent(QResizeEvent* AEvent) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* AEvent) override;
  void mouseMoveEvent(QMouseEvent* AEvent) override;
  void mouseReleaseEvent(QMouseEvent* AEvent) override;
  void mouseDoubleClickEvent(QMouseEvent* AEvent) override;
  void keyPressEvent(QKeyEvent* AEvent) override;
  void wheelEvent(QWheelEvent* AEvent) override;
  void focusInEvent(QFocusEvent* AEvent) override;
  void focusOutEvent(QFocusEvent* AEvent) override;

 private:
  enum class TDragKind { None, Column, Row };

  int FixedWidth() const { return FColWidths[0] + 1; }
  int FixedHeight() const { return FRowHeight + 1; }
  int ColLeft(int ACol) const;  // -1 when scrolled out of view
  int RowTop(int ARow) const;
  int MaxLeftCol() const;
  int MaxTopRow() const;
  void UpdateScrollBars();
  void ScrollIntoView(int ACol, int ARow);
  void MoveCurrentCell(int ACol, int ARow);
  bool MoveByKey(const QKeyEvent& AEvent);
  bool CommandByKey(const QKeyEvent& AEvent);
  int DragTarget(const QPoint& APos) const;
  void PaintCell(QPainter& ACanvas, int ACol, int ARow, const TCellRect& R);
  void PaintDragMark(QPainter& ACanvas);

  TCellPainter FPainter{*this};
  std::vector<int> FColWidths;
  int FRowCount = 2;
  int FRowHeight = 24;
  int FLeftCol = 1;
  int FTopRow = 1;
  QPoint FCurrent{1, 1};
  TDragKind FDrag = TDragKind::None;
  int FDragFrom = -1;
  int FDragTo = -1;
  int FWheelRest = 0;  // vertical wheel turns short of a notch
};

}  // namespace kestrum
