#include "ui/GridGeometry.h"

#include <algorithm>

namespace kestrum {

namespace {

// Top of a text of height h whose box bottom sits where the text would be vertically centred.
int BottomAlignedTop(const TCellRect& R, int h) {
  const int y = R.Bottom - (R.Bottom - R.Top - h) / 2;
  return y - h;
}

int CentredTop(const TCellRect& R, int h) {
  return R.Top + (R.Bottom - R.Top - h) / 2;
}

// What a row needs around a line of text: the button's 3-pixel inset from the cell and 2 pixels of
// its frame, above and below.
constexpr int kRowTextMargin = 2 * (3 + 2);

}  // namespace

int GridColCount(int ACharaCount) {
  return ACharaCount > 1 ? ACharaCount + 1 : 2;
}

int GridRowCount(int ARaidCount) {
  return ARaidCount > 1 ? ARaidCount + 1 : 2;
}

TColumnLayout ComputeColumnLayout(const TColumnMeasures& AMeasures) {
  TColumnLayout layout;
  int a = AMeasures.BackslashBold;
  for (int w : AMeasures.RaidNamesBold) a = std::max(a, w);
  layout.FixedColWidth = a + 8;

  int b = 0;
  for (int w : AMeasures.CharaNamesBold) b = std::max(b, w);

  int wD = AMeasures.Digits[0];
  for (int d = 1; d < 10; ++d) {
    if (AMeasures.Digits[d] > wD) {  // strictly wider: ties keep the lower digit
      wD = AMeasures.Digits[d];
      layout.WidestDigit = d;
    }
  }
  const int e = AMeasures.DayColon + 10 * wD;
  layout.CharaColWidth = std::max(e, b) + 8;
  return layout;
}

int CharaColWidthForCount(int ABaseWidth, int wB, int ACountWidth) {
  // The button ends wB + 8 from the cell's left edge, the count 4 before its right one; 4 between.
  return std::max(ABaseWidth, wB + 8 + 4 + ACountWidth + 4);
}

String ButtonPattern(int ADigit) {
  const char16_t d = static_cast<char16_t>(u'0' + ADigit);
  return String{d, d, u'日', u' ', d, d, u':', d, d};
}

int RowHeightForDpi(int ADpi) {
  return 24 * ADpi / 96;
}

int RowHeightForText(int ADpi, int ATextHeight) {
  return std::max(RowHeightForDpi(ADpi), ATextHeight + kRowTextMargin);
}

TCellRect ButtonRect(const TCellRect& R, int wB) {
  return {R.Left + 4, R.Top + 3, R.Left + wB + 8, R.Bottom - 3};
}

bool HitRect(const TCellRect& B, int x, int y) {
  return B.Left <= x && x <= B.Right && B.Top <= y && y <= B.Bottom;
}

TTextBox HeaderTextBox(const TCellRect& R, int AWidth, int AHeight) {
  const int x = (R.Left + R.Right) / 2;
  return {R, x - AWidth / 2, BottomAlignedTop(R, AHeight)};
}

TTextBox RaidNameBox(const TCellRect& R, int AWidth, int AHeight) {
  const int m = std::min((R.Right - R.Left - AWidth) / 2, 4);
  const int x = R.Right - m;
  return {R, x - AWidth, BottomAlignedTop(R, AHeight)};
}

TTextBox OkCaptionBox(const TCellRect& B, int AWidth, int AHeight) {
  const int x = (B.Left + B.Right) / 2;
  return {B, x - AWidth / 2, CentredTop(B, AHeight)};
}

TTextBox RunCountBox(const TCellRect& R, int AWidth, int AHeight) {
  const TCellRect T{R.Left, R.Top + 3, R.Right - 4, R.Bottom - 3};
  return {T, T.Right - AWidth, CentredTop(T, AHeight)};
}

TRunningTimerBoxes RunningTimerBoxes(const TCellRect& R, int wB, int AMomentWidth, int ACountWidth,
                                     int AHeight) {
  const TCellRect moment{R.Left + 4, R.Top + 3, R.Left + 4 + wB, R.Bottom - 3};
  const TCellRect count{moment.Right, moment.Top, R.Right - 4, moment.Bottom};
  const int y = CentredTop(moment, AHeight);
  return {{moment, moment.Right - AMomentWidth, y}, {count, count.Right - ACountWidth, y}};
}

}  // namespace kestrum
