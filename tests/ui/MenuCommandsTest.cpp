// The main window's menu commands and character editing, driven as a user drives them: through the
// menu items, the dialogs' own edits and buttons, and the grid, checking the roster, the grid and
// the bytes of raid.dat after each step.

// Mouse input goes through the window system layer, so a double click arrives as from a real mouse.
#define QTEST_QPA_MOUSE_HANDLING

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include <gtest/gtest.h>

#include "data/RaidTimerData.h"
#include "ini/VoMemIniFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/RosterModel.h"
#include "tests/support/TempHome.h"
#include "tests/ui/DialogsTestSupport.h"
#include "tests/ui/MainWindowTestSupport.h"
#include "ui/GridGeometry.h"
#include "ui/KestrumFormf.h"
#include "ui/RaidGrid.h"
#include "ui/raiddatafrm.h"

namespace kestrum::test {
namespace {

namespace fs = std::filesystem;

// Types AText as a keyboard or an input method delivers it: one key event per character, a
// character outside the basic plane arriving whole as its two UTF-16 units.
void Type(QLineEdit& AEdit, const QString& AText) {
  for (qsizetype i = 0; i < AText.size();) {
    const qsizetype units = AText[i].isHighSurrogate() && i + 1 < AText.size() ? 2 : 1;
    QTest::sendKeyEvent(QTest::Click, &AEdit, Qt::Key_unknown, AText.mid(i, units), Qt::NoModifier);
    i += units;
  }
}

void Paste(QLineEdit& AEdit, const QString& AText) {
  QGuiApplication::clipboard()->setText(AText);
  QTest::keyClick(&AEdit, Qt::Key_V, Qt::ControlModifier);
}

QString Q(const String& AText) {
  return QString::fromStdU16String(AText);
}

class MenuCommandsTest : public MainWindowTest {
 protected:
  static TRosterView Reloaded() { return NamesAndCountsOf(*Reload()); }

  int StoredCount(const String& ASection) const {
    return TVoMemIniFile(DataFile().u16string()).ReadInteger(ASection, u"COUNT", -1);
  }

  QAction& Item(const char* AName) const { return Find<QAction>(AName); }

  // Runs a name entry command: AInput typed into the name edit, then the button pressed.
  void RunNameCommand(const char* ACommand, std::function<void(QLineEdit&)> AInput,
                      const char* AButton = "OkBtn") {
    AnswerModal([AInput, AButton](QDialog& dialog) {
      AInput(Child<QLineEdit>(dialog, "NameEd"));
      Child<QPushButton>(dialog, AButton).click();
    });
    Item(ACommand).trigger();
  }

  void RunNameCommand(const char* ACommand, const QString& ATyped, const char* AButton = "OkBtn") {
    RunNameCommand(
        ACommand, [ATyped](QLineEdit& edit) { Type(edit, ATyped); }, AButton);
  }

  // Double-clicks the name cell of character AChara (0-based) and answers the editor.
  void EditCharacter(int AChara, std::function<void(QDialog&)> AAnswer) {
    AnswerModal(std::move(AAnswer));
    QTest::mouseDClick(Viewport(), Qt::LeftButton, {}, NearRightEdge(AChara + 1, 0));
  }

  static QLineEdit& RowEdit(QDialog& AEditor, int ARow, const char* AEdit) {
    const QByteArray row = "RDF" + QByteArray::number(ARow);
    return Child<QLineEdit>(Child<TRaidDataFrame>(AEditor, row.constData()), AEdit);
  }

  static void AnswerFontDialog(std::function<void(QFontDialog&)> AChoose,
                               QDialogButtonBox::StandardButton AButton) {
    AnswerModal([AChoose, AButton](QDialog& dialog) {
      auto* fontDialog = qobject_cast<QFontDialog*>(&dialog);
      ASSERT_NE(fontDialog, nullptr);
      AChoose(*fontDialog);
      dialog.findChild<QDialogButtonBox*>()->button(AButton)->click();
    });
  }

  // The grid has a column per character and a row per raid, and the delete items are enabled
  // exactly when there is something to delete.
  void ExpectGridFollowsTheRoster() const {
    const TKestrum& roster = *form_->Datas();
    EXPECT_EQ(form_->RaidGrid()->ColCount(), GridColCount(roster.CharaCount()));
    EXPECT_EQ(form_->RaidGrid()->RowCount(), GridRowCount(roster.RaidCount()));
    EXPECT_EQ(Item("mnDelChara").isEnabled(), roster.CharaCount() > 0);
    EXPECT_EQ(Item("mnDelRaid").isEnabled(), roster.RaidCount() > 0);
  }
};

TEST_F(MenuCommandsTest, DeletingByTypedNameUpdatesRosterGridAndFileUntilNothingIsLeft) {
  const struct {
    const char* Command;
    const char16_t* Section;                   // its "COUNT" follows the list
    std::vector<String> TRosterView::*Listed;  // the list the command deletes from
    QStringList Typed;                         // one deletion each; ASCII case does not matter
    std::vector<TRosterView> After;
  } cases[] = {
      {"mnDelChara",
       u"CHARA",
       &TRosterView::Charas,
       {"alice", "BOB"},
       {{{u"Bob"}, {u"R0", u"R1"}, {0, 7}}, {{}, {u"R0", u"R1"}, {}}}},
      {"mnDelRaid",
       u"RAID",
       &TRosterView::Raids,
       {"r0", "R1"},
       {{{u"Alice", u"Bob"}, {u"R1"}, {0, 7}}, {{u"Alice", u"Bob"}, {}, {}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Command);
    WriteRoster({u"Alice", u"Bob"}, {u"R0", u"R1"},
                [](TKestrum& r) { r.GetCharaDatas(1)->GetRaidTimerDatas(1)->SetCount(7); });
    OpenForm();
    for (int step = 0; step < c.Typed.size(); ++step) {
      SCOPED_TRACE(c.Typed[step].toStdString());
      RunNameCommand(c.Command, c.Typed[step]);
      EXPECT_EQ(NamesAndCountsOf(*form_->Datas()), c.After[step]);
      ExpectGridFollowsTheRoster();
      EXPECT_TRUE(form_->Timer()->isActive());
      const TRosterView& after = c.After[step];
      EXPECT_EQ(StoredCount(c.Section), static_cast<int>((after.*c.Listed).size()));
      if (!after.Raids.empty()) {
        EXPECT_EQ(Reloaded(), after);  // with no raid left a load brings back the default ones
      }
    }
    EXPECT_FALSE(Item(c.Command).isEnabled());
  }
}

TEST_F(MenuCommandsTest, CancellingOrChangingNothingWritesNothing) {
  const struct {
    const char* Name;
    std::function<void()> Run;
  } cases[] = {
      {"Add Character", [this] { RunNameCommand("mnAddChara", "Carol", "CancelBtn"); }},
      {"Del Character", [this] { RunNameCommand("mnDelChara", "Alice", "CancelBtn"); }},
      {"Add Raid", [this] { RunNameCommand("mnAddRaid", "R9", "CancelBtn"); }},
      {"Del Raid", [this] { RunNameCommand("mnDelRaid", "R0", "CancelBtn"); }},
      {"Font",
       [this] {
         AnswerFontDialog([](QFontDialog& d) { d.setCurrentFont(QFont(d.currentFont().family(), 20)); },
                          QDialogButtonBox::Cancel);
         Item("Font1").trigger();
       }},
      {"editor cancelled after edits",
       [this] {
         EditCharacter(0, [](QDialog& editor) {
           Child<QLineEdit>(editor, "NameEd").setText("Carol");
           RowEdit(editor, 1, "CountEd").setText("9");
           Child<QPushButton>(editor, "ClearBtn").click();
           Child<QPushButton>(editor, "CancelBtn").click();
         });
       }},
      {"editor closed with OK and nothing changed",
       [this] { EditCharacter(0, [](QDialog& editor) { Child<QPushButton>(editor, "OkBtn").click(); }); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteRoster({u"Alice", u"Bob"}, {u"R0", u"R1"}, [](TKestrum& r) {
      r.GetCharaDatas(0)->GetRaidTimerDatas(0)->SetActivateTime(FixedNow() + 1);
      r.GetCharaDatas(0)->GetRaidTimerDatas(1)->SetCount(3);
    });
    const std::string data = ReadFileBytes(DataFile());
    const std::string backup = ReadFileBytes(home_.AppFolder() / "raid.dat.bak");
    OpenForm();
    const TRosterView before = NamesAndCountsOf(*form_->Datas());
    const QFont font = form_->font();
    const int width = form_->RaidGrid()->ColWidth(1);

    c.Run();

    EXPECT_EQ(ReadFileBytes(DataFile()), data);
    EXPECT_EQ(ReadFileBytes(home_.AppFolder() / "raid.dat.bak"), backup);
    EXPECT_EQ(NamesAndCountsOf(*form_->Datas()), before);
    EXPECT_EQ(form_->font(), font);
    EXPECT_EQ(form_->RaidGrid()->ColWidth(1), width);
    ExpectGridFollowsTheRoster();
    EXPECT_TRUE(form_->Timer()->isActive());
  }
}

TEST_F(MenuCommandsTest, EditorChangesToTimersAndNameAreSavedAtOnce) {
  WriteRoster({u"Alice", u"Bob"}, {u"R0", u"R1"},
              [](TKestrum& r) { r.GetCharaDatas(1)->GetRaidTimerDatas(0)->SetCount(4); });
  OpenForm();
  // Eleven full-width letters and a dragon: the dragon's two units do not fit the twelve left.
  const String eleven = u"ＡＢＣＤＥＦＧＨＩＪＫ";
  EditCharacter(0, [&eleven](QDialog& editor) {
    auto& name = Child<QLineEdit>(editor, "NameEd");
    name.clear();
    Type(name, Q(eleven) + QString::fromStdU16String(u"\U0001F409"));
    RowEdit(editor, 0, "HourEd").setText("2");
    RowEdit(editor, 1, "CountEd").setText("5");
    Child<QPushButton>(editor, "OkBtn").click();
  });

  TKestrum saved;
  saved.Load();
  EXPECT_EQ(NamesAndCountsOf(saved), (TRosterView{{eleven, u"Bob"}, {u"R0", u"R1"}, {0, 5, 4, 0}}));
  EXPECT_NEAR(saved.GetCharaDatas(0)->GetRaidTimerDatas(0)->ActivateTime(), FixedNow() + 2.0 / 24,
              1.0 / 86400);
  EXPECT_EQ(saved.GetCharaDatas(0)->GetRaidTimerDatas(1)->ActivateTime(), 0);
  EXPECT_EQ(NamesAndCountsOf(*form_->Datas()), NamesAndCountsOf(saved));
  // The cell now shows the end of the lock-out.
  EXPECT_FALSE(form_->Datas()->GetCharaDatas(0)->GetRaidTimerDatas(0)->Enabled());
  EXPECT_TRUE(form_->Timer()->isActive());
}

TEST_F(MenuCommandsTest, LargerFontWidensTheColumnsAndComesBackAfterARestart) {
  WriteRoster({u"Alice"}, {u"VoN"});
  const std::string data = ReadFileBytes(DataFile());
  TKestrumForm& form = OpenForm();
  const int nameWidth = form.RaidGrid()->ColWidth(0);
  const int charaWidth = form.RaidGrid()->ColWidth(1);
  const int buttonWidth = form.RaidGrid()->Painter().ButtonWidth();

  AnswerFontDialog(
      [](QFontDialog& d) {
        for (const QCheckBox* effect : d.findChildren<QCheckBox*>()) EXPECT_FALSE(effect->isVisible());
        if (QFontInfo(d.currentFont()).family().isEmpty())
          GTEST_SKIP() << "the font dialog finds no font face";
        QFont larger = d.currentFont();
        larger.setPointSize(20);
        d.setCurrentFont(larger);
      },
      QDialogButtonBox::Ok);
  Item("Font1").trigger();
  if (IsSkipped()) return;

  EXPECT_EQ(form.font().pointSize(), 20);
  EXPECT_GT(form.RaidGrid()->ColWidth(0), nameWidth);
  EXPECT_GT(form.RaidGrid()->ColWidth(1), charaWidth);
  EXPECT_GT(form.RaidGrid()->Painter().ButtonWidth(), buttonWidth);
  EXPECT_EQ(ReadFileBytes(DataFile()), data);  // the font is a setting, not data
  const QString family = form.font().family();
  const int widenedNames = form.RaidGrid()->ColWidth(0);
  const int widened = form.RaidGrid()->ColWidth(1);

  form.close();
  const TVoMemIniFile config(ConfigFile().u16string());
  EXPECT_EQ(config.ReadInteger(u"FONT", u"SIZE", 0), 20);
  EXPECT_EQ(Q(config.ReadString(u"FONT", u"NAME", u"")), family);

  TKestrumForm& restarted = OpenForm();
  EXPECT_EQ(restarted.font().family(), family);
  EXPECT_EQ(restarted.font().pointSize(), 20);
  // The same layout as right after the choice: names are measured in bold either way.
  EXPECT_EQ(restarted.RaidGrid()->ColWidth(0), widenedNames);
  EXPECT_EQ(restarted.RaidGrid()->ColWidth(1), widened);
}

// Odd names: each is either saved and read back unchanged, or refused by the dialog, which says why
// and keeps its OK button disabled; then roster, grid and raid.dat are as they were.
TEST_F(MenuCommandsTest, OddNamesAreSavedWholeOrRefusedWithoutATrace) {
  const QString fullWidth12 = QString::fromStdU16String(u"ＡＢＣＤＥＦＧＨＩＪＫＬ");
  const QString fullWidth11 = fullWidth12.left(11);
  const QString emoji = QString::fromStdU16String(u"\U0001F409");  // two UTF-16 units
  const struct {
    const char* Name;
    const char* Command;
    QString Input;
    bool Pasted;
    QString Stored;  // what a fresh load reads back; empty when refused
    QString Report;  // the dialog's status when refused
  } cases[] = {
      {"equals sign", "mnAddChara", "a=b", false, "a=b", ""},
      {"equals sign", "mnAddRaid", "a=b", false, "",
       QString::fromStdU16String(u"レイド名に \"=\" は使えません")},
      {"leading semicolon", "mnAddChara", ";x", false, ";x", ""},
      {"leading semicolon", "mnAddRaid", ";x", false, "",
       QString::fromStdU16String(u"レイド名の先頭に \";\" は使えません")},
      {"only spaces", "mnAddChara", "   ", false, "", QString::fromStdU16String(u"名前が空白だけです")},
      {"only spaces", "mnAddRaid", "   ", false, "", QString::fromStdU16String(u"名前が空白だけです")},
      {"a character's name key", "mnAddRaid", "name", false, "",
       QString::fromStdU16String(u"キャラのデータのキーと重なる名前です")},
      {"another raid's count key", "mnAddRaid", "VoN count", false, "",
       QString::fromStdU16String(u"キャラのデータのキーと重なる名前です")},
      {"twelve full-width characters", "mnAddChara", fullWidth12, false, fullWidth12, ""},
      {"twelve full-width characters", "mnAddRaid", fullWidth12, false, fullWidth12, ""},
      {"emoji", "mnAddChara", "Zed" + emoji, false, "Zed" + emoji, ""},
      {"emoji", "mnAddRaid", "Zed" + emoji, false, "Zed" + emoji, ""},
      {"emoji filling the last two units", "mnAddChara", fullWidth12.left(10) + emoji, false,
       fullWidth12.left(10) + emoji, ""},
      // One unit left: the emoji is refused whole rather than cut in half.
      {"emoji beyond the limit", "mnAddChara", fullWidth11 + emoji, false, fullWidth11, ""},
      {"emoji beyond the limit", "mnAddRaid", fullWidth11 + emoji, false, fullWidth11 + emoji, ""},
      {"double quotes", "mnAddChara", "\"Q\" x", false, "\"Q\" x", ""},
      {"double quotes", "mnAddRaid", "\"Q\" x", false, "\"Q\" x", ""},
      // A name copied from elsewhere often brings its line end along.
      {"pasted with a line end", "mnAddChara", "Bob\r\n", true, "Bob", ""},
      {"pasted with a line end", "mnAddRaid", "Tab\there\n", true, "Tabhere", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Command) + ", " + c.Name);
    WriteRoster({u"Alice"}, {u"VoN"});
    const std::string data = ReadFileBytes(DataFile());
    const std::string backup = ReadFileBytes(home_.AppFolder() / "raid.dat.bak");
    OpenForm();
    const TRosterView before = NamesAndCountsOf(*form_->Datas());

    TMessageBoxCloser boxes;
    bool okEnabled = false;
    QString status;
    AnswerModal([&](QDialog& dialog) {
      QLineEdit& edit = Child<QLineEdit>(dialog, "NameEd");
      c.Pasted ? Paste(edit, c.Input) : Type(edit, c.Input);
      okEnabled = Child<QPushButton>(dialog, "OkBtn").isEnabled();
      status = Child<QStatusBar>(dialog, "StsBar").currentMessage();
      Child<QPushButton>(dialog, okEnabled ? "OkBtn" : "CancelBtn").click();
    });
    Item(c.Command).trigger();

    EXPECT_TRUE(form_->Timer()->isActive());
    ExpectGridFollowsTheRoster();
    EXPECT_EQ(boxes.Texts, QStringList());
    EXPECT_EQ(okEnabled, !c.Stored.isEmpty());
    EXPECT_EQ(status, c.Report);
    if (c.Stored.isEmpty()) {
      EXPECT_EQ(NamesAndCountsOf(*form_->Datas()), before);
      EXPECT_EQ(ReadFileBytes(DataFile()), data);
      EXPECT_EQ(ReadFileBytes(home_.AppFolder() / "raid.dat.bak"), backup);
      continue;
    }
    TRosterView expected = before;
    if (c.Command == std::string("mnAddChara")) {
      expected.Charas.push_back(c.Stored.toStdU16String());
      expected.Counts.push_back(0);
    } else {
      expected.Raids.push_back(c.Stored.toStdU16String());
      expected.Counts.push_back(0);
    }
    EXPECT_EQ(NamesAndCountsOf(*form_->Datas()), expected);
    EXPECT_EQ(Reloaded(), expected);
  }
}

// A write that fails during a command (here: no room left on the disk) leaves roster, grid and
// raid.dat as they were, tells the user, and the window goes on working once there is room again.
TEST_F(MenuCommandsTest, FailedWriteChangesNothingAndTheCommandWorksOnceTheFaultIsGone) {
  if (!test::TFileSizeLimit::Supported()) GTEST_SKIP() << "no full disk to stand in with";
  const QString noticeStart = QString::fromStdU16String(u"エラーが発生しました。データは巻戻ります。\r\n");
  const struct {
    const char* Name;
    std::function<void()> Run;
    bool Notice;  // the save-error notice rather than the plain error report
  } cases[] = {
      {"Add Character", [this] { RunNameCommand("mnAddChara", "Carol"); }, false},
      {"Del Character", [this] { RunNameCommand("mnDelChara", "Alice"); }, false},
      {"Add Raid", [this] { RunNameCommand("mnAddRaid", "R9"); }, false},
      {"Del Raid", [this] { RunNameCommand("mnDelRaid", "R0"); }, false},
      {"character editor",
       [this] {
         EditCharacter(0, [](QDialog& editor) {
           Child<QLineEdit>(editor, "NameEd").setText("Carol");
           Child<QPushButton>(editor, "OkBtn").click();
         });
       },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteRoster({u"Alice", u"Bob"}, {u"R0", u"R1"});
    // A full disk must leave raid.dat and its backup as they were.
    const std::string oldBackup = "; an older roster\r\n";
    WriteFileBytes(home_.AppFolder() / "raid.dat.bak", oldBackup);
    const std::string data = ReadFileBytes(DataFile());
    OpenForm();
    const TRosterView before = NamesAndCountsOf(*form_->Datas());
    const int cols = form_->RaidGrid()->ColCount();
    const int rows = form_->RaidGrid()->RowCount();

    {
      TMessageBoxCloser boxes;
      {
        const test::TFileSizeLimit full(0);
        c.Run();
      }
      ASSERT_FALSE(boxes.Texts.isEmpty());
      const QString& report = boxes.Texts.last();
      EXPECT_EQ(report.startsWith(noticeStart), c.Notice) << report.toStdString();
      EXPECT_TRUE(report.contains("raid.dat")) << report.toStdString();
    }
    EXPECT_EQ(ReadFileBytes(DataFile()), data);
    EXPECT_EQ(ReadFileBytes(home_.AppFolder() / "raid.dat.bak"), oldBackup);
    EXPECT_FALSE(fs::exists(home_.AppFolder() / "raid.dat.bak2"));
    EXPECT_EQ(NamesAndCountsOf(*form_->Datas()), before);
    EXPECT_EQ(form_->RaidGrid()->ColCount(), cols);
    EXPECT_EQ(form_->RaidGrid()->RowCount(), rows);
    ExpectGridFollowsTheRoster();
    EXPECT_TRUE(form_->Timer()->isActive());

    c.Run();
    EXPECT_NE(NamesAndCountsOf(*form_->Datas()), before);
    EXPECT_EQ(Reloaded(), NamesAndCountsOf(*form_->Datas()));
    EXPECT_EQ(ReadFileBytes(home_.AppFolder() / "raid.dat.bak"), data);
    ExpectGridFollowsTheRoster();
  }
}

}  // namespace
}  // namespace kestrum::test
