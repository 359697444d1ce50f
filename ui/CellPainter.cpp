#include "ui/CellPainter.h"

#include <algorithm>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

#include "base/DateTime.h"
#include "data/Kestrum.h"
#include "ui/RaidGrid.h"

namespace kestrum {

namespace {

QString QStr(const String& AText) {
  return QString::fromStdU16String(AText);
}

// The font with no style; header texts use it made bold, which replaces any other style. A font
// from the font chooser names its style ("Book"), and a named style would win over the weight.
QFont PlainFont(QFont AFont) {
  AFont.setStyleName(QString());
  AFont.setBold(false);
  AFont.setItalic(false);
  AFont.setUnderline(false);
  AFont.setStrikeOut(false);
  return AFont;
}

QFont BoldFont(const QFont& AFont) {
  QFont bold = PlainFont(AFont);
  bold.setBold(true);
  return bold;
}

// Draws a text at the top-left of its box, clipped to the box's rectangle, in the canvas's font.
void DrawTextBox(QPainter& ACanvas, const TTextBox& ABox, const QString& AText) {
  ACanvas.setClipRect(ToQRect(ABox.Clip));
  ACanvas.drawText(QPoint(ABox.X, ABox.Y + ACanvas.fontMetrics().ascent()), AText);
  ACanvas.setClipping(false);
}

}  // namespace

bool InRoster(const TKestrum* ARoster, const QPoint& ACell) {
  return ARoster && ACell.x() >= 1 && ACell.x() <= ARoster->CharaCount() && ACell.y() >= 1 &&
         ACell.y() <= ARoster->RaidCount();
}

TRaidTimerData* TimerAt(const TKestrum& ARoster, const QPoint& ACell) {
  return ARoster.GetCharaDatas(ACell.x() - 1)->GetRaidTimerDatas(ACell.y() - 1);
}

TCellPainter::TCellPainter(const TRaidGrid& AGrid) : FGrid(AGrid) {}

TColumnLayout TCellPainter::LayOutColumns() {
  const QFontMetrics bold(BoldFont(FGrid.font()), &FGrid);
  const QFontMetrics plain(PlainFont(FGrid.font()), &FGrid);
  TColumnMeasures measures;
  measures.BackslashBold = bold.horizontalAdvance(QStringLiteral("＼"));
  for (const String& name : FRoster->RaidNameAry())
    measures.RaidNamesBold.push_back(bold.horizontalAdvance(QStr(name)));
  for (const auto& chara : FRoster->CharaDataAry())
    measures.CharaNamesBold.push_back(bold.horizontalAdvance(QStr(chara->Name())));
  for (int d = 0; d < 10; ++d) measures.Digits[d] = plain.horizontalAdvance(QChar(u'0' + d));
  measures.DayColon = plain.horizontalAdvance(QStringLiteral("日   :"));
  const TColumnLayout layout = ComputeColumnLayout(measures);
  // The button takes the font as it is, style included.
  FButtonWidth =
      QFontMetrics(FGrid.font(), &FGrid).horizontalAdvance(QStr(ButtonPattern(layout.WidestDigit)));
  return layout;
}

int TCellPainter::CharaColWidth(int ACol, int ABaseWidth) const {
  if (ACol - 1 >= FRoster->CharaCount()) return ABaseWidth;
  const TCharaData& chara = *FRoster->GetCharaDatas(ACol - 1);
  uint32_t largest = 0;
  for (int k = 0; k < chara.RaidCount(); ++k)
    largest = std::max(largest, chara.GetRaidTimerDatas(k)->Count());
  const int countWidth = QFontMetrics(FGrid.font(), &FGrid).horizontalAdvance(QString::number(largest));
  return CharaColWidthForCount(ABaseWidth, FButtonWidth, countWidth);
}

int TCellPainter::RowHeight() const {
  const QFontMetrics bold(BoldFont(FGrid.font()), &FGrid);
  const QFontMetrics plain(PlainFont(FGrid.font()), &FGrid);
  return RowHeightForText(FGrid.logicalDpiY(), std::max(bold.height(), plain.height()));
}

TCellRect TCellPainter::CellButtonRect(int ACol, int ARow) const {
  return ButtonRect(FGrid.CellRect(ACol, ARow), FButtonWidth);
}

QPoint TCellPainter::HitTestButton(const QPoint& APos) const {
  const QPoint cell = FGrid.MouseCoord(APos);
  if (!InRoster(FRoster, cell)) return kNoCell;
  return HitRect(CellButtonRect(cell.x(), cell.y()), APos.x(), APos.y()) ? cell : kNoCell;
}

void TCellPainter::RaidGridDrawCell(QPainter& ACanvas, int ACol, int ARow, const TCellRect& R) const {
  if (!FRoster) return;
  if (ARow == 0) {
    if (ACol == 0)
      DrawHeaderText(ACanvas, u" ", R);
    else if (ACol - 1 < FRoster->CharaCount())
      DrawHeaderText(ACanvas, FRoster->GetCharaDatas(ACol - 1)->Name(), R);
  } else if (ACol == 0) {
    if (ARow - 1 < FRoster->RaidCount()) DrawRaidName(ACanvas, FRoster->GetRaidNames(ARow - 1), R);
  } else if (InRoster(FRoster, {ACol, ARow})) {
    const TRaidTimerData& timer = *TimerAt(*FRoster, {ACol, ARow});
    if (timer.Enabled()) {
      DrawOkButton(ACanvas, ButtonRect(R, FButtonWidth), FPressed == QPoint(ACol, ARow));
      DrawRunCount(ACanvas, timer, R);
    } else {
      DrawRunningTimer(ACanvas, timer, R);
    }
  }
}

void TCellPainter::DrawHeaderText(QPainter& ACanvas, const String& AText, const TCellRect& R) const {
  ACanvas.setFont(BoldFont(ACanvas.font()));
  const QString text = QStr(AText);
  const QFontMetrics metrics = ACanvas.fontMetrics();
  DrawTextBox(ACanvas, HeaderTextBox(R, metrics.horizontalAdvance(text), metrics.height()), text);
}

void TCellPainter::DrawRaidName(QPainter& ACanvas, const String& AText, const TCellRect& R) const {
  ACanvas.setFont(BoldFont(ACanvas.font()));
  const QString text = QStr(AText);
  const QFontMetrics metrics = ACanvas.fontMetrics();
  DrawTextBox(ACanvas, RaidNameBox(R, metrics.horizontalAdvance(text), metrics.height()), text);
}

void TCellPainter::DrawOkButton(QPainter& ACanvas, const TCellRect& B, bool APressed) const {
  QStyleOptionButton button;
  button.initFrom(&FGrid);
  button.rect = ToQRect(B);
  button.state |= APressed ? QStyle::State_Sunken : QStyle::State_Raised;
  button.state &= ~QStyle::State_HasFocus;
  FGrid.style()->drawControl(QStyle::CE_PushButtonBevel, &button, &ACanvas, &FGrid);

  // The caption stays put when the button is pressed.
  const QFont font = ACanvas.font();
  ACanvas.setFont(PlainFont(font));
  ACanvas.setPen(FGrid.palette().color(QPalette::ButtonText));
  const QString caption = QStringLiteral("OK");
  const QFontMetrics metrics = ACanvas.fontMetrics();
  DrawTextBox(ACanvas, OkCaptionBox(B, metrics.horizontalAdvance(caption), metrics.height()), caption);
  ACanvas.setFont(font);
  ACanvas.setPen(FGrid.palette().color(QPalette::Text));
}

void TCellPainter::DrawRunCount(QPainter& ACanvas, const TRaidTimerData& ATimer, const TCellRect& R) const {
  const QString count = QString::number(ATimer.Count());
  const QFontMetrics metrics = ACanvas.fontMetrics();
  DrawTextBox(ACanvas, RunCountBox(R, metrics.horizontalAdvance(count), metrics.height()), count);
}

void TCellPainter::DrawRunningTimer(QPainter& ACanvas, const TRaidTimerData& ATimer,
                                    const TCellRect& R) const {
  const QString moment = QStr(FormatDateTime(u"d日 hh:mm", ATimer.ActivateTime()));
  const QString count = QString::number(ATimer.Count());
  const QFontMetrics metrics = ACanvas.fontMetrics();
  const TRunningTimerBoxes boxes = RunningTimerBoxes(R, FButtonWidth, metrics.horizontalAdvance(moment),
                                                     metrics.horizontalAdvance(count), metrics.height());
  DrawTextBox(ACanvas, boxes.Moment, moment);
  DrawTextBox(ACanvas, boxes.Count, count);
}

}  // namespace kestrum
