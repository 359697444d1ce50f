#include "ui/confirmresetf.h"

#include <algorithm>
#include <utility>

#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include "ui/DialogParts.h"

namespace kestrum {

namespace {

QLabel* AddLabel(QWidget* AParent, const char* AName, const QString& AText, int ALeft, int ATop) {
  auto* label = new QLabel(AText, AParent);
  label->setObjectName(QLatin1String(AName));
  label->move(ALeft, ATop);
  label->adjustSize();
  return label;
}

// A bold label for a name; ArrangeNames places it.
QLabel* AddNameLabel(QWidget* AParent, const char* AName) {
  QLabel* label = AddLabel(AParent, AName, QString(), 0, 0);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

QPushButton* AddButton(QWidget* AParent, const char* AName, const QString& AText, int ALeft, int ATop) {
  auto* button = new QPushButton(AText, AParent);
  button->setObjectName(QLatin1String(AName));
  button->setGeometry(ALeft, ATop, 75, 25);
  return button;
}

}  // namespace

TConfirmResetForm::TConfirmResetForm(QWidget* AOwner)
    : QDialog(AOwner,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  PrepareDialog(*this, "ConfirmResetForm", tr("Confirm Resetting Raid Timer"));
  setFixedSize(362, 98);

  MakeBevel(this, "Bevel1", QRect(4, 4, 353, 49));

  Label1 = AddLabel(this, "Label1", tr("Char Name"), 16, 12);
  CharNameLB = AddNameLabel(this, "CharNameLB");
  Label2 = AddLabel(this, "Label2", tr("Raid Name"), 16, 31);
  RaidNameLB = AddNameLabel(this, "RaidNameLB");
  ArrangeNames();

  Button1 = AddButton(this, "Button1", tr("Reset"), 68, 65);
  Button2 = AddButton(this, "Button2", tr("Cancel"), 224, 65);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  // Enter right after opening cancels.
  Button2->setDefault(true);
  Button2->setFocus();
}

void TConfirmResetForm::ArrangeNames() {
  // The names start after the wider caption, however wide the font draws it, and keep their right
  // edge, cutting off what does not fit.
  constexpr int kDesignedLeft = 80;
  constexpr int kRight = kDesignedLeft + 269;
  constexpr int kGap = 6;
  Label1->adjustSize();
  Label2->adjustSize();
  const int captionsEnd = std::max(Label1->x() + Label1->width(), Label2->x() + Label2->width());
  const int left = std::max(kDesignedLeft, captionsEnd + kGap);
  const std::pair<const QLabel*, QLabel*> rows[] = {{Label1, CharNameLB}, {Label2, RaidNameLB}};
  for (const auto& [caption, name] : rows)
    name->setGeometry(left, caption->y(), std::max(0, kRight - left), name->fontMetrics().height());
}

void TConfirmResetForm::changeEvent(QEvent* AEvent) {
  QDialog::changeEvent(AEvent);
  // The constructor sets the font before the labels exist.
  if (AEvent->type() == QEvent::FontChange && RaidNameLB) ArrangeNames();
}

bool TConfirmResetForm::Confirm(const String& ACharName, const String& ARaidName) {
  CharNameLB->setText(QString::fromStdU16String(ACharName));
  RaidNameLB->setText(QString::fromStdU16String(ARaidName));
  return exec() == QDialog::Accepted;
}

bool ConfirmResetTimer(QWidget* AOwner, const String& ACharName, const String& ARaidName) {
  TConfirmResetForm dialog(AOwner);
  return dialog.Confirm(ACharName, ARaidName);
}

}  // namespace kestrum
