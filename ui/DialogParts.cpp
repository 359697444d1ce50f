#include "ui/DialogParts.h"

#include <QDialog>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include "ui/DefaultFont.h"

namespace kestrum {

namespace {

void Unminimise(QWidget& AWindow) {
  if (!AWindow.isMinimized()) return;
  AWindow.setWindowState(AWindow.windowState() & ~Qt::WindowMinimized);
  AWindow.show();
}

// Undoes a minimising of its dialog as soon as the state change has been handled.
class TMinimiseGuard final : public QObject {
 public:
  explicit TMinimiseGuard(QDialog& ADialog) : QObject(&ADialog), FDialog(ADialog) {
    ADialog.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override {
    if (AWatched == &FDialog && AEvent->type() == QEvent::WindowStateChange && FDialog.isMinimized())
      QTimer::singleShot(0, this, [this] { Restore(); });
    return false;
  }

 private:
  void Restore() {
    if (QWidget* owner = FDialog.parentWidget()) Unminimise(*owner->window());
    Unminimise(FDialog);
    FDialog.raise();
    FDialog.activateWindow();
  }

  QDialog& FDialog;
};

}  // namespace

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

void PrepareDialog(QDialog& ADialog, const char* AName, const QString& ATitle) {
  ADialog.setObjectName(QString::fromLatin1(AName));
  ADialog.setWindowTitle(ATitle);
  new TMinimiseGuard(ADialog);
  ADialog.setFont(DefaultFont());
}

int WidthShowingTitle(const QString& ATitle) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  font.setBold(true);  // most themes draw the active title bold
  const QFontMetrics metrics(font);
  const int buttonSize = metrics.height() + 8;
  return metrics.horizontalAdvance(ATitle) + 4 * buttonSize + 16;
}

}  // namespace kestrum
