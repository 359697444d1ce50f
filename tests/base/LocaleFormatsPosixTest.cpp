#include "base/LocaleFormats.h"

#include <clocale>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(LocaleFormats, ReadsTheCurrentLocale) {
  ASSERT_NE(std::setlocale(LC_TIME, "C"), nullptr);
  const TFormatSettings settings = FormatSettingsFromLocale();
  EXPECT_EQ(settings.ShortDateFormat, u"mm/dd/yyyy");
  EXPECT_EQ(settings.LongTimeFormat, u"hh:nn:ss");
}

}  // namespace
}  // namespace kestrum
