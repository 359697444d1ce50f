#include "platform/notifyBTF.h"

#include <chrono>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include "tests/platform/PostCounter.h"
#include "tests/platform/Probe.h"
#include "tests/support/TempHome.h"

namespace kestrum {
namespace {

using test::PostCounter;
using test::RunNotifyProbe;

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class NotifyBTFHandOverTest : public test::TempHomeTest {
 protected:
  // Windows' event names are shared by the whole session: tests that run side by side need
  // names of their own.
  static String EventName() {
    return u"Kestrum2010_Notifier_" +
           FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
};

TEST_F(NotifyBTFHandOverTest, SignalFromAnotherProcessPostsOnce) {
  PostCounter posts;
  const auto receiver = TNotifyBringingToFront::CreateForNew(EventName(), posts.Func());
  ASSERT_TRUE(receiver->WaitThread()->HasEvent());

  EXPECT_EQ(RunNotifyProbe(EventName()), 0);
  EXPECT_TRUE(posts.WaitForCount(1));
  std::this_thread::sleep_for(test::Scaled(300ms));
  EXPECT_EQ(posts.Count(), 1);
}

TEST_F(NotifyBTFHandOverTest, SignalsArrivingWhileBusyPostOnce) {
  PostCounter posts(/*AHoldFirstPost=*/true);
  const auto receiver = TNotifyBringingToFront::CreateForNew(EventName(), posts.Func());
  ASSERT_EQ(RunNotifyProbe(EventName()), 0);
  ASSERT_TRUE(posts.WaitForCount(1));  // the wait thread is now held inside its first post

  for (int i = 0; i < 4; ++i) EXPECT_EQ(RunNotifyProbe(EventName()), 0) << "probe " << i;
  posts.Release();

  EXPECT_TRUE(posts.WaitForCount(2));
  std::this_thread::sleep_for(test::Scaled(300ms));
  EXPECT_EQ(posts.Count(), 2);  // the four waiting signals made one message
}

TEST_F(NotifyBTFHandOverTest, NotifyWithoutReceiverGivesUpAfterTimeOut) {
  const auto notifier = TNotifyBringingToFront::CreateForNotify(EventName());
  EXPECT_EQ(notifier->WaitThread(), nullptr);
  const auto start = Clock::now();
  EXPECT_FALSE(notifier->Notify(test::ScaledMs(2000)));
  EXPECT_GE(Clock::now() - start, test::Scaled(1500ms));  // it kept retrying for about the time-out
}

TEST_F(NotifyBTFHandOverTest, NotifyWaitsForAReceiverThatStartsLate) {
  const auto notifier = TNotifyBringingToFront::CreateForNotify(EventName());
  PostCounter posts;
  std::unique_ptr<TNotifyBringingToFront> receiver;
  std::thread starter([&] {
    std::this_thread::sleep_for(test::Scaled(300ms));
    receiver = TNotifyBringingToFront::CreateForNew(EventName(), posts.Func());
  });
  EXPECT_TRUE(notifier->Notify(test::ScaledMs(5000)));
  starter.join();
  EXPECT_TRUE(posts.WaitForCount(1));
}

}  // namespace
}  // namespace kestrum
