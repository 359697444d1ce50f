#include "ui/chrdatf.h"

#include <algorithm>
#include <limits>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "platform/scrposadjustor.h"
#include "ui/CharaNameLength.h"
#include "ui/DialogParts.h"
#include "ui/NameValidator.h"
#include "ui/OuterGeometry.h"
#include "ui/TagOwner.h"
#include "ui/WindowSettings.h"
#include "ui/raiddatafrm.h"

namespace kestrum {

namespace {

QFrame* MakePanel(QWidget* AParent, const char* AName, int AHeight) {
  auto* panel = new QFrame(AParent);
  panel->setObjectName(QString::fromLatin1(AName));
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setFixedHeight(AHeight);
  return panel;
}

QString ErrorText(const std::exception& AError) {
  if (const auto* error = dynamic_cast<const Exception*>(&AError))
    return QString::fromStdU16String(error->Message());
  return QString::fromUtf8(AError.what());
}

}  // namespace

std::array<int, 4> SpreadButtons(int APanelWidth, int AButtonWidth) {
  // Extra pixel per gap between the buttons, by the remainder of the five-way split.
  static constexpr int Extra[5][3] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 1}, {1, 1, 1}, {1, 2, 1}};
  const int freeSpace = std::max(0, APanelWidth - 4 * AButtonWidth);
  const int gap = freeSpace / 5;
  const int* extra = Extra[freeSpace % 5];
  std::array<int, 4> lefts{gap};
  for (int i = 1; i < 4; ++i) lefts[i] = lefts[i - 1] + AButtonWidth + gap + extra[i - 1];
  return lefts;
}

TChrDatForm::TChrDatForm(QWidget* AOwner)
    : QDialog(AOwner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  PrepareDialog(*this, "ChrDatForm", tr("Character Data Editor"));
  resize(296, 333);

  Panel1 = MakePanel(this, "Panel1", 33);
  Label1 = new QLabel(tr("キャラ名"), Panel1);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->move(4, 8);
  Label1->adjustSize();
  NameEd = new QLineEdit(Panel1);
  NameEd->setObjectName(QStringLiteral("NameEd"));
  // After the label, however wide the font draws it.
  NameEd->setGeometry(std::max(44, Label1->x() + Label1->width() + 4), 6, 133, 21);
  NameEd->setMaxLength(kCharaNameMaxLength);
  NameEd->setValidator(new TNameValidator(NameEd));
  connect(NameEd, &QLineEdit::textChanged, this, [this] { CheckInputs(); });
  SameNameLb = new QLabel(QStringLiteral("SameNameLb"), Panel1);
  SameNameLb->setObjectName(QStringLiteral("SameNameLb"));
  SameNameLb->setGeometry(NameEd->x() + NameEd->width() + 6, 8, 102,
                          std::max(13, SameNameLb->fontMetrics().height()));

  ScrBox = new QScrollArea(this);
  ScrBox->setObjectName(QStringLiteral("ScrBox"));
  ScrBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ScrBox->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  RaidPanel = new QWidget;
  RaidPanel->setObjectName(QStringLiteral("RaidPanel"));
  RaidPanel->resize(277, 175);
  ScrBox->setWidget(RaidPanel);
  // The editor scrolls by its own line step; see FormMouseWheel.
  ScrBox->viewport()->installEventFilter(this);
  ScrBox->verticalScrollBar()->installEventFilter(this);

  Panel2 = MakePanel(this, "Panel2", 47);
  OkBtn = MakePlainButton(Panel2, "OkBtn", tr("OK"), QRect(12, 10, 54, 25));
  OkBtn->setEnabled(false);
  connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
  ClearBtn = MakePlainButton(Panel2, "ClearBtn", tr("Clear"), QRect(83, 10, 54, 25));
  connect(ClearBtn, &QPushButton::clicked, this, [this] { ClearBtnClick(); });
  ResetBtn = MakePlainButton(Panel2, "ResetBtn", tr("Reset"), QRect(151, 10, 54, 25));
  connect(ResetBtn, &QPushButton::clicked, this, [this] { ResetBtnClick(); });
  CancelBtn = MakePlainButton(Panel2, "CancelBtn", tr("Cancel"), QRect(225, 10, 54, 25));
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(Panel1);
  layout->addWidget(ScrBox, 1);
  layout->addWidget(Panel2);

  ScreenPosAdjustor1 = new TScreenPosAdjustor(this);
  ScreenPosAdjustor1->SetInterval(1000);

  LoadFormSettings();
  TTagOwner::SetTagOf(AOwner, this);
}

TChrDatForm::~TChrDatForm() {
  TTagOwner::SetTagOf(parentWidget(), nullptr);
  try {
    SaveFormSettings();
  } catch (const std::exception& error) {
    ReportSettingsError(error);
  }
}

void TChrDatForm::Setup(const TRaidNames& ARaidNames, const TCharaNames& ACharaNames, int ACharaIdx,
                        TCharaData& ACharaData) {
  FCharaData = &ACharaData;
  FCharaNames = ACharaNames;
  FCharaIdx = ACharaIdx;
  const QString name = QString::fromStdU16String(ACharaData.Name());
  // A longer name from the data file is shown whole rather than cut.
  NameEd->setMaxLength(static_cast<int>(
      std::clamp<qsizetype>(name.size(), kCharaNameMaxLength, std::numeric_limits<int>::max())));
  NameEd->setText(name);

  int maxNameWidth = -1;
  const QFontMetrics metrics(font());
  for (const String& raidName : ARaidNames)
    maxNameWidth = std::max(maxNameWidth, metrics.horizontalAdvance(QString::fromStdU16String(raidName)));

  // The roster keeps one timer per raid; should they ever disagree, show only the pairs that exist.
  const int rowCount = std::min<int>(ACharaData.RaidCount(), static_cast<int>(ARaidNames.size()));
  FRaidFrames.clear();
  int y = 0;
  for (int i = 0; i < rowCount; ++i) {
    const TRaidTimerData* timer = ACharaData.GetRaidTimerDatas(i);
    const TRDFDatas datas{ARaidNames[i], maxNameWidth, timer->ActivateTime(), timer->Count()};
    auto* row = new TRaidDataFrame(RaidPanel, datas);
    row->move(0, y);
    row->SetOnTimerChanged([this](QObject*) { CheckInputs(); });
    row->SetOnCountChanged([this](QObject*) { CheckInputs(); });
    row->setObjectName(QStringLiteral("RDF%1").arg(i));
    FRaidFrames.push_back(row);
    RaidPanel->resize(row->width(), row->y() + row->height());
    y = RaidPanel->height();
  }

  const int scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrBox);
  const int clientWidth = scrollBarWidth + RaidPanel->width() + 2 * ScrBox->frameWidth();
  setFixedWidth(clientWidth);

  const auto lefts = SpreadButtons(clientWidth, OkBtn->width());
  QPushButton* buttons[] = {OkBtn, ClearBtn, ResetBtn, CancelBtn};
  for (int i = 0; i < 4; ++i) buttons[i]->move(lefts[i], buttons[i]->y());

  CheckInputs();
}

bool TChrDatForm::ShowEditDlg() {
  return exec() == Accepted && ApplyCharaData();
}

void TChrDatForm::CheckInputs() {
  bool ok = std::all_of(FRaidFrames.begin(), FRaidFrames.end(),
                        [](const TRaidDataFrame* row) { return row->CheckCorrectness(); });
  const String name = NameEd->text().toStdU16String();
  if (ok) ok = !Trim(name).empty();  // a name of spaces reads back as no character
  bool duplicate = false;
  for (int j = 0; ok && j < static_cast<int>(FCharaNames.size()); ++j) {
    if (j != FCharaIdx && SameTextAscii(FCharaNames[j], name)) {
      ok = false;
      duplicate = true;
    }
  }
  OkBtn->setEnabled(ok);
  SameNameLb->setText(duplicate ? tr("同名キャラ有り") : QString());
}

bool TChrDatForm::ApplyCharaData() {
  bool changed = false;
  const String name = NameEd->text().toStdU16String();
  if (name != FCharaData->Name()) {
    FCharaData->SetName(name);
    changed = true;
  }
  for (size_t i = 0; i < FRaidFrames.size(); ++i) {
    TRaidTimerData* timer = FCharaData->GetRaidTimerDatas(static_cast<int>(i));
    const TDateTime activateTime = FRaidFrames[i]->GetActiveDateTime();
    const uint32_t count = FRaidFrames[i]->GetCount();
    // Exact comparison: a moment reproduced only to the millisecond is a change.
    if (activateTime != timer->ActivateTime() || count != timer->Count()) {
      timer->SetActivateTime(activateTime);
      timer->SetCount(count);
      changed = true;
    }
  }
  return changed;
}

void TChrDatForm::LoadFormSettings() {
  int height = kDefaultEditorHeight;
  try {
    height = LoadEditorHeight();
  } catch (const std::exception&) {
    // An unreadable settings file only costs the remembered height; saving reports the problem.
  }
  // Like any window, never taller than the screen, so that the buttons stay reachable.
  const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (screen) height = std::min(height, screen->availableGeometry().height());
  // The stored height is the outer one; the frame is known only once the editor has appeared.
  FOuterHeight = height;
  ApplyWithFrame(*this, [this, height] {
    const QMargins frame = WindowFrame(*this);
    resize(width(), height - frame.top() - frame.bottom());
  });
}

void TChrDatForm::SaveFormSettings() {
  if (isVisible()) FOuterHeight = OuterGeometry(*this).height();
  StoreEditorHeight(FOuterHeight);
}

void TChrDatForm::ReportSettingsError(const std::exception& AError) {
  QMessageBox::warning(parentWidget(), QStringLiteral("Kestrum"),
                       tr("エディターの高さを設定ファイルに保存できませんでした。\n") + ErrorText(AError));
}

void TChrDatForm::ClearBtnClick() {
  for (TRaidDataFrame* row : FRaidFrames) row->Clear();
}

void TChrDatForm::ResetBtnClick() {
  for (TRaidDataFrame* row : FRaidFrames) row->Reset();
}

int TChrDatForm::LineIncrement() const {
  const int pageIncrement = ScrBox->viewport()->height() * 9 / 10;
  return pageIncrement / 10;
}

void TChrDatForm::FormMouseWheel(QWheelEvent* AEvent) {
  FWheelDelta += AEvent->angleDelta().y();
  const int notches = FWheelDelta / QWheelEvent::DefaultDeltasPerStep;
  FWheelDelta %= QWheelEvent::DefaultDeltasPerStep;
  QScrollBar* bar = ScrBox->verticalScrollBar();
  bar->setValue(bar->value() - notches * LineIncrement());
}

void TChrDatForm::wheelEvent(QWheelEvent* AEvent) {
  FormMouseWheel(AEvent);
}

bool TChrDatForm::eventFilter(QObject* AWatched, QEvent* AEvent) {
  // Only the editor's own step may scroll; the scroll area would add its own on top.
  if (AEvent->type() == QEvent::Wheel) {
    FormMouseWheel(static_cast<QWheelEvent*>(AEvent));
    return true;
  }
  return QDialog::eventFilter(AWatched, AEvent);
}

void TChrDatForm::done(int AResult) {
  FOuterHeight = OuterGeometry(*this).height();
  QDialog::done(AResult);
}

void TChrDatForm::keyPressEvent(QKeyEvent* AEvent) {
  if (IsDialogKey(*AEvent))
    AEvent->ignore();
  else
    QDialog::keyPressEvent(AEvent);
}

bool ShowChrDatDlg(QWidget* AOwner, const TRaidNames& ARaidNames, const TCharaNames& ACharaNames,
                   int ACharaIdx, TCharaData& ACharaData) {
  TChrDatForm form(AOwner);
  form.Setup(ARaidNames, ACharaNames, ACharaIdx, ACharaData);
  return form.ShowEditDlg();
}

}  // namespace kestrum
