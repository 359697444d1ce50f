#include "platform/formutils.h"

#include <optional>
#include <vector>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

constexpr TScreenSize kPrimary{1920, 1080};
constexpr TRect kFullHd{0, 0, 1919, 1079};
constexpr TRect kWorkArea{0, 0, 1919, 1039};
constexpr TRect kSecondMonitor{1920, 0, 3839, 1079};
// Taskbar rectangles as the window system reports them (right and bottom exclusive).
constexpr TRect kBottomTaskBar{0, 1040, 1920, 1080};
constexpr TRect kLeftTaskBar{0, 0, 60, 1080};
constexpr TRect kHiddenLeftTaskBar{-100, 0, 0, 1080};
constexpr TRect kRightTaskBar{1860, 0, 1920, 1080};
constexpr TRect kOffPrimaryTaskBar{1920, 0, 1980, 1080};  // on a monitor right of the primary
constexpr TRect kTopTaskBar{0, 0, 1920, 40};

struct PlacementCase {
  const char* name;
  TFormBounds form;
  bool taskBar;
  TRect area;
  TAdjustPosTypes adjusts;
  std::optional<TRect> taskBarRect;
  TFormPos expected;
};

TEST(FormUtilsTest, PlacesFormInsideArea) {
  const std::nullopt_t none = std::nullopt;
  const PlacementCase cases[] = {
      // name, form (Left, Top, Width, Height), taskbar flag, area, edges, taskbar rectangle, expected
      {"inside stays", {100, 100, 200, 100}, false, kFullHd, {}, none, {100, 100}},
      {"50 px beyond the work area", {1769, 100, 200, 100}, false, kWorkArea, {}, none, {1719, 100}},
      {"bottom taskbar, 1920x1080", {100, 900, 200, 300}, true, kFullHd, {}, kBottomTaskBar, {100, 741}},
      {"taskbar flag off", {100, 900, 200, 300}, false, kFullHd, {}, kBottomTaskBar, {100, 779}},
      {"no taskbar found", {100, 900, 200, 300}, true, kFullHd, {}, none, {100, 779}},
      {"larger than the area", {300, 50, 2000, 1200}, false, kFullHd, {}, none, {0, 0}},
      {"above and left of the area", {-30, -40, 200, 100}, false, kFullHd, {}, none, {0, 0}},
      {"top wins over bottom", {100, 500, 200, 100}, false, kFullHd, {aptTop, aptBottom}, none, {100, 0}},
      {"left wins over right", {500, 100, 200, 100}, false, kFullHd, {aptLeft, aptRight}, none, {0, 100}},
      {"snap to bottom", {100, 100, 200, 100}, false, kFullHd, {aptBottom}, none, {100, 979}},
      {"snap to right", {100, 100, 200, 100}, false, kFullHd, {aptRight}, none, {1719, 100}},
      {"taskbar on the left", {10, 100, 200, 100}, true, kFullHd, {aptLeft}, kLeftTaskBar, {61, 100}},
      {"hidden left taskbar", {-50, 100, 200, 100}, true, kFullHd, {}, kHiddenLeftTaskBar, {0, 100}},
      {"taskbar on the right", {1700, 100, 200, 100}, true, kFullHd, {}, kRightTaskBar, {1659, 100}},
      {"taskbar off the primary", {1700, 100, 200, 100}, true, kFullHd, {}, kOffPrimaryTaskBar, {1700, 100}},
      {"taskbar at the top", {100, 10, 200, 100}, true, kFullHd, {}, kTopTaskBar, {100, 39}},
      {"area of a second monitor", {1900, 100, 200, 100}, false, kSecondMonitor, {}, none, {1920, 100}},
  };
  for (const PlacementCase& c : cases) {
    const TFormPos pos = PlaceFormInRect(c.form, c.taskBar, c.area, c.adjusts, c.taskBarRect, kPrimary);
    EXPECT_EQ(pos.Left, c.expected.Left) << c.name;
    EXPECT_EQ(pos.Top, c.expected.Top) << c.name;
  }
}

TEST(FormUtilsTest, NearestMonitorIsTheOneOverlappedMostElseTheClosest) {
  // A 1920x1080 primary and a shorter 1280x1024 monitor right of it, 56 px higher up: the strip
  // below the second one, from y 968 on, is on no monitor.
  const std::vector<TRect> monitors{{0, 0, 1919, 1079}, {1920, -56, 3199, 967}};
  const struct {
    const char* name;
    TRect window;
    int expected;
  } cases[] = {
      {"inside the primary", {100, 100, 499, 359}, 0},
      {"inside the second", {2000, 100, 2399, 359}, 1},
      {"mostly on the second, middle in the strip below it", {1850, 880, 2249, 1079}, 1},
      {"on both, mostly on the primary", {1700, 500, 2099, 759}, 0},
      {"in the strip below the second only", {2500, 1000, 2899, 1059}, 1},
      {"beyond the right edge of the second", {3300, 100, 3699, 359}, 1},
      {"far below both, nearer the primary", {100, 3000, 499, 3259}, 0},
      {"above the primary, nearer the second", {1500, -900, 1899, -700}, 1},
      {"on no monitor at the ends of the int range",
       {-2147483647 - 1, 2147483000, -2147483000, 2147483647},
       0},
  };
  for (const auto& c : cases) EXPECT_EQ(NearestMonitor(c.window, monitors), c.expected) << c.name;
  EXPECT_EQ(NearestMonitor({0, 0, 10, 10}, {}), -1);
}

TEST(FormUtilsTest, BottomTaskBarLeavesTwoPixelsOverlap) {
  // Kept as it always was: the bottom edge goes to the taskbar's top + 1.
  EXPECT_EQ(TaskBarCorrectedArea(kFullHd, kBottomTaskBar, kPrimary), (TRect{0, 0, 1919, 1041}));
}

TEST(FormUtilsTest, MonitorAreaDependsOnWorkAreaAndPrimary) {
  const TRect bounds{1920, 0, 3839, 1079};
  const TRect work{1920, 0, 3839, 1039};
  struct Case {
    bool workAreaExcludesTaskBar, taskBar, primary;
    TMonitorArea expected;
  };
  const Case cases[] = {
      {true, true, false, {work, false}},    {true, false, true, {bounds, false}},
      {false, true, true, {bounds, true}},   {false, true, false, {bounds, false}},
      {false, false, true, {bounds, false}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseMonitorArea(c.workAreaExcludesTaskBar, c.taskBar, bounds, work, c.primary), c.expected)
        << c.workAreaExcludesTaskBar << c.taskBar << c.primary;
  }
}

TEST(FormUtilsTest, AdjustPosTypesUseOneBitPerEdgeInOrder) {
  EXPECT_EQ(TAdjustPosTypes({aptTop}).Bits(), 1);
  EXPECT_EQ(TAdjustPosTypes({aptBottom}).Bits(), 2);
  EXPECT_EQ(TAdjustPosTypes({aptLeft}).Bits(), 4);
  EXPECT_EQ(TAdjustPosTypes({aptRight}).Bits(), 8);
  EXPECT_EQ(TAdjustPosTypes::FromBits(0xFF), (TAdjustPosTypes{aptTop, aptBottom, aptLeft, aptRight}));

  TAdjustPosTypes types{aptTop, aptRight};
  types.Exclude(aptTop);
  EXPECT_FALSE(types.Contains(aptTop));
  EXPECT_TRUE(types.Contains(aptRight));
}

}  // namespace
}  // namespace kestrum
