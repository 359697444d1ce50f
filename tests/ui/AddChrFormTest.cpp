#include <memory>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "tests/ui/DialogsTestSupport.h"
#include "ui/DialogParts.h"
#include "ui/addchrf.h"

namespace kestrum::test {
namespace {

TCharaDatas MakeCharas(const std::vector<String>& ANames) {
  TCharaDatas charas;
  for (const String& name : ANames)
    charas.push_back(std::make_unique<TCharaData>(name, std::vector<TDateTime>{}, std::vector<uint32_t>{}));
  return charas;
}

// What the dialog shows after one text was put into its name edit.
struct Typed {
  QString text;
  bool okEnabled;
  QString status;
};

void TypeAndCheck(QDialog& ADialog, const std::vector<Typed>& ASteps) {
  auto& nameEd = Child<QLineEdit>(ADialog, "NameEd");
  for (const Typed& step : ASteps) {
    nameEd.setText(step.text);
    EXPECT_EQ(Child<QPushButton>(ADialog, "OkBtn").isEnabled(), step.okEnabled) << step.text.toStdString();
    EXPECT_EQ(Child<QStatusBar>(ADialog, "StsBar").currentMessage(), step.status) << step.text.toStdString();
  }
}

using AddChrFormTest = DialogTest;

TEST_F(AddChrFormTest, AddRefusesNamesTakenInAnyAsciiCaseButNotFullWidthLookalikes) {
  const TCharaDatas charas = MakeCharas({u"Foo", u"ABC"});
  const TRaidNames raids = {u"Foo", u"ABC"};
  struct Mode {
    std::function<String()> show;
    QString duplicateText;
    // A raid name is a key of the data file, which trims keys: " abc " would be stored as ABC.
    bool paddedNameTaken;
  } modes[] = {
      {[&] { return ShowAddChrDlg(nullptr, charas); }, QStringLiteral("同名キャラがいます"), false},
      {[&] { return ShowAddRaidDlg(nullptr, raids); }, QStringLiteral("同名のレイドが存在します"), true},
  };
  for (const Mode& mode : modes) {
    const QString paddedStatus = mode.paddedNameTaken ? mode.duplicateText : QString();
    AnswerModal([&](QDialog& dialog) {
      EXPECT_FALSE(Child<QPushButton>(dialog, "OkBtn").isEnabled());
      TypeAndCheck(dialog, {{"abc", false, mode.duplicateText},
                            {"", false, ""},
                            {"aBc", false, mode.duplicateText},
                            {"ａｂｃ", true, ""},
                            {"Fo", true, ""},
                            {"fOO", false, mode.duplicateText},
                            {" abc ", !mode.paddedNameTaken, paddedStatus},
                            {"  fOO", !mode.paddedNameTaken, paddedStatus},
                            {" abd ", true, ""}});
      Click(dialog, "OkBtn");
    });
    // The name comes back exactly as typed, spaces included.
    EXPECT_EQ(mode.show(), u" abd ");
  }
}

TEST_F(AddChrFormTest, DeleteReturnsTheIndexOfTheTypedNameAndNeverTouchesTheStatusBar) {
  const TCharaDatas charas = MakeCharas({u"Foo", u"Bar", u"Abc"});
  AnswerModal([](QDialog& dialog) {
    TypeAndCheck(dialog, {{"abc", true, ""}, {"abcd", false, ""}, {"ab", false, ""}, {"ABC", true, ""}});
    Click(dialog, "OkBtn");
  });
  EXPECT_EQ(ShowDelChrDlg(nullptr, charas), 2);

  const TRaidNames raids = {u"Raid X", u"Raid Y"};
  AnswerModal([](QDialog& dialog) {
    TypeAndCheck(dialog, {{"raid y", true, ""}});
    Click(dialog, "OkBtn");
  });
  EXPECT_EQ(ShowDelRaidDlg(nullptr, raids), 1);
}

TEST_F(AddChrFormTest, DeleteFromAnEmptyListCanNeverBeConfirmed) {
  const TCharaDatas none;
  AnswerModal([](QDialog& dialog) {
    TypeAndCheck(dialog, {{"a", false, ""}, {"", false, ""}});
    Click(dialog, "CancelBtn");
  });
  EXPECT_EQ(ShowDelChrDlg(nullptr, none), -1);
}

TEST_F(AddChrFormTest, CancelReturnsNothingWhateverTheEditHolds) {
  const TCharaDatas charas = MakeCharas({u"Foo"});
  const TRaidNames raids = {u"Foo"};
  // Each text would be accepted by OK in its mode.
  const auto cancelWith = [](const char* AText) {
    AnswerModal([AText](QDialog& dialog) {
      Child<QLineEdit>(dialog, "NameEd").setText(QString::fromUtf8(AText));
      ASSERT_TRUE(Child<QPushButton>(dialog, "OkBtn").isEnabled());
      Click(dialog, "CancelBtn");
    });
  };
  cancelWith("New");
  EXPECT_EQ(ShowAddChrDlg(nullptr, charas), u"");
  cancelWith("foo");
  EXPECT_EQ(ShowDelChrDlg(nullptr, charas), -1);
  cancelWith("New");
  EXPECT_EQ(ShowAddRaidDlg(nullptr, raids), u"");
  cancelWith("foo");
  EXPECT_EQ(ShowDelRaidDlg(nullptr, raids), -1);
}

TEST_F(AddChrFormTest, CharacterNamesStopAtTwelveCharactersRaidNamesDoNot) {
  const TCharaDatas charas;
  const TRaidNames raids;
  const QString typed = QStringLiteral("abcdefghijklmnopqrst");
  const auto typeAndConfirm = [&typed](QDialog& dialog) {
    auto& nameEd = Child<QLineEdit>(dialog, "NameEd");
    nameEd.setFocus();
    QTest::keyClicks(&nameEd, typed);
    Click(dialog, "OkBtn");
  };
  AnswerModal(typeAndConfirm);
  EXPECT_EQ(ShowAddChrDlg(nullptr, charas), typed.left(12).toStdU16String());
  AnswerModal(typeAndConfirm);
  EXPECT_EQ(ShowAddRaidDlg(nullptr, raids), typed.toStdU16String());
}

TEST_F(AddChrFormTest, EnterAndEscapeDoNotCloseTheDialog) {
  const TCharaDatas charas;
  AnswerModal([](QDialog& dialog) {
    auto& nameEd = Child<QLineEdit>(dialog, "NameEd");
    nameEd.setText(QStringLiteral("New"));
    ASSERT_TRUE(Child<QPushButton>(dialog, "OkBtn").isEnabled());
    for (QWidget* target : {static_cast<QWidget*>(&nameEd), static_cast<QWidget*>(&dialog)}) {
      QTest::keyClick(target, Qt::Key_Return);
      QTest::keyClick(target, Qt::Key_Enter);
      QTest::keyClick(target, Qt::Key_Escape);
    }
    QApplication::processEvents();
    EXPECT_TRUE(dialog.isVisible());
    Click(dialog, "CancelBtn");
  });
  EXPECT_EQ(ShowAddChrDlg(nullptr, charas), u"");
}

TEST_F(AddChrFormTest, ShowsTheTextsOfEachModeAndNamesItselfInTheOwnersTag) {
  TTagWindow owner;
  const TCharaDatas charas;
  const TRaidNames raids;
  struct Texts {
    std::function<void()> show;
    QString caption;
    QString prompt;
  } modes[] = {
      {[&] { ShowAddChrDlg(&owner, charas); }, "Add Character", "キャラクター名を入力してください"},
      {[&] { ShowDelChrDlg(&owner, charas); }, "Delete Character", "削除するキャラクターの名前を入力"},
      {[&] { ShowAddRaidDlg(&owner, raids); }, "Add Raid", "レイド名を入力してください"},
      {[&] { ShowDelRaidDlg(&owner, raids); }, "Delete Raid", "削除するレイドの名前を入力"},
  };
  for (const Texts& mode : modes) {
    AnswerModal([&](QDialog& dialog) {
      EXPECT_EQ(owner.Tag(), &dialog);
      EXPECT_EQ(dialog.windowTitle(), mode.caption);
      const auto& prompt = Child<QLabel>(dialog, "Label1");
      EXPECT_EQ(prompt.text(), mode.prompt);
      // Never narrower than designed, and wide enough for the prompt in the font at hand and for
      // the caption in a title bar.
      EXPECT_GE(dialog.width(), 182);
      EXPECT_GE(dialog.width(), WidthShowingTitle(mode.caption));
      EXPECT_LE(Child<QPushButton>(dialog, "CancelBtn").geometry().right(), dialog.width() - 4);
      ExpectShowsItsContentsWhole(dialog);
      EXPECT_GE(prompt.width(), prompt.fontMetrics().horizontalAdvance(mode.prompt));
      EXPECT_LE(prompt.geometry().right(), dialog.width() - 8);
      EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
      Click(dialog, "CancelBtn");
    });
    mode.show();
    EXPECT_EQ(owner.Tag(), nullptr);
  }
}

}  // namespace
}  // namespace kestrum::test
