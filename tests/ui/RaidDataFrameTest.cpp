#include <cmath>
#include <vector>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>

#include "tests/support/TimeZone.h"
#include "tests/ui/DialogsTestSupport.h"
#include "ui/raiddatafrm.h"

namespace kestrum::test {
namespace {

constexpr double OneMSec = 1.0 / 86400000;

TDateTime Span(int ADays, int AHours, int AMinutes, int ASeconds = 0, int AMSecs = 0) {
  return ADays + ((AHours * 60.0 + AMinutes) * 60 + ASeconds + AMSecs / 1000.0) / 86400;
}

class RaidDataFrameTest : public DialogTest {
 protected:
  TRaidDataFrame& MakeRow(TDateTime AActivateTime, uint32_t ACount = 5, int AMaxNameWidth = 40) {
    row_ =
        std::make_unique<TRaidDataFrame>(nullptr, TRDFDatas{u"Raid", AMaxNameWidth, AActivateTime, ACount});
    return *row_;
  }
  QLineEdit& Edit(const char* AName) { return Child<QLineEdit>(*row_, AName); }
  QStringList Shown() {
    return {Edit("DayEd").text(), Edit("HourEd").text(), Edit("MinEd").text(), Edit("CountEd").text()};
  }
  void Enter(const QStringList& ATexts) {
    const char* names[] = {"DayEd", "HourEd", "MinEd", "CountEd"};
    for (int i = 0; i < ATexts.size(); ++i) Edit(names[i]).setText(ATexts[i]);
  }

  std::unique_ptr<TRaidDataFrame> row_;
};

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

// The time left is real time, shown and taken as such across a change of the clocks. Central
// European clocks go forward at 02:00 on 29 March 2026 and back at 03:00 on 25 October.
TEST_F(RaidDataFrameTest, TimeLeftIsRealTimeAcrossADaylightSavingChange) {
  const auto at = [](int AMonth, int ADay, int AHour, int AMinute = 0) {
    return EncodeDate(2026, AMonth, ADay) + EncodeTime(AHour, AMinute, 0, 0);
  };
  struct Case {
    const char* what;
    const char* zone;
    TDateTime now;
    TDateTime activateTime;
    QStringList shown;
    QStringList entered;
    TDateTime enteredMoment;
  } cases[] = {
      {"spring weekend",
       kCentralEuropeanTime,
       at(3, 28, 20),
       at(3, 31, 15),
       {"2", "18", "0", "5"},
       {"1", "0", "0"},
       at(3, 29, 21)},
      {"autumn weekend",
       kCentralEuropeanTime,
       at(10, 24, 20),
       at(10, 27, 13),
       {"2", "18", "0", "5"},
       {"1", "0", "0"},
       at(10, 25, 19)},
      {"over the skipped hour",
       kCentralEuropeanTime,
       at(3, 29, 1, 30),
       at(3, 29, 3, 30),
       {"0", "1", "0", "5"},
       {"0", "0", "30"},
       at(3, 29, 3)},
      {"no daylight saving",
       "UTC0",
       at(3, 28, 20),
       at(3, 31, 14),
       {"2", "18", "0", "5"},
       {"1", "0", "0"},
       at(3, 29, 20)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const TTimeZone zone(c.zone);
    clockAndFormats_.StopClockAt(c.now);
    TRaidDataFrame& row = MakeRow(c.activateTime);
    EXPECT_EQ(Shown(), c.shown);
    EXPECT_TRUE(row.CheckCorrectness());
    EXPECT_NEAR(row.GetActiveDateTime(), c.activateTime, OneMSec / 2);
    Enter(c.entered);
    EXPECT_NEAR(row.GetActiveDateTime(), c.enteredMoment, OneMSec / 2);
  }
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
