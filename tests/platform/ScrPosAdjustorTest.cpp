#include "platform/scrposadjustor.h"

#include <chrono>
#include <functional>
#include <memory>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include "tests/support/TimeScale.h"

namespace kestrum {
namespace {

using Clock = std::chrono::steady_clock;
using test::Scaled;
using test::ScaledMs;

// Runs the event loop until APred holds or ATimeoutMs has passed; the last answer of APred.
bool ProcessEventsUntil(const std::function<bool()>& APred, int ATimeoutMs = ScaledMs(5000)) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(ATimeoutMs);
  while (!APred() && Clock::now() < deadline) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return APred();
}

// Counts the ticks delivered to the object it watches.
class TickCounter final : public QObject {
 public:
  int Ticks = 0;

 protected:
  bool eventFilter(QObject*, QEvent* AEvent) override {
    if (AEvent->type() == TSimpleTimer::TickEventType()) ++Ticks;
    return false;
  }
};

QRect Available() {
  return QGuiApplication::primaryScreen()->availableGeometry();
}

// A shown top-level window of 200x100 whose right part sticks out of the screen by 100 px.
std::unique_ptr<QWidget> ShowWindowStickingOut() {
  auto form = std::make_unique<QWidget>();
  form->resize(200, 100);
  form->move(Available().right() - 100, Available().top() + 10);
  form->show();
  QCoreApplication::processEvents();
  return form;
}

TEST(ScrPosAdjustorTest, MovesWindowBackInsideWithoutResizing) {
  for (const bool multiMonitor : {true, false}) {
    const auto form = ShowWindowStickingOut();
    const QSize size = form->frameGeometry().size();
    auto* adjustor = new TScreenPosAdjustor(form.get());
    adjustor->SetMultiMonitor(multiMonitor);

    const int expectedLeft = Available().right() - size.width();
    EXPECT_TRUE(ProcessEventsUntil([&] { return form->frameGeometry().left() == expectedLeft; }))
        << "multiMonitor " << multiMonitor << ": left " << form->frameGeometry().left();
    EXPECT_EQ(form->frameGeometry().top(), Available().top() + 10);
    EXPECT_EQ(form->frameGeometry().size(), size);
  }
}

TEST(ScrPosAdjustorTest, DisabledAdjustorLeavesWindowUntilEnabled) {
  const auto form = ShowWindowStickingOut();
  const QPoint outside = form->pos();
  auto* adjustor = new TScreenPosAdjustor(form.get());
  adjustor->SetEnabled(false);
  adjustor->SetInterval(50);
  TickCounter counter;
  adjustor->installEventFilter(&counter);

  ASSERT_TRUE(ProcessEventsUntil([&] { return counter.Ticks >= 3; }));
  EXPECT_EQ(form->pos(), outside);

  adjustor->SetEnabled(true);
  EXPECT_TRUE(ProcessEventsUntil([&] { return form->pos() != outside; }));
  EXPECT_TRUE(Available().contains(form->frameGeometry()));
}

TEST(ScrPosAdjustorTest, ChildWidgetIsNeverMoved) {
  QWidget window;
  window.resize(300, 200);
  auto* child = new QWidget(&window);
  child->setGeometry(5000, 5000, 50, 50);
  window.show();
  auto* adjustor = new TScreenPosAdjustor(child);
  adjustor->SetInterval(50);
  TickCounter counter;
  adjustor->installEventFilter(&counter);

  ASSERT_TRUE(ProcessEventsUntil([&] { return counter.Ticks >= 3; }));
  EXPECT_EQ(child->pos(), QPoint(5000, 5000));
}

TEST(ScrPosAdjustorTest, TimerTicksAtOnceAndStopsWithoutWaitingForTheInterval) {
  QObject receiver;
  TickCounter counter;
  receiver.installEventFilter(&counter);
  auto timer = std::make_unique<TSimpleTimer>(&receiver, 60000);

  EXPECT_TRUE(ProcessEventsUntil([&] { return counter.Ticks == 1; }));
  const auto start = Clock::now();
  timer.reset();
  EXPECT_LT(Clock::now() - start, Scaled(std::chrono::seconds(2)));  // not the 60 s interval
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.Ticks, 1);
}

}  // namespace
}  // namespace kestrum
