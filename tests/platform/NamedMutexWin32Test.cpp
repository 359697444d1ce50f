#include "platform/NamedMutex.h"

#include <windows.h>

#include <memory>

#include <gtest/gtest.h>

#include "platform/notifyBTF.h"
#include "tests/platform/Probe.h"

namespace kestrum {
namespace {

// Named objects are shared by the whole session: every test takes names of its own.
String UniqueName(const char16_t* AWhat) {
  return String(AWhat) + u"_" + FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

int MutexInOtherProcess(const String& AName) {
  return test::RunProbe(KESTRUM_MUTEX_PROBE, {ToUtf8(AName)});
}

TEST(NamedMutexWin32Test, OtherProcessSeesTheMutexTakenUntilItIsGivenUp) {
  const String name = UniqueName(u"Kestrum2010");
  auto first = std::make_unique<TNamedMutex>(String(), name);
  ASSERT_EQ(first->LastError(), kMutexCreated);
  EXPECT_EQ(MutexInOtherProcess(name), kMutexAlreadyExists);
  EXPECT_EQ(TNamedMutex(String(), name).LastError(), kMutexAlreadyExists);  // this process too

  first.reset();
  EXPECT_EQ(MutexInOtherProcess(name), kMutexCreated);
}

TEST(NamedMutexWin32Test, FailuresGiveTheSystemsCode) {
  // A name that another kind of object holds.
  const String eventName = UniqueName(u"Event");
  const HANDLE event =
      CreateEventW(nullptr, TRUE, FALSE, std::wstring(eventName.begin(), eventName.end()).c_str());
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(TNamedMutex(String(), eventName).LastError(), ERROR_INVALID_HANDLE);
  CloseHandle(event);
  // A namespace that does not exist.
  EXPECT_EQ(TNamedMutex(String(), u"NoSuchNamespace\\Kestrum2010").LastError(), ERROR_PATH_NOT_FOUND);
}

TEST(NamedMutexWin32Test, EventNameHeldByAMutexLeavesTheReceiverWithoutEvent) {
  const String name = UniqueName(u"Kestrum2010_Notifier");
  const TNamedMutex mutex(String(), name);
  ASSERT_EQ(mutex.LastError(), kMutexCreated);
  const auto receiver = TNotifyBringingToFront::CreateForNew(name, [] {});
  EXPECT_FALSE(receiver->WaitThread()->HasEvent());
}

}  // namespace
}  // namespace kestrum
