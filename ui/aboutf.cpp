#include "ui/aboutf.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "KestrumVersion.h"
#include "ui/DialogParts.h"
#include "ui/TagOwner.h"

namespace kestrum {

namespace {

QLabel* AddCentredLabel(QWidget* AParent, const char* AName, const QString& AText, int ATop) {
  auto* label = new QLabel(AText, AParent);
  label->setObjectName(QLatin1String(AName));
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setGeometry(12, ATop, 265, label->sizeHint().height());
  return label;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* AOwner)
    : QDialog(AOwner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  PrepareDialog(*this, "AboutForm", tr("About Kestrum"));

  const QFrame* bevel = MakeBevel(this, "Bevel1", QRect(4, 4, 278, 81));

  Label1 = AddCentredLabel(this, "Label1", tr("Kestrum for DDO"), 16);
  AddCentredLabel(this, "Label2", QStringLiteral("ver ") + QString::fromLatin1(kKestrumVersion), 35);
  AddCentredLabel(this, "Label3", QStringLiteral("Copyright (C) 2010-2026 Brasswick"), 60);

  auto* button = new QPushButton(tr("&Ok"), this);
  button->setObjectName(QStringLiteral("Button1"));
  button->setGeometry(104, 96, 75, 25);
  button->setDefault(true);
  connect(button, &QPushButton::clicked, this, &QDialog::accept);

  // Sized to its contents: 4 pixels of margin left, top and right, 8 at the bottom.
  setFixedSize(bevel->geometry().right() + 1 + 4, button->geometry().bottom() + 1 + 8);
}

void ShowAboutDialog(QWidget* AOwner) {
  TAboutForm dialog(AOwner);
  dialog.Label1->setText(dialog.Label1->text() + TAboutForm::tr(" (64bit ver.)"));
  TTagOwner::SetTagOf(AOwner, &dialog);
  struct TClearTag {
    QWidget* Owner;
    ~TClearTag() { TTagOwner::SetTagOf(Owner, nullptr); }
  } clearTag{AOwner};
  dialog.exec();
}

}  // namespace kestrum
