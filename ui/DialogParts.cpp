#include "ui/DialogParts.h"

#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>

namespace kestrum {

QPushButton* MakePlainButton(QWidget* AParent, const char* AName, const QString& ACaption,
                             const QRect& AGeometry) {
  auto* button = new QPushButton(ACaption, AParent);
  button->setObjectName(QString::fromLatin1(AName));
  button->setGeometry(AGeometry);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

QFrame* MakeBevel(QWidget* AParent, const char* AName, const QRect& AGeometry) {
  auto* bevel = new QFrame(AParent);
  bevel->setObjectName(QString::fromLatin1(AName));
  bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
  bevel->setGeometry(AGeometry);
  return bevel;
}

bool IsDialogKey(const QKeyEvent& AEvent) {
  return AEvent.matches(QKeySequence::Cancel) || AEvent.key() == Qt::Key_Enter ||
         AEvent.key() == Qt::Key_Return;
}

}  // namespace kestrum
