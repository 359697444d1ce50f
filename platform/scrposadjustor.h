#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <thread>

#include <QEvent>
#include <QObject>

#include "platform/InitCritSecForVistaAndLater.h"
#include "platform/formutils.h"

class QWidget;

namespace kestrum {

// Posts a tick event to AWnd at once and then every Interval milliseconds (1000 when 0) from its
// own thread. Termination wakes the thread at once rather than after the current interval.
class TSimpleTimer final {
 public:
  TSimpleTimer(QObject* AWnd, uint32_t AInterval);
  ~TSimpleTimer();  // requests termination and joins
  TSimpleTimer(const TSimpleTimer&) = delete;
  TSimpleTimer& operator=(const TSimpleTimer&) = delete;

  uint32_t Interval() const;
  // Applies from the next sleep on.
  void SetInterval(uint32_t AInterval);
  void Terminate();

  // The type of the posted tick event.
  static QEvent::Type TickEventType();

 private:
  void Execute();

  mutable TCriticalSection cs;
  std::condition_variable FWake;
  uint32_t FInterval;  // under cs
  QObject* FWinHandle;
  std::atomic<bool> FTerminated{false};
  std::thread FThread;
};

// Keeps its owner window inside the usable screen area: once per interval it pulls a window that
// sticks out back inside. It never resizes, and leaves the window alone while the left mouse
// button is down so that it does not fight a drag or a resize.
class TScreenPosAdjustor final : public QObject {
  Q_OBJECT

 public:
  explicit TScreenPosAdjustor(QWidget* AOwner);  // a child of AOwner
  ~TScreenPosAdjustor() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool AValue) { FEnabled = AValue; }
  uint32_t Interval() const { return FInterval; }
  void SetInterval(uint32_t AValue);
  // The windows keep the defaults below (work area, every monitor, all four edges); the switches
  // serve a window that wants the taskbar covered, one monitor only or some edges left free.
  bool TaskBar() const { return FTaskBar; }
  void SetTaskBar(bool AValue) { FTaskBar = AValue; }
  bool MultiMonitor() const { return FMultiMonitor; }
  void SetMultiMonitor(bool AValue) { FMultiMonitor = AValue; }
  TAdjustPosTypes AdjustPosTypes() const { return FAdjusts; }
  void SetAdjustPosTypes(TAdjustPosTypes AValue) { FAdjusts = AValue; }

  // One placement step; runs on every tick.
  void AdjustPos();

 protected:
  bool event(QEvent* AEvent) override;

 private:
  std::unique_ptr<TSimpleTimer> FThread;
  uint32_t FInterval = 1000;
  bool FTaskBar = true;
  bool FMultiMonitor = true;
  bool FEnabled = true;
  TAdjustPosTypes FAdjusts;
};

}  // namespace kestrum
