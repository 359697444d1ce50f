#include "ui/confirmresetf.h"

#include <QFrame>
#include <QLabel>

#include <gtest/gtest.h>

#include "tests/ui/DialogsTestSupport.h"

namespace kestrum::test {
namespace {

TEST(ConfirmResetFormTest, NamesStandClearOfTheirCaptionsInAnyFont) {
  for (int points : {8, 12, 20}) {
    SCOPED_TRACE(points);
    TConfirmResetForm dialog(nullptr);
    dialog.setFont(QFont(QStringLiteral("Tahoma"), points));
    const QFrame& bevel = Child<QFrame>(dialog, "Bevel1");
    const struct {
      const char* Caption;
      const char* Name;
    } rows[] = {{"Label1", "CharNameLB"}, {"Label2", "RaidNameLB"}};
    for (const auto& r : rows) {
      const QLabel& caption = Child<QLabel>(dialog, r.Caption);
      const QLabel& name = Child<QLabel>(dialog, r.Name);
      const int captionEnd = caption.x() + caption.fontMetrics().horizontalAdvance(caption.text());
      EXPECT_GE(name.x() - captionEnd, 6) << r.Name;
      EXPECT_LE(name.geometry().right(), bevel.geometry().right()) << r.Name;
    }
  }
}

}  // namespace
}  // namespace kestrum::test
