#include "ui/addchrf.h"

#include <algorithm>

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include "data/Kestrum.h"
#include "ui/CharaNameLength.h"
#include "ui/DialogParts.h"
#include "ui/NameValidator.h"
#include "ui/TagOwner.h"

namespace kestrum {

namespace {

constexpr int NoLengthLimit = 32767;
constexpr int DesignedPromptWidth = 166;

}  // namespace

TAddChrForm::TAddChrForm(QWidget* AOwner)
    : QDialog(AOwner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  PrepareDialog(*this, "AddChrForm", tr("Add Character"));
  setFixedSize(182, 128);

  Bevel1 = MakeBevel(this, "Bevel1", QRect(4, 4, 173, 57));

  Label1 = new QLabel(tr("キャラクター名を入力してください"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label1->setGeometry(8, 12, DesignedPromptWidth, std::max(13, Label1->fontMetrics().height()));

  NameEd = new QLineEdit(this);
  NameEd->setObjectName(QStringLiteral("NameEd"));
  NameEd->setGeometry(16, 31, 148, 21);
  NameEd->setMaxLength(kCharaNameMaxLength);
  NameEd->setValidator(new TNameValidator(NameEd));
  connect(NameEd, &QLineEdit::textChanged, this, [this] { NameEdChange(); });

  OkBtn = MakePlainButton(this, "OkBtn", tr("Ok"), QRect(4, 71, 75, 25));
  OkBtn->setEnabled(false);
  connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
  CancelBtn = MakePlainButton(this, "CancelBtn", tr("Cancel"), QRect(102, 71, 75, 25));
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
  setTabOrder(NameEd, OkBtn);
  setTabOrder(OkBtn, CancelBtn);

  StsBar = new QStatusBar(this);
  StsBar->setObjectName(QStringLiteral("StsBar"));
  StsBar->setSizeGripEnabled(false);
  StsBar->setGeometry(4, 105, 174, 19);

  TTagOwner::SetTagOf(AOwner, this);
}

TAddChrForm::~TAddChrForm() {
  TTagOwner::SetTagOf(parentWidget(), nullptr);
}

String TAddChrForm::AddChr(const TCharaDatas& ADatas) {
  FCharaDatas = &ADatas;
  Prepare(tr("Add Character"), tr("キャラクター名を入力してください"), acmChar, false);
  return exec() == Accepted ? NameEd->text().toStdU16String() : String();
}

int TAddChrForm::DelChr(const TCharaDatas& ADatas) {
  FCharaDatas = &ADatas;
  Prepare(tr("Delete Character"), tr("削除するキャラクターの名前を入力"), acmChar, true);
  return exec() == Accepted ? FIdx : -1;
}

String TAddChrForm::AddRaid(const TRaidNames& ADatas) {
  FRaidNames = &ADatas;
  Prepare(tr("Add Raid"), tr("レイド名を入力してください"), acmRaid, false);
  return exec() == Accepted ? NameEd->text().toStdU16String() : String();
}

int TAddChrForm::DelRaid(const TRaidNames& ADatas) {
  FRaidNames = &ADatas;
  Prepare(tr("Delete Raid"), tr("削除するレイドの名前を入力"), acmRaid, true);
  return exec() == Accepted ? FIdx : -1;
}

void TAddChrForm::Prepare(const QString& ACaption, const QString& APrompt, TAddChrMode AMode, bool ADelete) {
  setWindowTitle(ACaption);
  Label1->setText(APrompt);
  WidenForTexts();
  FCharaMode = AMode;
  FDelFlag = ADelete;
  FIdx = -1;
  NameEd->setMaxLength(AMode == acmChar ? kCharaNameMaxLength : NoLengthLimit);
}

void TAddChrForm::WidenForTexts() {
  // Fonts that draw the prompt wider than its designed place (Japanese fallback fonts do), and
  // title bars too narrow for the caption, widen the dialog just enough, keeping the design's
  // margins and centring.
  const int textWidth = Label1->fontMetrics().horizontalAdvance(Label1->text()) + 2;
  const int extra = std::max({0, textWidth - DesignedPromptWidth, WidthShowingTitle(windowTitle()) - 182});
  setFixedSize(182 + extra, 128);
  Bevel1->resize(173 + extra, Bevel1->height());
  Label1->resize(DesignedPromptWidth + extra, Label1->height());
  NameEd->move(16 + extra / 2, NameEd->y());
  CancelBtn->move(102 + extra, CancelBtn->y());
  StsBar->resize(174 + extra, StsBar->height());
}

int TAddChrForm::ExistingCount() const {
  return static_cast<int>(FCharaMode == acmChar ? FCharaDatas->size() : FRaidNames->size());
}

const String& TAddChrForm::ExistingName(int AIndex) const {
  return FCharaMode == acmChar ? (*FCharaDatas)[AIndex]->Name() : (*FRaidNames)[AIndex];
}

QString TAddChrForm::AddProblem(const String& ATyped) const {
  if (FCharaMode == acmRaid) {
    switch (RaidNameProblem(ATyped, *FRaidNames)) {
      case TRaidNameProblem::None:
        return QString();
      case TRaidNameProblem::Empty:
        return tr("名前が空白だけです");
      case TRaidNameProblem::HasEquals:
        return tr("レイド名に \"=\" は使えません");
      case TRaidNameProblem::StartsWithSemicolon:
        return tr("レイド名の先頭に \";\" は使えません");
      case TRaidNameProblem::HasLineBreak:
        return tr("レイド名に改行は使えません");
      case TRaidNameProblem::CharaKey:
        return tr("キャラのデータのキーと重なる名前です");
      case TRaidNameProblem::Taken:
        return tr("同名のレイドが存在します");
    }
  }
  if (Trim(ATyped).empty()) return tr("名前が空白だけです");
  for (const auto& chara : *FCharaDatas)
    if (SameTextAscii(chara->Name(), ATyped)) return tr("同名キャラがいます");
  return QString();
}

void TAddChrForm::NameEdChange() {
  const String text = NameEd->text().toStdU16String();
  if (text.empty()) {
    OkBtn->setEnabled(false);
    StsBar->clearMessage();
    return;
  }
  if (FDelFlag) {
    // Typing the exact name of an entry is the confirmation; there is nothing else to delete.
    FIdx = -1;
    for (int i = 0; i < ExistingCount() && FIdx < 0; ++i)
      if (SameTextAscii(ExistingName(i), text)) FIdx = i;
    OkBtn->setEnabled(FIdx >= 0);
    return;
  }
  const QString problem = AddProblem(text);
  OkBtn->setEnabled(problem.isEmpty());
  if (problem.isEmpty())
    StsBar->clearMessage();
  else
    StsBar->showMessage(problem);
}

void TAddChrForm::keyPressEvent(QKeyEvent* AEvent) {
  if (IsDialogKey(*AEvent))
    AEvent->ignore();
  else
    QDialog::keyPressEvent(AEvent);
}

String ShowAddChrDlg(QWidget* AOwner, const TCharaDatas& ADatas) {
  TAddChrForm form(AOwner);
  return form.AddChr(ADatas);
}

int ShowDelChrDlg(QWidget* AOwner, const TCharaDatas& ADatas) {
  TAddChrForm form(AOwner);
  return form.DelChr(ADatas);
}

String ShowAddRaidDlg(QWidget* AOwner, const TRaidNames& ADatas) {
  TAddChrForm form(AOwner);
  return form.AddRaid(ADatas);
}

int ShowDelRaidDlg(QWidget* AOwner, const TRaidNames& ADatas) {
  TAddChrForm form(AOwner);
  return form.DelRaid(ADatas);
}

}  // namespace kestrum
