#include <cmath>
#include <vector>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

#include "tests/ui/RaidDataFrameFixture.h"

namespace kestrum::test {
namespace {

TEST_F(RaidDataFrameTest, ShowsTheTimeLeftAndGivesBackTheMomentItWasCreatedWith) {
  const TDateTime now = FixedNow();
  struct Case {
    const char* what;
    TDateTime activateTime;
    QStringList shown;
    bool valid;
    TDateTime convertsTo;
  } cases[] = {
      {"running, with seconds",
       now + Span(1, 5, 7, 30, 250),
       {"1", "5", "7", "9"},
       true,
       now + Span(1, 5, 7, 30, 250)},
      {"just started", now + Span(2, 18, 0), {"2", "18", "0", "9"}, true, now + Span(2, 18, 0)},
      {"under a minute left", now + Span(0, 0, 0, 59), {"0", "0", "0", "9"}, true, 0},
      {"already ended", now - Span(0, 3, 0), {"0", "0", "0", "9"}, true, 0},
      {"no lock-out", 0, {"0", "0", "0", "9"}, true, 0},
      {"beyond a lock-out", now + Span(2, 18, 1), {"2", "18", "1", "9"}, false, 0},
      {"days the edit cannot take", now + Span(3, 0, 0), {"3", "0", "0", "9"}, false, 0},
      {"more days than the edit is long", now + Span(12, 1, 2), {"12", "1", "2", "9"}, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TRaidDataFrame& row = MakeRow(c.activateTime, 9);
    EXPECT_EQ(Shown(), c.shown);
    EXPECT_EQ(row.CheckCorrectness(), c.valid);
    if (!c.valid) continue;
    EXPECT_NEAR(row.GetActiveDateTime(), c.convertsTo, OneMSec / 2);
    EXPECT_EQ(row.GetCount(), 9u);
  }
}

TEST_F(RaidDataFrameTest, AcceptsOnlyTimesLeftWithinALockOut) {
  struct Case {
    QStringList entered;  // days, hours, minutes, count
    bool valid;
  } cases[] = {
      {{"2", "18", "0", "0"}, true},  {{"2", "18", "1", "0"}, false}, {{"2", "17", "59", "0"}, true},
      {{"3", "0", "0", "0"}, false},  {{"0", "24", "0", "0"}, false}, {{"0", "0", "60", "0"}, false},
      {{"0", "23", "59", "0"}, true}, {{"", "0", "0", "0"}, false},   {{"0", "", "0", "0"}, false},
      {{"0", "0", "", "0"}, false},   {{"0", "0", "0", ""}, false},   {{"0", "0", "0", "9999"}, true},
  };
  TRaidDataFrame& row = MakeRow(0);
  for (const Case& c : cases) {
    Enter(c.entered);
    EXPECT_EQ(row.CheckCorrectness(), c.valid) << c.entered.join(' ').toStdString();
  }
}

TEST_F(RaidDataFrameTest, ConvertsAnEditedTimeLeftAgainstTheMomentOfCreation) {
  TRaidDataFrame& row = MakeRow(FixedNow() + Span(0, 1, 0, 42));
  // The clock moving on changes nothing: the row keeps its moment of creation.
  clockAndFormats_.StopClockAt(FixedNow() + 1);
  Enter({"1", "2", "3", "17"});
  EXPECT_NEAR(row.GetActiveDateTime(), FixedNow() + Span(1, 2, 3, 42), OneMSec / 2);
  EXPECT_EQ(row.GetCount(), 17u);
  Enter({"0", "0", "0"});
  EXPECT_EQ(row.GetActiveDateTime(), 0);
  Enter({"0", "24", "0"});
  EXPECT_THROW(row.GetActiveDateTime(), EConvertError);
  Enter({"0", "0", "0", ""});
  EXPECT_THROW(row.GetCount(), EConvertError);
}

TEST_F(RaidDataFrameTest, ClearEmptiesTheRowAndResetBringsBackWhatItShowedAtFirst) {
  TRaidDataFrame& row = MakeRow(FixedNow() + Span(1, 5, 7), 12);
  std::vector<QObject*> timerSenders, countSenders;
  row.SetOnTimerChanged([&](QObject* sender) { timerSenders.push_back(sender); });
  row.SetOnCountChanged([&](QObject* sender) { countSenders.push_back(sender); });

  row.Clear();
  EXPECT_EQ(Shown(), (QStringList{"0", "0", "0", "0"}));
  EXPECT_EQ(row.GetActiveDateTime(), 0);
  EXPECT_EQ(row.GetCount(), 0u);
  const std::vector<QObject*> timeEdits = {&Edit("DayEd"), &Edit("HourEd"), &Edit("MinEd")};
  EXPECT_EQ(timerSenders, timeEdits);
  EXPECT_EQ(countSenders, std::vector<QObject*>{&Edit("CountEd")});

  row.Reset();
  EXPECT_EQ(Shown(), (QStringList{"1", "5", "7", "12"}));
  EXPECT_EQ(timerSenders.size(), 6u);
  EXPECT_EQ(countSenders.size(), 2u);
}

TEST_F(RaidDataFrameTest, EditsLetThroughOnlyTheirDigitsAndNoPaste) {
  MakeRow(0);
  struct Case {
    const char* edit;
    char typed;
    bool accepted;
  } cases[] = {
      {"DayEd", '0', true},  {"DayEd", '2', true},  {"DayEd", '3', false},  {"DayEd", '9', false},
      {"DayEd", 'a', false}, {"HourEd", '9', true}, {"HourEd", 'x', false}, {"HourEd", '-', false},
      {"MinEd", ' ', false}, {"MinEd", '+', false}, {"CountEd", '7', true}, {"CountEd", '.', false},
  };
  for (const Case& c : cases) {
    QLineEdit& edit = Edit(c.edit);
    edit.clear();
    QTest::keyClick(&edit, c.typed);
    EXPECT_EQ(edit.text(), c.accepted ? QString(QChar(c.typed)) : QString())
        << c.edit << " typed " << c.typed;
  }

  QLineEdit& hours = Edit("HourEd");
  hours.setText(QStringLiteral("0"));
  QTest::keyClick(&hours, Qt::Key_Backspace);
  EXPECT_EQ(hours.text(), "");
  QGuiApplication::clipboard()->setText(QStringLiteral("1"));
  QTest::keyClick(&hours, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(&hours, Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(hours.text(), "");
  // Pasting another way (menu, middle click, drop) is still held to the edit's characters and length.
  QGuiApplication::clipboard()->setText(QStringLiteral("1a"));
  hours.paste();
  EXPECT_EQ(hours.text(), "");
  QGuiApplication::clipboard()->setText(QStringLiteral("123"));
  hours.paste();
  EXPECT_EQ(hours.text(), "");
}

TEST_F(RaidDataFrameTest, TypingStopsAtTheLengthLimitButStoredLongerValuesStayWholeAndCanBeShortened) {
  MakeRow(0, 123456);
  QLineEdit& count = Edit("CountEd");
  EXPECT_EQ(count.text(), "123456");
  count.end(false);
  QTest::keyClick(&count, '7');
  EXPECT_EQ(count.text(), "123456");
  QTest::keyClick(&count, Qt::Key_Backspace);
  QTest::keyClick(&count, Qt::Key_Backspace);
  EXPECT_EQ(count.text(), "1234");
  QTest::keyClick(&count, '5');
  EXPECT_EQ(count.text(), "1234");
}

TEST_F(RaidDataFrameTest, NarrowContentIsCentredInARowOfTheMinimumWidth) {
  for (int nameWidth : {20, 300}) {
    TRaidDataFrame& row = MakeRow(0, 0, nameWidth);
    int content = nameWidth + 47;
    for (const char* name : {"DayEd", "DayLb", "HourEd", "HourLb", "MinEd", "MinLb", "CountEd", "CountLb"})
      content += Child<QWidget>(row, name).width();
    const int offset = content >= 260 ? 0 : (260 - content) / 2;
    EXPECT_EQ(row.width(), std::max(content, 260)) << nameWidth;
    const QLabel& name = Child<QLabel>(row, "RaidNameLb");
    EXPECT_EQ(name.x(), offset + 8) << nameWidth;
    EXPECT_EQ(name.geometry().right() + 1, offset + 8 + nameWidth) << nameWidth;
    EXPECT_EQ(Child<QWidget>(row, "DayEd").x(), offset + 8 + nameWidth + 5) << nameWidth;
    const QWidget& countLb = Child<QWidget>(row, "CountLb");
    EXPECT_EQ(countLb.x() + countLb.width(), offset + content - 2) << nameWidth;
  }
}

TEST_F(RaidDataFrameTest, CountEditShowsFiveDigitsWholeInAnyFont) {
  for (int points : {8, 12, 20}) {
    SCOPED_TRACE(points);
    QWidget editor;
    editor.setFont(QFont(QStringLiteral("Tahoma"), points));
    TRaidDataFrame row(&editor, TRDFDatas{u"Raid", 40, 0, 99999});
    QLineEdit& count = Child<QLineEdit>(row, "CountEd");
    ASSERT_EQ(count.text(), "99999");
    // What the edit draws text into: inside its frame, less the 2 pixels Qt keeps on each side.
    QStyleOptionFrame frame;
    frame.initFrom(&count);
    frame.rect = count.rect();
    frame.lineWidth = count.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, &count);
    const QRect contents = count.style()->subElementRect(QStyle::SE_LineEditContents, &frame, &count);
    EXPECT_GE(contents.width() - 2 * 2, count.fontMetrics().horizontalAdvance(count.text()))
        << "edit " << count.width() << " wide";
    EXPECT_GE(count.width(), 37);
  }
}

}  // namespace
}  // namespace kestrum::test
