#include "base/LocaleFormats.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// The Windows tests run in a Japanese locale (cmake/KestrumWineTest.cmake).
TEST(LocaleFormatsWin32, DatesFollowTheUsersRegionalPictures) {
  wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
  GetUserDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH);
  if (std::wstring(locale) != L"ja-JP") GTEST_SKIP() << "needs the ja-JP locale";

  const TFormatSettings settings = FormatSettingsFromLocale();
  EXPECT_EQ(ToUtf8(settings.ShortDateFormat), "yyyy/m/d");
  EXPECT_EQ(ToUtf8(settings.LongTimeFormat), "h:nn:ss");
  EXPECT_EQ(settings.DateSeparator, u'/');
  EXPECT_EQ(settings.TimeSeparator, u':');
  EXPECT_EQ(ToUtf8(DateTimeToStr(EncodeDate(2026, 3, 4) + EncodeTime(5, 6, 7, 0), settings)),
            "2026/3/4 5:06:07");
}

}  // namespace
}  // namespace kestrum
