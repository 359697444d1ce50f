#include <filesystem>
#include <memory>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest/qtestspontaneevent.h>

#include "data/shhlpr.h"
#include "ini/VoMemIniFile.h"
#include "tests/ui/DialogsTestSupport.h"
#include "ui/OuterGeometry.h"
#include "ui/WindowSettings.h"
#include "ui/chrdatf.h"
#include "ui/raiddatafrm.h"

namespace kestrum::test {
namespace {

class ChrDatFormTest : public DialogTest {
 protected:
  // Alice, the first of two characters, with one timer per raid.
  std::unique_ptr<TCharaData> MakeAlice(const std::vector<TDateTime>& ATimes,
                                        const std::vector<uint32_t>& ACounts) {
    raids_.clear();
    for (size_t i = 0; i < ATimes.size(); ++i) raids_.push_back(u"Raid " + IntToStr(static_cast<int64_t>(i)));
    return std::make_unique<TCharaData>(u"Alice", ATimes, ACounts);
  }
  bool Edit(TCharaData& AChara, std::function<void(QDialog&)> AAnswer, QWidget* AOwner = nullptr) {
    AnswerModal(std::move(AAnswer));
    return ShowChrDatDlg(AOwner, raids_, names_, 0, AChara);
  }
  static std::vector<TDateTime> Times(const TCharaData& AChara) {
    std::vector<TDateTime> times;
    for (int i = 0; i < AChara.RaidCount(); ++i) times.push_back(AChara.GetRaidTimerDatas(i)->ActivateTime());
    return times;
  }
  static std::vector<uint32_t> Counts(const TCharaData& AChara) {
    std::vector<uint32_t> counts;
    for (int i = 0; i < AChara.RaidCount(); ++i) counts.push_back(AChara.GetRaidTimerDatas(i)->Count());
    return counts;
  }
  static QLineEdit& RowEdit(QDialog& ADialog, int ARow, const char* AEdit) {
    const QByteArray row = "RDF" + QByteArray::number(ARow);
    return Child<QLineEdit>(Child<TRaidDataFrame>(ADialog, row.constData()), AEdit);
  }
  static int StoredHeight() {
    return TVoMemIniFile(GetConfigFileName()).ReadInteger(u"RDATPOS", u"HEIGHT", -1);
  }

  TRaidNames raids_;
  TCharaNames names_ = {u"Alice", u"Bob"};
};

TEST_F(ChrDatFormTest, OkAppliesWhatWasEditedAndSaysWhetherAnythingChanged) {
  auto alice = MakeAlice({0, 0, 0}, {1, 2, 3});
  EXPECT_FALSE(Edit(*alice, [](QDialog& dialog) { Click(dialog, "OkBtn"); }));
  EXPECT_EQ(Counts(*alice), (std::vector<uint32_t>{1, 2, 3}));

  EXPECT_TRUE(Edit(*alice, [](QDialog& dialog) {
    RowEdit(dialog, 1, "CountEd").setText("5");
    RowEdit(dialog, 2, "HourEd").setText("2");
    Click(dialog, "OkBtn");
  }));
  EXPECT_EQ(Counts(*alice), (std::vector<uint32_t>{1, 5, 3}));
  EXPECT_EQ(Times(*alice), (std::vector<TDateTime>{0, 0, FixedNow() + 2.0 / 24}));
}

TEST_F(ChrDatFormTest, NameFieldTakesTwelveUnitsOrTheWholeLongerNameFromTheFile) {
  const struct {
    String name;
    int maxLength;
  } cases[] = {{u"Al", 12}, {String(12, u'a'), 12}, {String(13, u'b'), 13}, {String(4000, u'c'), 4000}};
  for (const auto& c : cases) {
    auto alice = MakeAlice({0}, {0});
    alice->SetName(c.name);
    Edit(*alice, [&](QDialog& dialog) {
      const auto& nameEd = Child<QLineEdit>(dialog, "NameEd");
      EXPECT_EQ(nameEd.maxLength(), c.maxLength) << c.name.size();
      EXPECT_EQ(nameEd.text().toStdU16String(), c.name) << c.name.size();
      Click(dialog, "CancelBtn");
    });
  }
}

TEST_F(ChrDatFormTest, CancelLeavesTheWorkingCopyAlone) {
  const TDateTime running = FixedNow() + 1.25;
  auto alice = MakeAlice({running, 0}, {4, 0});
  EXPECT_FALSE(Edit(*alice, [](QDialog& dialog) {
    Child<QLineEdit>(dialog, "NameEd").setText("Carol");
    Click(dialog, "ClearBtn");
    Click(dialog, "CancelBtn");
  }));
  EXPECT_EQ(alice->Name(), u"Alice");
  EXPECT_EQ(Times(*alice), (std::vector<TDateTime>{running, 0}));
  EXPECT_EQ(Counts(*alice), (std::vector<uint32_t>{4, 0}));
}

TEST_F(ChrDatFormTest, ClearThenOkEndsEveryLockOutAndZeroesEveryCount) {
  auto alice = MakeAlice({FixedNow() + 1, FixedNow() + 0.1, 0}, {4, 5, 6});
  EXPECT_TRUE(Edit(*alice, [](QDialog& dialog) {
    Click(dialog, "ClearBtn");
    Click(dialog, "OkBtn");
  }));
  EXPECT_EQ(Times(*alice), (std::vector<TDateTime>{0, 0, 0}));
  EXPECT_EQ(Counts(*alice), (std::vector<uint32_t>{0, 0, 0}));
}

TEST_F(ChrDatFormTest, ResetShowsAgainWhatTheRowsShowedWhenTheEditorOpened) {
  auto alice = MakeAlice({FixedNow() + 1 + 5.0 / 24 + 7.0 / 1440, 0}, {12, 0});
  Edit(*alice, [](QDialog& dialog) {
    const auto shown = [&dialog] {
      QStringList texts;
      for (int row : {0, 1})
        for (const char* edit : {"DayEd", "HourEd", "MinEd", "CountEd"})
          texts << RowEdit(dialog, row, edit).text();
      return texts;
    };
    const QStringList atStart = shown();
    EXPECT_EQ(atStart, (QStringList{"1", "5", "7", "12", "0", "0", "0", "0"}));
    RowEdit(dialog, 0, "MinEd").setText("30");
    Click(dialog, "ClearBtn");
    RowEdit(dialog, 1, "CountEd").setText("8");
    Click(dialog, "ResetBtn");
    EXPECT_EQ(shown(), atStart);
    Click(dialog, "CancelBtn");
  });
}

TEST_F(ChrDatFormTest, ALockOutThatHasEndedIsStoredAsNoneOnOk) {
  auto alice = MakeAlice({FixedNow() - 0.5}, {3});
  EXPECT_TRUE(Edit(*alice, [](QDialog& dialog) { Click(dialog, "OkBtn"); }));
  EXPECT_EQ(Times(*alice), std::vector<TDateTime>{0});
  EXPECT_EQ(Counts(*alice), std::vector<uint32_t>{3});
}

TEST_F(ChrDatFormTest, RefusesAnotherCharactersNameButOnlyWarnsWhileTheRowsAreValid) {
  // More than 66 hours left: the row is invalid until corrected.
  auto alice = MakeAlice({FixedNow() + 3}, {0});
  EXPECT_TRUE(Edit(*alice, [](QDialog& dialog) {
    auto& nameEd = Child<QLineEdit>(dialog, "NameEd");
    const auto& ok = Child<QPushButton>(dialog, "OkBtn");
    const auto& notice = Child<QLabel>(dialog, "SameNameLb");
    struct Step {
      const char* days;
      const char* name;
      bool okEnabled;
      QString notice;
    } steps[] = {
        {"3", "Alice", false, ""},
        {"3", "bob", false, ""},
        {"0", "bob", false, "同名キャラ有り"},
        {"0", "", false, ""},
        {"0", "BOB", false, "同名キャラ有り"},
        {"0", "Bobby", true, ""},
        {"0", "ALICE", true, ""},
    };
    for (const Step& step : steps) {
      RowEdit(dialog, 0, "DayEd").setText(step.days);
      nameEd.setText(step.name);
      EXPECT_EQ(ok.isEnabled(), step.okEnabled) << step.days << " " << step.name;
      EXPECT_EQ(notice.text(), step.notice) << step.days << " " << step.name;
    }
    Click(dialog, "OkBtn");
  }));
  // The own name in other letter case is a change.
  EXPECT_EQ(alice->Name(), u"ALICE");
}

TEST_F(ChrDatFormTest, WithoutRaidsOnlyTheNameIsEdited) {
  auto alice = MakeAlice({}, {});
  EXPECT_TRUE(Edit(*alice, [](QDialog& dialog) {
    EXPECT_TRUE(Child<QPushButton>(dialog, "OkBtn").isEnabled());
    EXPECT_EQ(dialog.findChildren<TRaidDataFrame*>().size(), 0);
    Child<QLineEdit>(dialog, "NameEd").setText("Carol");
    Click(dialog, "OkBtn");
  }));
  EXPECT_EQ(alice->Name(), u"Carol");
}

TEST_F(ChrDatFormTest, KeepsItsHeightInTheSettingsFileFromOneOpeningToTheNext) {
  // The stored height is the outer one, frame included (the offscreen platform draws one).
  auto alice = MakeAlice({0}, {0});
  Edit(*alice, [](QDialog& dialog) {
    EXPECT_EQ(OuterGeometry(dialog).height(), kDefaultEditorHeight);
    const QMargins frame = WindowFrame(dialog);
    dialog.resize(dialog.width(), 420 - frame.top() - frame.bottom());
    Click(dialog, "CancelBtn");
  });
  EXPECT_EQ(StoredHeight(), 420);
  Edit(*alice, [](QDialog& dialog) {
    EXPECT_EQ(OuterGeometry(dialog).height(), 420);
    Click(dialog, "OkBtn");
  });
  EXPECT_EQ(StoredHeight(), 420);
}

TEST_F(ChrDatFormTest, AFailedSettingsWriteIsReportedAndTheEditStillApplies) {
  // A folder where the settings file should be: nobody, root included, can write the file.
  std::filesystem::create_directories(home_.AppFolder() / "cfg.ini");
  auto alice = MakeAlice({0}, {0});
  TMessageBoxCloser boxes;
  EXPECT_TRUE(Edit(*alice, [](QDialog& dialog) {
    RowEdit(dialog, 0, "CountEd").setText("2");
    Click(dialog, "OkBtn");
  }));
  EXPECT_EQ(Counts(*alice), std::vector<uint32_t>{2});
  const QString report = boxes.First();
  EXPECT_TRUE(report.contains(QStringLiteral("設定ファイル"))) << report.toStdString();
}

TEST_F(ChrDatFormTest, StacksNamedRowsInAFixedWidthWithEvenlySpreadButtons) {
  TTagWindow owner;
  auto alice = MakeAlice({0, 0, 0}, {0, 0, 0});
  Edit(
      *alice,
      [&owner](QDialog& dialog) {
        EXPECT_EQ(owner.Tag(), &dialog);
        EXPECT_EQ(dialog.minimumWidth(), dialog.maximumWidth());
        for (int i = 0; i < 3; ++i) {
          const auto& row = Child<TRaidDataFrame>(dialog, ("RDF" + std::to_string(i)).c_str());
          EXPECT_EQ(row.y(), i * row.height());
        }
        const auto& panel2 = Child<QWidget>(dialog, "Panel2");
        const auto lefts = SpreadButtons(panel2.width(), 54);
        const char* buttons[] = {"OkBtn", "ClearBtn", "ResetBtn", "CancelBtn"};
        for (int i = 0; i < 4; ++i)
          EXPECT_EQ(Child<QPushButton>(dialog, buttons[i]).x(), lefts[i]) << buttons[i];
        Click(dialog, "CancelBtn");
      },
      &owner);
  EXPECT_EQ(owner.Tag(), nullptr);
}

TEST_F(ChrDatFormTest, EachWheelNotchScrollsOneLineStep) {
  auto alice = MakeAlice(std::vector<TDateTime>(30, 0), std::vector<uint32_t>(30, 0));
  Edit(*alice, [](QDialog& dialog) {
    auto& box = Child<QScrollArea>(dialog, "ScrBox");
    const int step = box.viewport()->height() * 9 / 10 / 10;
    ASSERT_GT(step, 0);
    // As from the window system, so that a widget that ignores the wheel passes it on to its parents.
    const auto wheel = [](QWidget* target, int delta) {
      QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                        Qt::NoModifier, Qt::NoScrollPhase, false);
      QSpontaneKeyEvent::setSpontaneous(&event);
      qApp->notify(target, &event);
    };
    QWidget* rowEdit = &RowEdit(dialog, 0, "DayEd");
    wheel(box.viewport(), -120);
    EXPECT_EQ(box.verticalScrollBar()->value(), step);
    wheel(rowEdit, -240);
    EXPECT_EQ(box.verticalScrollBar()->value(), 3 * step);
    wheel(&Child<QWidget>(dialog, "Panel1"), 120);
    EXPECT_EQ(box.verticalScrollBar()->value(), 2 * step);
    wheel(box.viewport(), 120 * 10);
    EXPECT_EQ(box.verticalScrollBar()->value(), 0);
    Click(dialog, "CancelBtn");
  });
}

TEST(SpreadButtonsTest, SharesTheOddPixelsOutFromTheMiddle) {
  struct Case {
    int panelWidth;
    std::array<int, 4> lefts;
  } cases[] = {
      {299, {16, 87, 158, 229}},  // remainder 3
      {296, {16, 86, 156, 226}},  // remainder 0
      {297, {16, 86, 157, 227}},  // remainder 1
      {298, {16, 87, 157, 228}},  // remainder 2
      {300, {16, 87, 159, 230}},  // remainder 4
  };
  for (const Case& c : cases) EXPECT_EQ(SpreadButtons(c.panelWidth, 54), c.lefts) << c.panelWidth;
}

}  // namespace
}  // namespace kestrum::test
