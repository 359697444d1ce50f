#include "ui/GridGeometry.h"

#include <gtest/gtest.h>

#include "ui/WindowSettings.h"

namespace kestrum {
namespace {

TEST(GridGeometryTest, GridSizeKeepsAPlaceholderForEmptyRosters) {
  const struct {
    int Count;
    int Expected;
  } cases[] = {{0, 2}, {1, 2}, {2, 3}, {30, 31}};
  for (const auto& c : cases) {
    EXPECT_EQ(GridColCount(c.Count), c.Expected) << c.Count;
    EXPECT_EQ(GridRowCount(c.Count), c.Expected) << c.Count;
  }
}

TEST(GridGeometryTest, ColumnLayoutFromMeasuredWidths) {
  const std::array<int, 10> evenDigits{6, 6, 6, 6, 6, 6, 6, 6, 6, 6};
  const std::array<int, 10> tiedDigits{6, 5, 7, 6, 7, 6, 6, 6, 6, 6};  // 2 and 4 equally widest
  const std::array<int, 10> lastWidest{6, 6, 6, 6, 6, 6, 6, 6, 6, 8};
  const struct {
    const char* Name;
    TColumnMeasures Measures;
    TColumnLayout Expected;
  } cases[] = {
      // Empty roster: column 0 fits "＼", character column max(e, 0) + 8 with e = 20 + 10 * 6.
      {"empty roster", {13, {}, {}, evenDigits, 20}, {21, 88, 0}},
      {"raid name wider than the backslash", {13, {30, 9}, {40}, evenDigits, 20}, {38, 88, 0}},
      {"character name wider than e", {13, {30}, {50, 95}, evenDigits, 20}, {38, 103, 0}},
      {"digit tie takes the lower digit", {13, {}, {}, tiedDigits, 20}, {21, 98, 2}},
      {"widest digit last", {13, {}, {}, lastWidest, 20}, {21, 108, 9}},
  };
  for (const auto& c : cases) EXPECT_EQ(ComputeColumnLayout(c.Measures), c.Expected) << c.Name;
}

// A run count of up to ten digits stands clear of the OK button and of the lock-out's end.
TEST(GridGeometryTest, ColumnsWidenForLongRunCounts) {
  const int wB = 62, base = 88, height = 13;
  const struct {
    int CountWidth;
    int Width;
  } cases[] = {{7, 88}, {10, 88}, {21, 99}, {28, 106}, {70, 148}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.CountWidth);
    const int width = CharaColWidthForCount(base, wB, c.CountWidth);
    EXPECT_EQ(width, c.Width);
    const TCellRect R{100, 24, 100 + width, 48};
    EXPECT_LT(ButtonRect(R, wB).Right, RunCountBox(R, c.CountWidth, height).X);
    const TRunningTimerBoxes locked = RunningTimerBoxes(R, wB, wB, c.CountWidth, height);
    EXPECT_LE(locked.Moment.X + wB, locked.Count.X);
    EXPECT_LE(locked.Count.X + c.CountWidth, R.Right - 4);
  }
}

TEST(GridGeometryTest, ButtonPatternRepeatsTheWidestDigit) {
  EXPECT_EQ(ButtonPattern(0), u"00日 00:00");
  EXPECT_EQ(ButtonPattern(7), u"77日 77:77");
}

TEST(GridGeometryTest, RowHeightFollowsDpi) {
  EXPECT_EQ(RowHeightForDpi(96), 24);
  EXPECT_EQ(RowHeightForDpi(144), 36);
}

TEST(GridGeometryTest, RowsGrowForTallText) {
  const struct {
    int Dpi, TextHeight, Row;
  } cases[] = {
      {96, 13, 24},   // a small font keeps the usual height
      {96, 14, 24},   // the tallest text that still fits it
      {96, 15, 25},   //
      {96, 32, 42},   // 20 pt
      {144, 13, 36},  // the usual height follows the screen
  };
  for (const auto& c : cases)
    EXPECT_EQ(RowHeightForText(c.Dpi, c.TextHeight), c.Row) << c.Dpi << " dpi, text " << c.TextHeight;
}

TEST(GridGeometryTest, ButtonRectAndItsHitTestIncludeTheBorders) {
  const TCellRect cell{100, 50, 188, 74};
  const TCellRect button = ButtonRect(cell, 60);
  EXPECT_EQ(button, (TCellRect{104, 53, 168, 71}));
  const struct {
    int X, Y;
    bool Hit;
  } points[] = {{104, 53, true},  {168, 71, true},  {136, 62, true}, {103, 60, false},
                {169, 60, false}, {120, 52, false}, {120, 72, false}};
  for (const auto& p : points) EXPECT_EQ(HitRect(button, p.X, p.Y), p.Hit) << p.X << "," << p.Y;
}

TEST(GridGeometryTest, TextPositions) {
  const TCellRect cell{100, 50, 188, 74};  // 88 x 24
  const struct {
    const char* Name;
    TTextBox Actual;
    TTextBox Expected;
  } cases[] = {
      // Centre 144, box bottom at 74 - (24 - 13) / 2 = 69.
      {"header", HeaderTextBox(cell, 41, 13), {cell, 124, 56}},
      {"raid name, room to spare", RaidNameBox(cell, 40, 13), {cell, 144, 56}},
      // (88 - 84) / 2 = 2 < 4: centred.
      {"raid name, tight", RaidNameBox(cell, 84, 13), {cell, 102, 56}},
      // Wider than the cell: centred and clipped on both sides.
      {"raid name, too wide", RaidNameBox(cell, 100, 13), {cell, 94, 56}},
      {"OK caption", OkCaptionBox({104, 53, 168, 71}, 16, 13), {{104, 53, 168, 71}, 128, 55}},
      {"run count", RunCountBox(cell, 14, 13), {{100, 53, 184, 71}, 170, 55}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.Actual, c.Expected) << c.Name;

  const TRunningTimerBoxes timer = RunningTimerBoxes(cell, 60, 55, 14, 13);
  EXPECT_EQ(timer.Moment, (TTextBox{{104, 53, 164, 71}, 109, 55}));
  EXPECT_EQ(timer.Count, (TTextBox{{164, 53, 184, 71}, 170, 55}));
}

TEST(WindowSettingsTest, StoredPlacementBecomesUsable) {
  const std::vector<TPlacement> screens{{0, 0, 1920, 1040}, {1920, 0, 1280, 1024}};
  const struct {
    const char* Name;
    TPlacement Stored;
    TPlacement Expected;
  } cases[] = {
      {"sound values stay", {10, 10, 400, 260}, {10, 10, 400, 260}},
      {"partly off screen is left to the adjustor", {1800, 900, 400, 260}, {1800, 900, 400, 260}},
      {"second screen", {2000, 100, 400, 260}, {2000, 100, 400, 260}},
      {"too small", {10, 10, -5, 3}, {10, 10, kMinWindowWidth, kMinWindowHeight}},
      {"larger than its screen", {0, 0, 5000, 2000000000}, {0, 0, 1920, 1040}},
      {"larger than the second screen", {1930, 0, 4000, 4000}, {1930, 0, 1280, 1024}},
      {"on no screen", {-99999999, 2147483000, 400, 260}, {0, 780, 400, 260}},
      {"beyond every screen edge, nearest the second", {5000, 50, 400, 260}, {2800, 50, 400, 260}},
      {"below the shorter second screen", {2000, 1100, 400, 260}, {2000, 764, 400, 260}},
  };
  for (const auto& c : cases) EXPECT_EQ(SanitizePlacement(c.Stored, screens), c.Expected) << c.Name;
}

TEST(WindowSettingsTest, FontValuesBecomeUsable) {
  EXPECT_EQ(SanitizeFontSize(8), 8);
  EXPECT_EQ(SanitizeFontSize(0), 8);
  EXPECT_EQ(SanitizeFontSize(-12), 8);
  EXPECT_EQ(SanitizeFontSize(5000), 72);
  EXPECT_EQ(SanitizeFontName(u"Meiryo"), u"Meiryo");
  EXPECT_EQ(SanitizeFontName(u"  "), u"Tahoma");
}

}  // namespace
}  // namespace kestrum
