#include "ui/Translations.h"

#include <utility>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTranslator>

#include "tests/ui/DialogsTestSupport.h"
#include "ui/addchrf.h"
#include "ui/chrdatf.h"

namespace kestrum::test {
namespace {

TEST(UiLanguageTest, OnlyAJapaneseFirstLanguageKeepsTheTextsAsWritten) {
  const struct {
    QStringList languages;
    TUiLanguage expected;
  } cases[] = {
      {{"ja-JP"}, TUiLanguage::Japanese},
      {{"ja"}, TUiLanguage::Japanese},
      {{"ja-JP", "en-US"}, TUiLanguage::Japanese},
      {{"en-US", "ja-JP"}, TUiLanguage::English},
      {{"de-DE"}, TUiLanguage::English},
      {{"zh-Hans-CN", "ja"}, TUiLanguage::English},
      {{"C"}, TUiLanguage::English},
      {{}, TUiLanguage::English},
  };
  for (const auto& c : cases)
    EXPECT_EQ(UiLanguageFor(c.languages), c.expected) << c.languages.join(',').toStdString();
}

class EnglishTest : public EnglishDialogTest {
 protected:
  // A label shows its English text whole inside its dialog.
  static void ExpectShownWhole(const QWidget& ADialog, const char* ALabel, const QString& AText) {
    const auto& label = Child<QLabel>(ADialog, ALabel);
    EXPECT_EQ(label.text(), AText);
    EXPECT_GE(label.width(), label.fontMetrics().horizontalAdvance(AText)) << ALabel;
    EXPECT_LE(label.mapTo(&ADialog, QPoint(label.width(), 0)).x(), ADialog.width()) << ALabel;
  }
};

TEST_F(EnglishTest, NameDialogPromptsAndNoticesAreEnglishAndFit) {
  const TRaidNames raids = {u"VoN"};
  const TCharaDatas none;
  AnswerModal([](QDialog& dialog) {
    ExpectShownWhole(dialog, "Label1", QStringLiteral("Type the name of the character to delete"));
    Click(dialog, "CancelBtn");
  });
  ShowDelChrDlg(nullptr, none);
  AnswerModal([](QDialog& dialog) {
    ExpectShownWhole(dialog, "Label1", QStringLiteral("Enter the raid's name"));
    Child<QLineEdit>(dialog, "NameEd").setText(QStringLiteral("von "));
    EXPECT_EQ(Child<QStatusBar>(dialog, "StsBar").currentMessage(),
              QStringLiteral("A raid of this name exists"));
    Click(dialog, "CancelBtn");
  });
  ShowAddRaidDlg(nullptr, raids);
}

TEST_F(EnglishTest, EditorLabelsAreEnglishAndFit) {
  const TRaidNames raids = {u"VoN"};
  const TCharaNames names = {u"Aeryn"};
  TCharaData chara(u"Aeryn", {0}, {3});
  AnswerModal([](QDialog& dialog) {
    ExpectShownWhole(dialog, "Label1", QStringLiteral("Name"));
    for (const auto& [label, text] : std::vector<std::pair<const char*, QString>>{
             {"DayLb", "d"}, {"HourLb", "h"}, {"MinLb", "min"}, {"CountLb", "runs"}})
      EXPECT_EQ(Child<QLabel>(dialog, label).text(), text) << label;
    Click(dialog, "CancelBtn");
  });
  ShowChrDatDlg(nullptr, raids, names, 0, chara);
}

}  // namespace
}  // namespace kestrum::test
