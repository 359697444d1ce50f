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
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "data/RaidTimerData.h"
#include "platform/scrposadjustor.h"
#include "tests/support/TempHome.h"
#include "tests/ui/DialogsTestSupport.h"
#include "tests/ui/MainWindowTestSupport.h"
#include "ui/RaidGrid.h"
#include "ui/WindowSettings.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

class KestrumFormTest : public MainWindowTest {
 protected:
  static std::unique_ptr<TKestrum> Reload() {
    auto roster = std::make_unique<TKestrum>();
    roster->Load();
    return roster;
  }

  static TRaidTimerData& TimerOf(const TKestrum& ARoster, int AChara, int ARaid) {
    return *ARoster.GetCharaDatas(AChara)->GetRaidTimerDatas(ARaid);
  }

  QPoint CellCentre(int ACol, int ARow) const {
    const TCellRect R = form_->RaidGrid()->CellRect(ACol, ARow);
    return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
  }

  QPoint ButtonCentre(int ACol, int ARow) const {
    const TCellRect B = form_->CellButtonRect(ACol, ARow);
    return {(B.Left + B.Right) / 2, (B.Top + B.Bottom) / 2};
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
  QString report;
  CloseNextMessageBox(&report);
  form.close();
  EXPECT_FALSE(report.isEmpty());
  EXPECT_EQ(ReadFileBytes(DataFile()), data);
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
         const TCellRect B = form_->CellButtonRect(1, 1);
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
  WriteRoster({u"Alice"}, {u"VoN"});
  OpenForm();
  // From here on nothing can be written: the data folder's path is a regular file.
  fs::rename(home_.AppFolder(), home_.Root() / "moved-away");
  WriteFileBytes(home_.AppFolder(), "not a folder");

  QString notice;
  CloseNextMessageBox(&notice);
  QTest::mouseClick(Viewport(), Qt::LeftButton, {}, ButtonCentre(1, 1));

  const QString sentence = QString::fromStdU16String(u"エラーが発生しました。データは巻戻ります。\r\n");
  EXPECT_TRUE(notice.startsWith(sentence)) << notice.toStdString();
  EXPECT_GT(notice.size(), sentence.size());  // the error's own message follows
  EXPECT_TRUE(form_->Timer()->isActive());
  // The roster was reloaded from what is readable now, and the grid follows it.
  EXPECT_EQ(form_->Datas()->CharaCount(), 0);
  EXPECT_EQ(form_->RaidGrid()->ColCount(), 2);
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
    const QPoint from = CellCentre(c.From.x(), c.From.y());
    const QPoint to = CellCentre(c.To.x(), c.To.y());
    QTest::mousePress(Viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(Viewport(), to);
    QTest::mouseRelease(Viewport(), Qt::LeftButton, {}, to);

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
      // A raid name becomes a key of every character's section, and keys cannot hold "=".
      {"mnAddRaid", "a=b", 1, 1, QString::fromStdU16String(u"名前が \"=\" を含んでいる")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Command);
    WriteRoster({u"Alice"}, {u"VoN"});
    OpenForm();
    QString report;
    if (!c.Report.isEmpty()) CloseNextMessageBox(&report);
    AnswerModal([&](QDialog& dialog) {
      Child<QLineEdit>(dialog, "NameEd").setText(c.Name);
      Child<QPushButton>(dialog, "OkBtn").click();
    });
    Find<QAction>(c.Command).trigger();
    EXPECT_EQ(report, c.Report);
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
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isMinimized(); }, 2000));
}

TEST_F(KestrumFormTest, AboutBoxIsTheWindowsTagWhileOpen) {
  OpenForm();
  AnswerModal([this](QDialog& dialog) {
    EXPECT_EQ(form_->Tag(), &dialog);
    EXPECT_EQ(dialog.windowTitle(), "About Kestrum");
    EXPECT_EQ(Child<QLabel>(dialog, "Label1").text(), "Kestrum for DDO (64bit ver.)");
    EXPECT_EQ(Child<QLabel>(dialog, "Label2").text(), "ver 0.4.17");
    EXPECT_EQ(dialog.size(), QSize(286, 129));
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
    EXPECT_EQ(dialog.size(), QSize(362, 98));
    ASSERT_EQ(dialog.focusWidget(), &Child<QPushButton>(dialog, "Button2"));
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
  });
  Find<QAction>("ResetRaidTimerMenuItem").trigger();
  EXPECT_FALSE(TimerOf(*Reload(), 0, 0).Enabled());
}

}  // namespace
}  // namespace kestrum::test
