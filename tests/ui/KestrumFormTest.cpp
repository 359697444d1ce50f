// Mouse input goes through the window system layer, so a double click arrives as it does from a
// real mouse: press, release, press (flagged as the start of a double click), double click, release.
#define QTEST_QPA_MOUSE_HANDLING

#include "ui/KestrumFormf.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "data/RaidTimerData.h"
#include "platform/scrposadjustor.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempHome.h"
#include "tests/support/TimeScale.h"
#include "tests/ui/DialogsTestSupport.h"
#include "tests/ui/MainWindowTestSupport.h"
#include "ui/RaidGrid.h"
#include "ui/WindowSettings.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

class KestrumFormTest : public MainWindowTest {
 protected:
  // Sizes the window so that the grid's right edge (Qt::Horizontal) or bottom edge (Qt::Vertical)
  // cuts the OK button of the cell in half. The cell's column and row stay partly visible.
  void CutButtonInHalf(int ACol, int ARow, Qt::Orientation AEdge) {
    form_->resize(1200, 900);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Viewport()->width() > 1000; }, ScaledMs(2000)));
    const TCellRect B = form_->RaidGrid()->Painter().CellButtonRect(ACol, ARow);
    const QSize target = AEdge == Qt::Horizontal ? QSize((B.Left + B.Right) / 2, Viewport()->height())
                                                 : QSize(Viewport()->width(), (B.Top + B.Bottom) / 2);
    const QSize window = form_->size() + target - Viewport()->size();
    form_->resize(window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Viewport()->size() == target; }, ScaledMs(2000)))
        << Viewport()->width() << "x" << Viewport()->height();
  }

  // A point in the visible half of the cell's cut OK button.
  QPoint InVisibleHalf(int ACol, int ARow, Qt::Orientation AEdge) const {
    const TCellRect B = form_->RaidGrid()->Painter().CellButtonRect(ACol, ARow);
    const QPoint centre = ButtonCentre(ACol, ARow);
    return AEdge == Qt::Horizontal ? QPoint(B.Left + B.Width() / 4, centre.y())
                                   : QPoint(centre.x(), B.Top + B.Height() / 4);
  }

  // Characters C1, C2, ... and raids R1, R2, ...
  void WriteNumberedRoster(int ACharas, int ARaids, const std::function<void(TKestrum&)>& AAdjust = {}) {
    std::vector<String> charas, raids;
    for (int i = 1; i <= ACharas; ++i) charas.push_back(u"C" + IntToStr(i));
    for (int i = 1; i <= ARaids; ++i) raids.push_back(u"R" + IntToStr(i));
    WriteRoster(charas, raids, AAdjust);
  }
};

// --- Window settings ------------------------------------------------------------------------------

TEST_F(KestrumFormTest, SettingsAreReadWithDefaultsAndMadeUsable) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  const struct {
    const char* Name;
    std::string Config;  // empty: no cfg.ini
    QRect Frame;
    bool Align;
    QString FontName;
    int FontSize;
  } cases[] = {
      {"no cfg.ini", "", QRect(10, 10, 400, 260), true, "Tahoma", 8},
      {"stored values",
       "[POS]\r\nLEFT=30\r\nTOP=40\r\nWIDTH=300\r\nHEIGHT=200\r\nALIGN=0\r\n[FONT]\r\nNAME=DejaVu "
       "Serif\r\nSIZE=11\r\n",
       QRect(30, 40, 300, 200), false, "DejaVu Serif", 11},
      {"junk values",
       "[POS]\r\nLEFT=-99999999\r\nTOP=abc\r\nWIDTH=-5\r\nHEIGHT=2147483647\r\nALIGN=0\r\n[FONT]\r\nNAME="
       "\r\nSIZE=0\r\n",
       QRect(screen.left(), screen.top(), kMinWindowWidth, screen.height()), false, "Tahoma", 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteConfig(c.Config);
    TKestrumForm& form = OpenForm();
    EXPECT_EQ(form.frameGeometry(), c.Frame);
    EXPECT_EQ(Find<QAction>("AlignMn").isChecked(), c.Align);
    EXPECT_EQ(form.ScreenPosAdjustor()->Enabled(), c.Align);
    EXPECT_EQ(form.font().family(), c.FontName);
    EXPECT_EQ(form.font().pointSize(), c.FontSize);
    EXPECT_TRUE(form.Timer()->isActive());
  }
  // No data file: the default raids and no character, so only raids can be deleted.
  EXPECT_FALSE(Find<QAction>("mnDelChara").isEnabled());
  EXPECT_TRUE(Find<QAction>("mnDelRaid").isEnabled());
  EXPECT_EQ(form_->RaidGrid()->ColCount(), 2);
  EXPECT_EQ(form_->RaidGrid()->CurrentCell(), QPoint(1, 1));
}

TEST_F(KestrumFormTest, ClosingWritesTheSettingsInOrderAndKeepsOtherSections) {
  const std::string written =
      "[POS]\r\n\r\nDPI=96\r\nLEFT=10\r\nTOP=10\r\nWIDTH=400\r\nHEIGHT=260\r\nALIGN=1\r\n\r\n"
      "[FONT]\r\n\r\nNAME=Tahoma\r\nSIZE=8\r\n\r\n";
  const std::string editor = "[RDATPOS]\r\n\r\nHEIGHT=333\r\n\r\n";
  const struct {
    const char* Name;
    std::string Before;  // empty: no cfg.ini
    bool ToggleAlign;
    std::string After;
  } cases[] = {
      {"fresh file", "", false, written},
      {"editor section kept", editor, false, editor + written},
      {"alignment switched off", "", true,
       "[POS]\r\n\r\nDPI=96\r\nLEFT=10\r\nTOP=10\r\nWIDTH=400\r\nHEIGHT=260\r\nALIGN=0\r\n\r\n"
       "[FONT]\r\n\r\nNAME=Tahoma\r\nSIZE=8\r\n\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteConfig(c.Before);
    TKestrumForm& form = OpenForm();
    if (c.ToggleAlign) {
      Find<QAction>("AlignMn").trigger();
      EXPECT_FALSE(form.ScreenPosAdjustor()->Enabled());
    }
    form.close();
    EXPECT_EQ(ReadFileBytes(ConfigFile()), c.After);
  }
}

TEST_F(KestrumFormTest, SettingsThatCannotBeWrittenAreReportedAndTheDataLeftAlone) {
  WriteRoster({u"Alice"}, {u"VoN"});
  const std::string data = ReadFileBytes(DataFile());
  fs::create_directories(ConfigFile());  // a folder where cfg.ini should be
  TKestrumForm& form = OpenForm();
  TMessageBoxCloser boxes;
  form.close();
  EXPECT_FALSE(boxes.First().isEmpty());
  EXPECT_EQ(ReadFileBytes(DataFile()), data);
}

TEST_F(KestrumFormTest, RowsAreTallEnoughForTheFont) {
  for (int points : {8, 12, 20}) {
    SCOPED_TRACE(points);
    WriteRoster({u"Alice"}, {u"VoN"});
    WriteConfig("[FONT]\r\nNAME=DejaVu Sans\r\nSIZE=" + std::to_string(points) + "\r\n");
    TKestrumForm& form = OpenForm();
    QFont bold = form.font();
    bold.setBold(true);
    const int textHeight = std::max(QFontMetrics(form.font()).height(), QFontMetrics(bold).height());
    const int row = form.RaidGrid()->DefaultRowHeight();
    EXPECT_GE(row, 24);
    if (points == 8) {
      EXPECT_EQ(row, 24);
    }
    // Body texts are drawn 3 pixels inside the cell at top and bottom.
    EXPECT_GE(row - 2 * 3, textHeight);
    // The caption fits inside the button's frame.
    const TCellRect B = form.RaidGrid()->Painter().CellButtonRect(1, 1);
    const int frame = form.RaidGrid()->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    EXPECT_GE(B.Height() - 2 * frame, QFontMetrics(form.font()).height()) << "button " << B.Height();
    EXPECT_GE(B.Width() - 2 * frame, QFontMetrics(form.font()).horizontalAdvance("OK"));
  }
}

// --- Recording a run --------------------------------------------------------------------------------

TEST_F(KestrumFormTest, OkButtonRecordsOneRunOnlyWhenReleasedOnIt) {
  const struct {
    const char* Name;
    std::function<void()> Click;
    uint32_t Count;
  } cases[] = {
      {"press and release",
       [this] {
         QTest::mousePress(Viewport(), Qt::LeftButton, {}, ButtonCentre(1, 1));
         EXPECT_EQ(form_->RaidTp(), QPoint(1, 1));
         QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, ButtonCentre(1, 1));
       },
       1},
      {"released on another button",
       [this] {
         QTest::mousePress(Viewport(), Qt::LeftButton, {}, ButtonCentre(1, 1));
         QTest::mouseMove(Viewport(), ButtonCentre(2, 1));
         QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, ButtonCentre(2, 1));
       },
       0},
      {"double click", [this] { QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, ButtonCentre(1, 1)); }, 1},
      {"press beside the button",
       [this] {
         const TCellRect B = form_->RaidGrid()->Painter().CellButtonRect(1, 1);
         QTest::mouseClick(Viewport(), Qt::LeftButton, {}, QPoint(B.Right + 2, B.Top + 2));
       },
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteRoster({u"Alice", u"Bob"}, {u"VoN", u"TF"});
    const std::string before = ReadFileBytes(DataFile());
    OpenForm();
    c.Click();
    EXPECT_EQ(form_->RaidTp(), QPoint(-1, -1));
    EXPECT_TRUE(form_->Timer()->isActive());
    const auto saved = Reload();
    EXPECT_EQ(TimerOf(*saved, 0, 0).Count(), c.Count);
    EXPECT_EQ(TimerOf(*saved, 1, 0).Count(), 0u);
    if (c.Count == 0) {
      EXPECT_EQ(ReadFileBytes(DataFile()), before);
    } else {
      EXPECT_DOUBLE_EQ(TimerOf(*saved, 0, 0).ActivateTime(), FixedNow() + 2.75);
      EXPECT_EQ(TimerOf(*form_->Datas(), 0, 0).Count(), c.Count);
    }
  }
}

TEST_F(KestrumFormTest, PartlyVisibleButtonRecordsTheRunOfTheCellThatWasPressed) {
  const auto scrollOneColumn = [this] {
    QScrollBar* bar = form_->RaidGrid()->horizontalScrollBar();
    bar->setValue(bar->value() + 1);
  };
  const auto whereTheButtonIsNow = [this] { return ButtonCentre(4, 1); };
  const struct {
    const char* Name;
    int Charas, Raids;
    QPoint Cell;  // cut in half by the edge
    Qt::Orientation Edge;
    std::function<void()> BeforeRelease;
    std::function<QPoint()> ReleaseAt;  // empty: where it was pressed
    QPoint Recorded;                    // (-1, -1): nothing
  } cases[] = {
      {"right edge", 6, 2, {4, 1}, Qt::Horizontal, {}, {}, {4, 1}},
      {"bottom edge", 2, 10, {1, 4}, Qt::Vertical, {}, {}, {1, 4}},
      // The release is judged by where the pressed button is at that moment.
      {"scrolled away before the release", 6, 2, {4, 1}, Qt::Horizontal, scrollOneColumn, {}, {-1, -1}},
      {"followed where it went", 6, 2, {4, 1}, Qt::Horizontal, scrollOneColumn, whereTheButtonIsNow, {4, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteNumberedRoster(c.Charas, c.Raids);
    OpenForm();
    CutButtonInHalf(c.Cell.x(), c.Cell.y(), c.Edge);
    const QPoint press = InVisibleHalf(c.Cell.x(), c.Cell.y(), c.Edge);
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, press);
    EXPECT_EQ(form_->RaidTp(), c.Cell);
    if (c.BeforeRelease) c.BeforeRelease();
    const QPoint release = c.ReleaseAt ? c.ReleaseAt() : press;
    QTest::mouseMove(Viewport(), release);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, release);

    const auto saved = Reload();
    for (int i = 0; i < c.Charas; ++i)
      for (int k = 0; k < c.Raids; ++k)
        EXPECT_EQ(TimerOf(*saved, i, k).Count(), QPoint(i + 1, k + 1) == c.Recorded ? 1u : 0u)
            << "character " << i + 1 << ", raid " << k + 1;
  }
}

TEST_F(KestrumFormTest, PartlyVisibleColumnAnswersForItsOwnCharacter) {
  const QPoint cut{4, 1};
  const auto header = [this, cut] {
    const TCellRect R = form_->RaidGrid()->CellRect(cut.x(), 0);
    return QPoint(R.Left + 10, (R.Top + R.Bottom) / 2);
  };
  const auto lockColumns4And5 = [](TKestrum& r) {
    for (int i : {3, 4}) TimerOf(r, i, 0).SetActivateTime(FixedNow() + 1);
  };
  const struct {
    const char* Name;
    std::function<void()> Gesture;
    std::vector<String> Order;  // of the characters afterwards
  } cases[] = {
      {"right click opens the popup for the cell",
       [&] {
         QTest::mouseClick(Viewport(), Qt::RightButton, {}, InVisibleHalf(cut.x(), cut.y(), Qt::Horizontal));
         AnswerModal([](QDialog& dialog) {
           EXPECT_EQ(Child<QLabel>(dialog, "CharNameLB").text(), "C4");
           Child<QPushButton>(dialog, "Button2").click();
         });
         ASSERT_TRUE(Find<QMenu>("PopupMn").isVisible());
         Find<QAction>("ResetRaidTimerMenuItem").trigger();
       },
       {u"C1", u"C2", u"C3", u"C4", u"C5", u"C6"}},
      {"double click edits the character",
       [&] {
         AnswerModal([](QDialog& dialog) {
           EXPECT_EQ(Child<QLineEdit>(dialog, "NameEd").text(), "C4");
           Child<QPushButton>(dialog, "CancelBtn").click();
         });
         QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, header());
       },
       {u"C1", u"C2", u"C3", u"C4", u"C5", u"C6"}},
      {"drag moves the column",
       [&] {
         const QPoint to = CellCentre(1, 0);
         QTest::mousePress(Viewport(), Qt::LeftButton, {}, header());
         QTest::mouseMove(Viewport(), to);
         QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
       },
       {u"C4", u"C1", u"C2", u"C3", u"C5", u"C6"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteNumberedRoster(6, 2, lockColumns4And5);
    OpenForm();
    CutButtonInHalf(cut.x(), cut.y(), Qt::Horizontal);
    c.Gesture();
    const auto saved = Reload();
    std::vector<String> order;
    for (const auto& chara : saved->CharaDataAry()) order.push_back(chara->Name());
    EXPECT_EQ(order, c.Order);
  }
}

TEST_F(KestrumFormTest, LockedCellHasNoButtonToPress) {
  WriteRoster({u"Alice"}, {u"VoN"}, [](TKestrum& r) { TimerOf(r, 0, 0).SetActivateTime(FixedNow() + 1); });
  const std::string before = ReadFileBytes(DataFile());
  OpenForm();
  QTest::mousePress(Viewport(), Qt::LeftButton, {}, ButtonCentre(1, 1));
  EXPECT_EQ(form_->RaidTp(), QPoint(-1, -1));
  QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, ButtonCentre(1, 1));
  EXPECT_EQ(ReadFileBytes(DataFile()), before);
}

TEST_F(KestrumFormTest, FailedSaveIsNoticedAndTheGridLaidOutFromTheRolledBackData) {
  if (!test::TFileSizeLimit::Supported()) GTEST_SKIP() << "no full disk to stand in with";
  WriteRoster({u"Alice"}, {u"VoN"});
  OpenForm();
  const std::string file = ReadFileBytes(DataFile());

  TMessageBoxCloser boxes;
  {
    const test::TFileSizeLimit full(0);  // no room left on the disk
    QTest::mouseClick(Viewport(), Qt::LeftButton, {}, ButtonCentre(1, 1));
  }
  const QString notice = boxes.First();

  const QString sentence = QString::fromStdU16String(u"エラーが発生しました。データは巻戻ります。\r\n");
  EXPECT_TRUE(notice.startsWith(sentence)) << notice.toStdString();
  EXPECT_GT(notice.size(), sentence.size());  // the error's own message follows
  EXPECT_TRUE(form_->Timer()->isActive());
  // The roster was reloaded from the file, which holds what it held, and the grid follows it.
  EXPECT_EQ(ReadFileBytes(DataFile()), file);
  ASSERT_EQ(form_->Datas()->CharaCount(), 1);
  EXPECT_EQ(form_->Datas()->GetCharaDatas(0)->GetRaidTimerDatas(0)->Count(), 0u);
  EXPECT_EQ(form_->RaidGrid()->ColCount(), 2);
}

// Another program changes raid.dat while the window is open. A command made on what the window
// showed is not applied: the window says so and shows the file as it is now, leaving it unchanged.
TEST_F(KestrumFormTest, ACommandOnARosterChangedByAnotherProgramIsNotApplied) {
  WriteRoster({u"Alice", u"Bob"}, {u"VoN", u"TF"});
  OpenForm();
  form_->RaidGrid()->SetCurrentCell(2, 2);
  // A hand edit the watcher has not told yet: the click comes first.
  std::string edited = ReadFileBytes(DataFile());
  edited.replace(edited.find("NAME=Alice"), 10, "NAME=Alicia");
  WriteFileBytes(DataFile(), edited);

  TMessageBoxCloser boxes;
  QTest::keyClick(form_->RaidGrid(), Qt::Key_Space);  // a run on Bob's TF
  EXPECT_EQ(boxes.Texts, QStringList{QString::fromStdU16String(
                             u"raid.dat が他のプログラムで変更されていたため、読み込み直しました。")});
  EXPECT_EQ(ReadFileBytes(DataFile()), edited);
  EXPECT_EQ(form_->Datas()->GetCharaDatas(0)->Name(), u"Alicia");
  EXPECT_TRUE(form_->Datas()->GetCharaDatas(1)->GetRaidTimerDatas(1)->Enabled())
      << "the run was not recorded";
  EXPECT_EQ(form_->RaidGrid()->CurrentCell(), QPoint(2, 2));
  EXPECT_TRUE(form_->Timer()->isActive());

  QTest::keyClick(form_->RaidGrid(), Qt::Key_Space);  // repeated on what is seen
  EXPECT_EQ(boxes.Texts.size(), 1);
  EXPECT_EQ(Reload()->GetCharaDatas(0)->Name(), u"Alicia");
  EXPECT_FALSE(Reload()->GetCharaDatas(1)->GetRaidTimerDatas(1)->Enabled());
}

// An outside change that loads whole is shown at once, without a dialog, the current cell kept.
TEST_F(KestrumFormTest, AnOutsideChangeIsShownAtOnce) {
  WriteRoster({u"Alice"}, {u"VoN", u"TF", u"DQ"});
  OpenForm();
  form_->RaidGrid()->SetCurrentCell(1, 3);
  TMessageBoxCloser boxes;
  WriteRoster({u"Alice", u"Bob"}, {u"VoN", u"TF", u"DQ"});
  ASSERT_TRUE(QTest::qWaitFor([this] { return form_->Datas()->CharaCount() == 2; }, ScaledMs(5000)));
  EXPECT_EQ(form_->RaidGrid()->ColCount(), 3);
  EXPECT_EQ(form_->RaidGrid()->CurrentCell(), QPoint(1, 3));
  EXPECT_EQ(boxes.Texts, QStringList());
}

// A raid.dat that could not be read whole is kept beside it, and the window says where, once.
TEST_F(KestrumFormTest, ADamagedRosterIsKeptAndTheNoticeNamesTheCopy) {
  const std::string damaged = "[RAID]\r\nCOUNT=3\r\n0=VoN\r\n[CHARA]\r\nCOUNT=1\r\n[CHARA0]\r\nNAME=Ann\r\n";
  WriteFileBytes(DataFile(), damaged);
  OpenForm();
  auto* notice = form_->findChild<QMessageBox*>("UnreadNotice");
  ASSERT_NE(notice, nullptr);
  const String kept = form_->Datas()->UnreadReport().KeptFile;
  EXPECT_TRUE(fs::path(ToUtf8(kept)).filename().string().starts_with("raid.dat.unread-"));
  EXPECT_EQ(ReadFileBytes(fs::path(ToUtf8(kept))), damaged);
  EXPECT_TRUE(notice->text().contains(QString::fromStdU16String(kept))) << notice->text().toStdString();
  EXPECT_TRUE(notice->isVisible());
  notice->button(QMessageBox::Ok)->click();
  QTest::qWait(0);

  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, ButtonCentre(1, 1));  // a run, saved
  EXPECT_NE(ReadFileBytes(DataFile()), damaged);
  EXPECT_EQ(form_->findChild<QMessageBox*>("UnreadNotice"), nullptr);

  WriteRoster({u"Alice"}, {u"VoN"});
  OpenForm();
  EXPECT_EQ(form_->findChild<QMessageBox*>("UnreadNotice"), nullptr) << "a file read whole gives no notice";
}

// A raid name line deleted by hand: the row gets a name that can be stored, the notice says so, and
// a run on that row is saved like any other.
TEST_F(KestrumFormTest, ARowWithoutAStorableNameIsRenamedAndSavesAgain) {
  WriteFileBytes(DataFile(),
                 "[RAID]\r\nCOUNT=3\r\n0=VoN\r\n2=DQ\r\n[CHARA]\r\nCOUNT=2\r\n"
                 "[CHARA0]\r\nNAME=Ann\r\n[CHARA1]\r\nNAME=Bob\r\n");
  OpenForm();
  auto* notice = form_->findChild<QMessageBox*>("UnreadNotice");
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->text().contains(QString::fromStdU16String(u"2 行目: \"\" → \"Raid 2\"")))
      << notice->text().toStdString();
  notice->button(QMessageBox::Ok)->click();
  QTest::qWait(0);

  TMessageBoxCloser boxes;
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, ButtonCentre(2, 2));
  EXPECT_EQ(boxes.Texts, QStringList());
  TKestrum reloaded;
  reloaded.Load();
  ASSERT_EQ(reloaded.RaidNameAry(), (std::vector<String>{u"VoN", u"Raid 2", u"DQ"}));
  EXPECT_EQ(reloaded.GetCharaDatas(1)->GetRaidTimerDatas(1)->Count(), 1u);
}

// --- Resetting a timer ---------------------------------------------------------------------------

TEST_F(KestrumFormTest, ResetTimerAsksFirst) {
  const struct {
    const char* Button;
    bool Reset;
  } cases[] = {{"Button1", true}, {"Button2", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Button);
    WriteRoster({u"Alice", u"Bob"}, {u"VoN", u"TF"},
                [](TKestrum& r) { TimerOf(r, 1, 1).SetActivateTime(FixedNow() + 1); });
    OpenForm();
    QTest::mouseClick(Viewport(), Qt::RightButton, {}, CellCentre(2, 2));
    auto& popup = Find<QMenu>("PopupMn");
    ASSERT_TRUE(popup.isVisible());
    const TCellRect cell = form_->RaidGrid()->CellRect(2, 2);
    EXPECT_EQ(popup.pos(), Viewport()->mapToGlobal(QPoint(cell.Left, cell.Top)));

    AnswerModal([&](QDialog& dialog) {
      EXPECT_EQ(Child<QLabel>(dialog, "CharNameLB").text(), "Bob");
      EXPECT_EQ(Child<QLabel>(dialog, "RaidNameLB").text(), "TF");
      EXPECT_EQ(form_->Tag(), nullptr);  // the confirmation is not the window's Tag
      Child<QPushButton>(dialog, c.Button).click();
    });
    auto& item = Find<QAction>("ResetRaidTimerMenuItem");
    QTest::mouseClick(&popup, Qt::LeftButton, {}, popup.actionGeometry(&item).center());

    const auto saved = Reload();
    EXPECT_EQ(TimerOf(*saved, 1, 1).ActivateTime() == 0, c.Reset);
    EXPECT_EQ(TimerOf(*form_->Datas(), 1, 1).Enabled(), c.Reset);
    EXPECT_TRUE(form_->Timer()->isActive());
  }
}

TEST_F(KestrumFormTest, RightClickOpensNoPopupWhereThereIsNothingToReset) {
  WriteRoster({u"Alice"}, {u"VoN", u"TF"},
              [](TKestrum& r) { TimerOf(r, 0, 1).SetActivateTime(FixedNow() + 1); });
  OpenForm();
  const QPoint cells[] = {{1, 1}, {0, 0}, {1, 0}, {0, 2}};  // available cell, corner, name cells
  for (const QPoint& cell : cells) {
    QTest::mouseClick(Viewport(), Qt::RightButton, {}, CellCentre(cell.x(), cell.y()));
    EXPECT_FALSE(Find<QMenu>("PopupMn").isVisible()) << cell.x() << "," << cell.y();
  }
}

// --- Keyboard ------------------------------------------------------------------------------------

struct TKey {
  const char* Name;
  Qt::Key Key;
  Qt::KeyboardModifiers Modifiers;
};

TEST_F(KestrumFormTest, SpaceAndEnterRecordARunOnTheCurrentCell) {
  const TKey keys[] = {{"Space", Qt::Key_Space, Qt::NoModifier},
                       {"Return", Qt::Key_Return, Qt::NoModifier},
                       {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier}};
  for (const TKey& key : keys) {
    SCOPED_TRACE(key.Name);
    WriteRoster({u"Alice", u"Bob"}, {u"VoN", u"TF"},
                [](TKestrum& r) { TimerOf(r, 0, 1).SetActivateTime(FixedNow() + 1); });
    OpenForm();
    TRaidGrid* grid = form_->RaidGrid();
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, key.Key, key.Modifiers);
    QTest::keyClick(grid, key.Key, key.Modifiers);  // now locked: nothing more
    QTest::keyClick(grid, Qt::Key_Left);            // locked from the start
    QTest::keyClick(grid, key.Key, key.Modifiers);

    const auto saved = Reload();
    EXPECT_EQ(TimerOf(*saved, 1, 1).Count(), 1u);
    EXPECT_DOUBLE_EQ(TimerOf(*saved, 1, 1).ActivateTime(), FixedNow() + 2.75);
    EXPECT_EQ(TimerOf(*saved, 0, 1).Count(), 0u);
    EXPECT_EQ(TimerOf(*saved, 0, 0).Count() + TimerOf(*saved, 1, 0).Count(), 0u);
    EXPECT_TRUE(form_->Timer()->isActive());
  }
}

TEST_F(KestrumFormTest, MenuKeyAndShiftF10OpenThePopupOfTheCurrentCell) {
  const TKey keys[] = {{"Menu", Qt::Key_Menu, Qt::NoModifier}, {"Shift+F10", Qt::Key_F10, Qt::ShiftModifier}};
  for (const TKey& key : keys) {
    SCOPED_TRACE(key.Name);
    WriteRoster({u"Alice", u"Bob"}, {u"VoN", u"TF"}, [](TKestrum& r) {
      TimerOf(r, 0, 0).SetActivateTime(FixedNow() + 1);
      TimerOf(r, 1, 1).SetActivateTime(FixedNow() + 1);
    });
    OpenForm();
    TRaidGrid* grid = form_->RaidGrid();
    auto& popup = Find<QMenu>("PopupMn");
    QTest::keyClick(grid, Qt::Key_Right);  // (2, 1): available, nothing to reset
    QTest::keyClick(grid, key.Key, key.Modifiers);
    EXPECT_FALSE(popup.isVisible());
    QTest::keyClick(grid, Qt::Key_F10);  // F10 alone is no popup key
    EXPECT_FALSE(popup.isVisible());

    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, key.Key, key.Modifiers);
    ASSERT_TRUE(popup.isVisible());
    const TCellRect cell = grid->CellRect(2, 2);
    EXPECT_EQ(popup.pos(), Viewport()->mapToGlobal(QPoint(cell.Left, cell.Top)));
    AnswerModal([](QDialog& dialog) {
      EXPECT_EQ(Child<QLabel>(dialog, "CharNameLB").text(), "Bob");
      EXPECT_EQ(Child<QLabel>(dialog, "RaidNameLB").text(), "TF");
      Child<QPushButton>(dialog, "Button1").click();
    });
    Find<QAction>("ResetRaidTimerMenuItem").trigger();
    popup.hide();

    const auto saved = Reload();
    EXPECT_EQ(TimerOf(*saved, 1, 1).ActivateTime(), 0);
    EXPECT_FALSE(TimerOf(*saved, 0, 0).Enabled());
  }
}

TEST_F(KestrumFormTest, F2EditsTheCharacterOfTheCurrentCell) {
  WriteRoster({u"Alice", u"Bob"}, {u"VoN"});
  OpenForm();
  TRaidGrid* grid = form_->RaidGrid();
  QTest::keyClick(grid, Qt::Key_Right);
  AnswerModal([](QDialog& dialog) {
    EXPECT_EQ(Child<QLineEdit>(dialog, "NameEd").text(), "Bob");
    Child<QLineEdit>(dialog, "NameEd").setText("Carol");
    Child<QPushButton>(dialog, "OkBtn").click();
  });
  QTest::keyClick(grid, Qt::Key_F2);
  EXPECT_EQ(Reload()->GetCharaDatas(1)->Name(), u"Carol");
  EXPECT_EQ(Reload()->GetCharaDatas(0)->Name(), u"Alice");
  EXPECT_TRUE(form_->Timer()->isActive());
}

// --- Moving columns and rows ---------------------------------------------------------------------

TEST_F(KestrumFormTest, DraggedColumnsAndRowsAreSaved) {
  const struct {
    const char* Name;
    QPoint From, To;  // name cells
    std::vector<String> Charas, Raids;
  } cases[] = {
      {"character column", {1, 0}, {3, 0}, {u"B", u"C", u"A"}, {u"R0", u"R1", u"R2"}},
      {"raid row", {0, 3}, {0, 1}, {u"A", u"B", u"C"}, {u"R2", u"R0", u"R1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteRoster({u"A", u"B", u"C"}, {u"R0", u"R1", u"R2"},
                [](TKestrum& r) { TimerOf(r, 0, 0).SetCount(5); });  // follows A and R0
    WriteFileBytes(ConfigFile(), "[POS]\r\nWIDTH=760\r\n");
    OpenForm();
    const std::string before = ReadFileBytes(DataFile());
    const QPoint from = CellCentre(c.From.x(), c.From.y());
    const QPoint to = CellCentre(c.To.x(), c.To.y());
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(Viewport(), to);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);
    EXPECT_EQ(ReadFileBytes(home_.AppFolder() / "raid.dat.bak"), before)
        << "one save: the backup is the roster before";

    const auto saved = Reload();
    std::vector<String> charas;
    for (const auto& chara : saved->CharaDataAry()) charas.push_back(chara->Name());
    EXPECT_EQ(charas, c.Charas);
    EXPECT_EQ(saved->RaidNameAry(), c.Raids);
    for (int i = 0; i < 3; ++i)
      for (int k = 0; k < 3; ++k)
        EXPECT_EQ(TimerOf(*saved, i, k).Count(),
                  charas[i] == u"A" && saved->GetRaidNames(k) == u"R0" ? 5u : 0u);
  }
}

// A long run count gets room of its own: its column widens so that the count stands clear of the
// OK button and of the lock-out's end, also when a run makes it one digit longer.
TEST_F(KestrumFormTest, ColumnsWidenForLongRunCounts) {
  WriteRoster({u"Alice", u"Bob", u"Carol"}, {u"VoN"}, [](TKestrum& r) {
    TimerOf(r, 0, 0).SetCount(4294967295u);
    TimerOf(r, 0, 0).Done();  // wraps to 0 and locks
    TimerOf(r, 0, 0).SetCount(4294967295u);
    TimerOf(r, 1, 0).SetCount(999999999u);
  });
  OpenForm();
  TRaidGrid& grid = *form_->RaidGrid();
  const QFontMetrics metrics(grid.font());
  const int wB = grid.Painter().ButtonWidth();
  EXPECT_GE(grid.ColWidth(1), wB + 16 + metrics.horizontalAdvance(QStringLiteral("4294967295")));
  EXPECT_GE(grid.ColWidth(2), wB + 16 + metrics.horizontalAdvance(QStringLiteral("999999999")));
  EXPECT_GT(grid.ColWidth(1), grid.ColWidth(3));
  const int before = grid.ColWidth(2);

  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, ButtonCentre(2, 1));
  EXPECT_EQ(form_->Datas()->GetCharaDatas(1)->GetRaidTimerDatas(0)->Count(), 1000000000u);
  EXPECT_GT(grid.ColWidth(2), before);
  EXPECT_GE(grid.ColWidth(2), wB + 16 + metrics.horizontalAdvance(QStringLiteral("1000000000")));
}

// --- Menu commands -----------------------------------------------------------------------------------

TEST_F(KestrumFormTest, MenuBarHoldsTheCommandsInOrder) {
  OpenForm();
  QStringList captions;
  for (const QAction* action : form_->menuBar()->actions()) captions << action->text();
  EXPECT_EQ(captions, QStringList({"&Quit", "&Character", "&Raid", "&Font", "&Config", "&About"}));
  EXPECT_EQ(Find<QAction>("AlignMn").text(), "Align &Screen");
}

TEST_F(KestrumFormTest, AddCommandsLayOutTheGridOrReportTheWriteError) {
  const struct {
    const char* Command;
    QString Name;
    int Charas, Raids;  // afterwards
    QString Report;     // empty: none expected
  } cases[] = {
      {"mnAddChara", "Zed", 2, 1, ""},
      {"mnAddRaid", "ToD", 1, 2, ""},
      // The file is gone from under the window, and its folder with it: the save fails and rolls back.
      {"mnAddRaid", "VoD", 0, 18, "fault"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Command);
    WriteRoster({u"Alice"}, {u"VoN"});
    OpenForm();
    TMessageBoxCloser boxes;
    AnswerModal([&](QDialog& dialog) {
      Child<QLineEdit>(dialog, "NameEd").setText(c.Name);
      Child<QPushButton>(dialog, "OkBtn").click();
    });
    if (!c.Report.isEmpty()) {
      fs::remove_all(home_.AppFolder());
      WriteFileBytes(home_.AppFolder(), "not a folder");
    }
    Find<QAction>(c.Command).trigger();
    EXPECT_EQ(boxes.First().isEmpty(), c.Report.isEmpty()) << boxes.First().toStdString();
    EXPECT_TRUE(form_->Timer()->isActive());
    EXPECT_EQ(form_->Datas()->CharaCount(), c.Charas);
    EXPECT_EQ(form_->Datas()->RaidCount(), c.Raids);
    EXPECT_EQ(form_->RaidGrid()->ColCount(), GridColCount(c.Charas));
    EXPECT_EQ(Reload()->CharaCount(), c.Charas);
  }
}

TEST_F(KestrumFormTest, DoubleClickOnACharactersNameEditsThatCharacterOnly) {
  const struct {
    const char* Name;
    QPoint Cell;
    bool Opens;
  } cases[] = {{"character name", {2, 0}, true},
               {"raid name", {0, 1}, false},
               {"body cell", {2, 1}, false},
               {"corner", {0, 0}, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteRoster({u"Alice", u"Bob"}, {u"VoN"});
    const std::string before = ReadFileBytes(DataFile());
    OpenForm();
    bool opened = false;
    QTimer::singleShot(0, qApp, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      opened = true;
      EXPECT_EQ(Child<QLineEdit>(*dialog, "NameEd").text(), "Bob");
      Child<QLineEdit>(*dialog, "NameEd").setText("Carol");
      Child<QPushButton>(*dialog, "OkBtn").click();
    });
    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, NearRightEdge(c.Cell.x(), c.Cell.y()));
    EXPECT_EQ(opened, c.Opens);
    if (c.Opens) {
      EXPECT_EQ(Reload()->GetCharaDatas(1)->Name(), u"Carol");
      EXPECT_EQ(form_->Datas()->GetCharaDatas(1)->Name(), u"Carol");
    } else {
      EXPECT_EQ(ReadFileBytes(DataFile()), before);
    }
  }
}

// --- Wheel, bring to front and the About box -------------------------------------------------------

TEST_F(KestrumFormTest, HorizontalWheelMovesTheCurrentColumnWithinTheCharacters) {
  WriteRoster({u"A", u"B"}, {u"R0"});
  OpenForm();
  const auto tilt = [this](int AQtDelta) {
    const QPoint pos = CellCentre(1, 1);
    QWheelEvent wheel(pos, Viewport()->mapToGlobal(pos), QPoint(), QPoint(AQtDelta, 0), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Viewport(), &wheel);
    return form_->RaidGrid()->CurrentCell().x();
  };
  // Qt counts a tilt to the left as positive.
  EXPECT_EQ(tilt(120), 1);  // already at the first character
  EXPECT_EQ(tilt(-120), 2);
  EXPECT_EQ(tilt(-120), 2);  // already at the last character
  EXPECT_EQ(tilt(120), 1);
}

TEST_F(KestrumFormTest, MoveToAScreenOfTheSameDensityKeepsTheCurrentCellAndScrollPosition) {
  WriteRoster({u"A", u"B", u"C", u"D", u"E", u"F", u"G", u"H"}, {u"R0", u"R1", u"R2", u"R3"});
  TKestrumForm& form = OpenForm();
  form.resize(200, 120);
  TRaidGrid& grid = *form.RaidGrid();
  grid.SetCurrentCell(8, 4);  // scrolls to the last character and raid
  const int leftCol = grid.LeftCol();
  const int topRow = grid.TopRow();
  ASSERT_GT(leftCol, 1);

  QEvent screenChange(QEvent::ScreenChangeInternal);
  QApplication::sendEvent(&form, &screenChange);
  EXPECT_EQ(grid.CurrentCell(), QPoint(8, 4));
  EXPECT_EQ(grid.LeftCol(), leftCol);
  EXPECT_EQ(grid.TopRow(), topRow);
}

TEST_F(KestrumFormTest, BringToFrontRestoresAMinimisedWindow) {
  TKestrumForm& form = OpenForm();
  form.showMinimized();
  ASSERT_TRUE(form.isMinimized());
  QCoreApplication::postEvent(&form, new QEvent(kWMBringToFront));
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isMinimized(); }, ScaledMs(2000)));
}

TEST_F(KestrumFormTest, AboutBoxIsTheWindowsTagWhileOpen) {
  OpenForm();
  AnswerModal([this](QDialog& dialog) {
    EXPECT_EQ(form_->Tag(), &dialog);
    EXPECT_EQ(dialog.windowTitle(), "About Kestrum");
    EXPECT_EQ(Child<QLabel>(dialog, "Label1").text(), "Kestrum for DDO (64bit ver.)");
    EXPECT_EQ(Child<QLabel>(dialog, "Label2").text(), "ver 0.4.17");
    ExpectShowsItsContentsWhole(dialog);
    Child<QPushButton>(dialog, "Button1").click();
  });
  Find<QAction>("mnAbout").trigger();
  EXPECT_EQ(form_->Tag(), nullptr);
}

TEST_F(KestrumFormTest, EnterInTheFreshConfirmationCancels) {
  WriteRoster({u"Alice"}, {u"VoN"}, [](TKestrum& r) { TimerOf(r, 0, 0).SetActivateTime(FixedNow() + 1); });
  OpenForm();
  QTest::mouseClick(Viewport(), Qt::RightButton, {}, CellCentre(1, 1));
  AnswerModal([](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Confirm Resetting Raid Timer");
    ExpectShowsItsContentsWhole(dialog);
    ASSERT_EQ(dialog.focusWidget(), &Child<QPushButton>(dialog, "Button2"));
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
  });
  Find<QAction>("ResetRaidTimerMenuItem").trigger();
  EXPECT_FALSE(TimerOf(*Reload(), 0, 0).Enabled());
}

}  // namespace
}  // namespace kestrum::test
