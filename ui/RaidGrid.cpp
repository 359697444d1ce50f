#include "ui/RaidGrid.h"

#include <algorithm>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionHeader>
#include <QWheelEvent>

#include "data/Kestrum.h"

namespace kestrum {

namespace {

constexpr int kDefaultColWidth = 64;

}  // namespace

TRaidGrid::TRaidGrid(QWidget* AParent) : QAbstractScrollArea(AParent), FColWidths(2, kDefaultColWidth) {
  setFocusPolicy(Qt::StrongFocus);
  setFrameShape(QFrame::NoFrame);
  viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
  horizontalScrollBar()->setSingleStep(1);
  verticalScrollBar()->setSingleStep(1);
}

void TRaidGrid::FitToRoster() {
  const TKestrum& roster = *FPainter.Roster();
  SetColCount(GridColCount(roster.CharaCount()));
  SetRowCount(GridRowCount(roster.RaidCount()));
  const TColumnLayout layout = FPainter.LayOutColumns();
  SetColWidth(0, layout.FixedColWidth);
  for (int c = 1; c < ColCount(); ++c) SetColWidth(c, FPainter.CharaColWidth(c, layout.CharaColWidth));
  SetDefaultRowHeight(FPainter.RowHeight());
}

void TRaidGrid::SetColCount(int AValue) {
  FColWidths.resize(static_cast<size_t>(std::max(AValue, 2)), kDefaultColWidth);
  FCurrent.setX(std::min(FCurrent.x(), ColCount() - 1));
  UpdateScrollBars();
}

void TRaidGrid::SetRowCount(int AValue) {
  FRowCount = std::max(AValue, 2);
  FCurrent.setY(std::min(FCurrent.y(), FRowCount - 1));
  UpdateScrollBars();
}

void TRaidGrid::SetColWidth(int ACol, int AWidth) {
  FColWidths[ACol] = std::max(AWidth, 0);
  UpdateScrollBars();
}

void TRaidGrid::SetDefaultRowHeight(int AHeight) {
  FRowHeight = std::max(AHeight, 1);
  UpdateScrollBars();
}

void TRaidGrid::SetCurrentCell(int ACol, int ARow) {
  MoveCurrentCell(ACol, ARow);
  ScrollIntoView(FCurrent.x(), FCurrent.y());
}

void TRaidGrid::MoveCurrentCell(int ACol, int ARow) {
  FCurrent = QPoint(std::clamp(ACol, 1, ColCount() - 1), std::clamp(ARow, 1, RowCount() - 1));
  viewport()->update();
}

int TRaidGrid::ColLeft(int ACol) const {
  if (ACol == 0) return 0;
  if (ACol < FLeftCol) return -1;
  int x = FixedWidth();
  for (int c = FLeftCol; c < ACol; ++c) x += FColWidths[c] + 1;
  return x;
}

int TRaidGrid::RowTop(int ARow) const {
  if (ARow == 0) return 0;
  if (ARow < FTopRow) return -1;
  return FixedHeight() + (ARow - FTopRow) * (FRowHeight + 1);
}

TCellRect TRaidGrid::CellRect(int ACol, int ARow) const {
  if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount()) return {};
  const int left = ColLeft(ACol);
  const int top = RowTop(ARow);
  if (left < 0 || top < 0 || left >= viewport()->width() || top >= viewport()->height()) return {};
  return {left, top, left + FColWidths[ACol], top + FRowHeight};
}

QPoint TRaidGrid::MouseCoord(const QPoint& APos) const {
  int col = -1;
  if (APos.x() >= 0 && APos.x() < FixedWidth()) {
    col = 0;
  } else {
    for (int c = FLeftCol, x = FixedWidth(); c < ColCount() && APos.x() >= x; ++c) {
      x += FColWidths[c] + 1;
      if (APos.x() < x) col = c;
    }
  }
  int row = -1;
  if (APos.y() >= 0 && APos.y() < FixedHeight()) {
    row = 0;
  } else if (APos.y() >= FixedHeight()) {
    const int r = FTopRow + (APos.y() - FixedHeight()) / (FRowHeight + 1);
    if (r < RowCount()) row = r;
  }
  if (col < 0 || row < 0) return {-1, -1};
  return {col, row};
}

int TRaidGrid::MaxLeftCol() const {
  const int room = viewport()->width() - FixedWidth();
  int first = ColCount() - 1;
  for (int used = FColWidths[first] + 1; first > 1 && used + FColWidths[first - 1] + 1 <= room;) {
    --first;
    used += FColWidths[first] + 1;
  }
  return first;
}

int TRaidGrid::MaxTopRow() const {
  const int room = viewport()->height() - FixedHeight();
  const int fitting = std::max(1, room / (FRowHeight + 1));
  return std::max(1, RowCount() - fitting);
}

void TRaidGrid::UpdateScrollBars() {
  const int maxLeft = MaxLeftCol();
  const int maxTop = MaxTopRow();
  FLeftCol = std::clamp(FLeftCol, 1, maxLeft);
  FTopRow = std::clamp(FTopRow, 1, maxTop);
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  h->setRange(0, maxLeft - 1);
  h->setPageStep(std::max(1, ColCount() - maxLeft));
  h->setValue(FLeftCol - 1);
  v->setRange(0, maxTop - 1);
  v->setPageStep(std::max(1, RowCount() - maxTop));
  v->setValue(FTopRow - 1);
  viewport()->update();
}

void TRaidGrid::ScrollIntoView(int ACol, int ARow) {
  if (ACol < FLeftCol) {
    FLeftCol = ACol;
  } else {
    const int room = viewport()->width() - FixedWidth();
    for (int right = ColLeft(ACol) + FColWidths[ACol] + 1 - FixedWidth(); right > room && FLeftCol < ACol;
         ++FLeftCol)
      right -= FColWidths[FLeftCol] + 1;
  }
  if (ARow < FTopRow) {
    FTopRow = ARow;
  } else {
    const int fitting = std::max(1, (viewport()->height() - FixedHeight()) / (FRowHeight + 1));
    if (ARow >= FTopRow + fitting) FTopRow = ARow - fitting + 1;
  }
  UpdateScrollBars();
}

void TRaidGrid::scrollContentsBy(int, int) {
  FLeftCol = horizontalScrollBar()->value() + 1;
  FTopRow = verticalScrollBar()->value() + 1;
  viewport()->update();
}

void TRaidGrid::resizeEvent(QResizeEvent* AEvent) {
  QAbstractScrollArea::resizeEvent(AEvent);
  UpdateScrollBars();
}

void TRaidGrid::paintEvent(QPaintEvent*) {
  QPainter canvas(viewport());
  canvas.fillRect(viewport()->rect(), palette().base());
  const int width = viewport()->width();
  const int height = viewport()->height();

  std::vector<int> cols{0};
  for (int c = FLeftCol; c < ColCount() && ColLeft(c) < width; ++c) cols.push_back(c);
  std::vector<int> rows{0};
  for (int r = FTopRow; r < RowCount() && RowTop(r) < height; ++r) rows.push_back(r);

  for (int r : rows)
    for (int c : cols) PaintCell(canvas, c, r, CellRect(c, r));

  // Grid lines to the right of and below every cell.
  const int right = ColLeft(cols.back()) + FColWidths[cols.back()];
  const int bottom = RowTop(rows.back()) + FRowHeight;
  canvas.setClipping(false);
  canvas.setPen(palette().color(QPalette::Mid));
  for (int c : cols) {
    const int x = ColLeft(c) + FColWidths[c];
    canvas.drawLine(x, 0, x, bottom);
  }
  for (int r : rows) {
    const int y = RowTop(r) + FRowHeight;
    canvas.drawLine(0, y, right, y);
  }
  PaintDragMark(canvas);
}

void TRaidGrid::PaintCell(QPainter& ACanvas, int ACol, int ARow, const TCellRect& R) {
  const QRect rect = ToQRect(R);
  ACanvas.setClipping(false);
  if (ACol == 0 || ARow == 0) {
    QStyleOptionHeader header;
    header.initFrom(this);
    header.rect = rect;
    header.state |= QStyle::State_Raised;
    header.orientation = Qt::Horizontal;
    header.position = QStyleOptionHeader::Middle;
    style()->drawControl(QStyle::CE_HeaderSection, &header, &ACanvas, this);
  }
  ACanvas.setFont(font());
  ACanvas.setPen(palette().color(QPalette::Text));
  ACanvas.setBrush(Qt::NoBrush);
  try {
    FPainter.RaidGridDrawCell(ACanvas, ACol, ARow, R);
  } catch (const std::exception&) {
    // Painting has nobody to report to; the cell stays empty until the next repaint.
  }
  ACanvas.setClipping(false);
  if (QPoint(ACol, ARow) == FCurrent && hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect;
    focus.state |= QStyle::State_KeyboardFocusChange;  // some styles draw it only after Tab
    focus.backgroundColor = palette().color(QPalette::Base);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &ACanvas, this);
  }
}

void TRaidGrid::PaintDragMark(QPainter& ACanvas) {
  if (FDrag == TDragKind::None || FDragTo == FDragFrom) return;
  ACanvas.setPen(QPen(palette().color(QPalette::Highlight), 2));
  if (FDrag == TDragKind::Column) {
    const int left = ColLeft(FDragTo);
    if (left < 0) return;
    const int x = FDragTo > FDragFrom ? left + FColWidths[FDragTo] : left;
    ACanvas.drawLine(x, 0, x, viewport()->height());
  } else {
    const int top = RowTop(FDragTo);
    if (top < 0) return;
    const int y = FDragTo > FDragFrom ? top + FRowHeight : top;
    ACanvas.drawLine(0, y, viewport()->width(), y);
  }
}

int TRaidGrid::DragTarget(const QPoint& APos) const {
  // The cell under the mouse along the drag, kept among the movable columns or rows.
  if (FDrag == TDragKind::Column) {
    if (APos.x() < FixedWidth()) return FLeftCol;
    const int col = MouseCoord(QPoint(APos.x(), 0)).x();
    return col < 0 ? ColCount() - 1 : col;
  }
  if (APos.y() < FixedHeight()) return FTopRow;
  const int row = MouseCoord(QPoint(0, APos.y())).y();
  return row < 0 ? RowCount() - 1 : row;
}

void TRaidGrid::mousePressEvent(QMouseEvent* AEvent) {
  const bool doubleClick = AEvent->flags().testFlag(Qt::MouseEventCreatedDoubleClick);
  const QPoint pos = AEvent->position().toPoint();
  if (AEvent->button() == Qt::LeftButton && !doubleClick) {
    const QPoint cell = MouseCoord(pos);
    FDrag = TDragKind::None;
    if (cell.y() == 0 && cell.x() >= 1) {
      FDrag = TDragKind::Column;
      FDragFrom = FDragTo = cell.x();
    } else if (cell.x() == 0 && cell.y() >= 1) {
      FDrag = TDragKind::Row;
      FDragFrom = FDragTo = cell.y();
    } else if (cell.x() >= 1 && cell.y() >= 1) {
      // The view stays put under the pointer: scrolling a partly visible cell into view would put
      // another cell under it between the press and its release.
      MoveCurrentCell(cell.x(), cell.y());
    }
  }
  emit MouseDown(AEvent->button(), doubleClick, pos);
}

void TRaidGrid::mouseMoveEvent(QMouseEvent* AEvent) {
  if (FDrag == TDragKind::None) return;
  FDragTo = DragTarget(AEvent->position().toPoint());
  viewport()->update();
}

void TRaidGrid::mouseReleaseEvent(QMouseEvent* AEvent) {
  const QPoint pos = AEvent->position().toPoint();
  if (AEvent->button() == Qt::LeftButton && FDrag != TDragKind::None) {
    const TDragKind kind = FDrag;
    const int from = FDragFrom;
    const int to = DragTarget(pos);
    FDrag = TDragKind::None;
    viewport()->update();
    if (from != to) {
      if (kind == TDragKind::Column) {
        const int width = FColWidths[from];
        FColWidths.erase(FColWidths.begin() + from);
        FColWidths.insert(FColWidths.begin() + to, width);
        emit ColumnMoved(from, to);
      } else {
        emit RowMoved(from, to);
      }
    }
  }
  emit MouseUp(AEvent->button(), pos);
}

void TRaidGrid::mouseDoubleClickEvent(QMouseEvent* AEvent) {
  emit DoubleClicked(AEvent->position().toPoint());
}

void TRaidGrid::keyPressEvent(QKeyEvent* AEvent) {
  if (!MoveByKey(*AEvent) && !CommandByKey(*AEvent)) QAbstractScrollArea::keyPressEvent(AEvent);
}

bool TRaidGrid::MoveByKey(const QKeyEvent& AEvent) {
  QPoint cell = FCurrent;
  switch (AEvent.key()) {
    case Qt::Key_Left:
      cell.rx() -= 1;
      break;
    case Qt::Key_Right:
      cell.rx() += 1;
      break;
    case Qt::Key_Up:
      cell.ry() -= 1;
      break;
    case Qt::Key_Down:
      cell.ry() += 1;
      break;
    default:
      return false;
  }
  SetCurrentCell(cell.x(), cell.y());
  return true;
}

bool TRaidGrid::CommandByKey(const QKeyEvent& AEvent) {
  switch (AEvent.key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:  // the keypad's
      emit CellActivated(FCurrent);
      return true;
    case Qt::Key_Menu:
      emit CellMenuRequested(FCurrent);
      return true;
    case Qt::Key_F10:
      if (AEvent.modifiers() != Qt::ShiftModifier) return false;
      emit CellMenuRequested(FCurrent);
      return true;
    case Qt::Key_F2:
      emit CellEditRequested(FCurrent);
      return true;
    default:
      return false;
  }
}

void TRaidGrid::wheelEvent(QWheelEvent* AEvent) {
  // A horizontal tilt is the window's business. The vertical wheel steps the current row, one
  // row per notch however finely the device reports.
  const QPoint delta = AEvent->angleDelta();
  if (delta.x() != 0) emit HorizontalWheel(delta.x());
  FWheelRest += delta.y();
  const int rows = FWheelRest / QWheelEvent::DefaultDeltasPerStep;
  FWheelRest -= rows * QWheelEvent::DefaultDeltasPerStep;
  if (rows != 0) SetCurrentCell(FCurrent.x(), FCurrent.y() - rows);
}

void TRaidGrid::focusInEvent(QFocusEvent* AEvent) {
  QAbstractScrollArea::focusInEvent(AEvent);
  viewport()->update();
}

void TRaidGrid::focusOutEvent(QFocusEvent* AEvent) {
  QAbstractScrollArea::focusOutEvent(AEvent);
  viewport()->update();
}

}  // namespace kestrum
