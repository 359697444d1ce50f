#include "platform/scrposadjustor.h"

#include <chrono>
#include <exception>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QtGlobal>

namespace kestrum {

namespace {

constexpr uint32_t kDefaultIntervalMs = 1000;

}  // namespace

TSimpleTimer::TSimpleTimer(QObject* AWnd, uint32_t AInterval)
    : FInterval(AInterval), FWinHandle(AWnd), FThread(&TSimpleTimer::Execute, this) {}

TSimpleTimer::~TSimpleTimer() {
  Terminate();
  FThread.join();
}

QEvent::Type TSimpleTimer::TickEventType() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

uint32_t TSimpleTimer::Interval() const {
  std::lock_guard lock(cs);
  return FInterval;
}

void TSimpleTimer::SetInterval(uint32_t AInterval) {
  std::lock_guard lock(cs);
  FInterval = AInterval;
}

void TSimpleTimer::Terminate() {
  {
    // Set under the lock, so that the thread cannot miss the wake-up between its test and its wait.
    std::lock_guard lock(cs);
    FTerminated = true;
  }
  FWake.notify_all();
}

void TSimpleTimer::Execute() {
  std::unique_lock lock(cs);
  while (!FTerminated) {
    lock.unlock();
    QCoreApplication::postEvent(FWinHandle, new QEvent(TickEventType()));
    lock.lock();
    const std::chrono::milliseconds interval(FInterval == 0 ? kDefaultIntervalMs : FInterval);
    FWake.wait_for(lock, interval, [this] { return FTerminated.load(); });
  }
}

TScreenPosAdjustor::TScreenPosAdjustor(QWidget* AOwner) : QObject(AOwner) {
  FThread = std::make_unique<TSimpleTimer>(this, FInterval);
}

TScreenPosAdjustor::~TScreenPosAdjustor() {
  FEnabled = false;
  // Stopped before QObject's destructor, which then discards the ticks still queued for us.
  FThread.reset();
}

void TScreenPosAdjustor::SetInterval(uint32_t AValue) {
  if (AValue == FInterval) return;
  FThread->SetInterval(AValue);
  FInterval = AValue;
}

void TScreenPosAdjustor::AdjustPos() {
  auto* owner = qobject_cast<QWidget*>(parent());
  if (!FEnabled || owner == nullptr || !owner->isWindow()) return;
  // A held left button means a drag or resize in progress: do not fight it.
  if (QGuiApplication::mouseButtons().testFlag(Qt::LeftButton)) return;
  if (FMultiMonitor) {
    AdjustFormPosToMonitor(owner, FTaskBar, FAdjusts);
  } else {
    AdjustFormPosToScreen(owner, FTaskBar, FAdjusts);
  }
}

bool TScreenPosAdjustor::event(QEvent* AEvent) {
  if (AEvent->type() != TSimpleTimer::TickEventType()) return QObject::event(AEvent);
  // A failed step is reported and the next tick tries again; a message box once a second would
  // leave the user no way out.
  try {
    AdjustPos();
  } catch (const std::exception& e) {
    qWarning("Kestrum: adjusting the window position failed: %s", e.what());
  }
  return true;
}

}  // namespace kestrum
