#include "ui/OuterGeometry.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace kestrum {

namespace {

constexpr int kFrameWatchStepMs = 20;
constexpr int kFrameWatchSteps = 250;  // five seconds
const char kFrameWatchName[] = "FrameWatch";

// Asks the window system when the window is shown and then each step, because no event tells
// when the frame becomes known; stops when it is known or after the last step, and deletes itself.
class TFrameWatch final : public QTimer {
 public:
  TFrameWatch(QWidget& AWindow, std::function<void()> AApply)
      : QTimer(&AWindow), FWindow(AWindow), FApply(std::move(AApply)) {
    setObjectName(QLatin1String(kFrameWatchName));
    setInterval(kFrameWatchStepMs);
    connect(this, &QTimer::timeout, this, [this] { Step(FWindow); });
    AWindow.installEventFilter(this);
    start();
  }

 protected:
  bool eventFilter(QObject* AWatched, QEvent* AEvent) override {
    if (AWatched == &FWindow && AEvent->type() == QEvent::Show && isActive()) Step(FWindow);
    return false;
  }

 private:
  void Step(const QWidget& AWindow) {
    const bool known = !WindowFrame(AWindow).isNull();
    if (known) FApply();
    if (known || ++FSteps >= kFrameWatchSteps) {
      stop();
      deleteLater();
    }
  }

  QWidget& FWindow;
  std::function<void()> FApply;
  int FSteps = 0;
};

}  // namespace

QMargins WindowFrame(const QWidget& AWindow) {
  // The window's own report: the widget's copy is refreshed only when the window moves or resizes.
  const QWindow* window = AWindow.windowHandle();
  return window ? window->frameMargins() : QMargins();
}

QRect OuterGeometry(const QWidget& AWindow) {
  return AWindow.geometry().marginsAdded(WindowFrame(AWindow));
}

void SetOuterGeometry(QWidget& AWindow, const QRect& AOuter) {
  AWindow.setGeometry(AOuter.marginsRemoved(WindowFrame(AWindow)));
}

void ApplyWithFrame(QWidget& AWindow, const std::function<void()>& AApply) {
  delete AWindow.findChild<TFrameWatch*>(QLatin1String(kFrameWatchName), Qt::FindDirectChildrenOnly);
  AApply();
  if (WindowFrame(AWindow).isNull()) new TFrameWatch(AWindow, AApply);
}

}  // namespace kestrum
