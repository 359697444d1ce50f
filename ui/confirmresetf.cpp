#include "ui/confirmresetf.h"

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

// A label of fixed width that cuts off what does not fit.
QLabel* AddNameLabel(QWidget* AParent, const char* AName, int ALeft, int ATop) {
  QLabel* label = AddLabel(AParent, AName, QString(), ALeft, ATop);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  label->setGeometry(ALeft, ATop, 269, label->fontMetrics().height());
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
  setObjectName(QStringLiteral("ConfirmResetForm"));
  setWindowTitle(QStringLiteral("Confirm Resetting Raid Timer"));
  KeepUnminimised(*this);
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  setFixedSize(362, 98);

  MakeBevel(this, "Bevel1", QRect(4, 4, 353, 49));

  AddLabel(this, "Label1", QStringLiteral("Char Name"), 16, 12);
  CharNameLB = AddNameLabel(this, "CharNameLB", 80, 12);
  AddLabel(this, "Label2", QStringLiteral("Raid Name"), 16, 31);
  RaidNameLB = AddNameLabel(this, "RaidNameLB", 80, 31);

  Button1 = AddButton(this, "Button1", QStringLiteral("Reset"), 68, 65);
  Button2 = AddButton(this, "Button2", QStringLiteral("Cancel"), 224, 65);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
  // Enter right after opening cancels.
  Button2->setDefault(true);
  Button2->setFocus();
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
