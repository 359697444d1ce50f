#include "base/LocaleFormats.h"

#include <clocale>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

struct LocaleCase {
  const char* name;
  std::string dateFormat, timeFormat;
  String shortDate, longTime;
  char16_t dateSeparator, timeSeparator;
};

const LocaleCase kLocales[] = {
    {"C", "%m/%d/%y", "%H:%M:%S", u"mm/dd/yyyy", u"hh:nn:ss", u'/', u':'},
    {"ja_JP", "%Y年%m月%d日", "%H時%M分%S秒", u"yyyy年mm月dd日", u"hh時nn分ss秒", u'/', u':'},
    {"en_US", "%m/%d/%Y", "%r", u"mm/dd/yyyy", u"hh:nn:ss AM/PM", u'/', u':'},
    {"de_DE", "%d.%m.%Y", "%T", u"dd/mm/yyyy", u"hh:nn:ss", u'.', u':'},
    {"ISO", "%F", "%R", u"yyyy/mm/dd", u"hh:nn", u'-', u':'},
    {"composite %D", "%D", "%l:%M", u"mm/dd/yyyy", u"h:nn AM/PM", u'/', u':'},
    {"glibc flags", "%-d.%-m.%Y", "%k.%M.%S", u"d/m/yyyy", u"h:nn:ss", u'.', u'.'},
    {"letters quoted", "%Y-%m-%dT", "%Hh%M %p %Z", u"yyyy/mm/dd\"T\"", u"hh\"h\"nn AM/PM", u'-', u':'},
    {"no fields", "", "%a", u"yyyy/mm/dd", u"hh:nn:ss", u'/', u':'},
};

TEST(LocaleFormats, StrftimeFormatsBecomePatterns) {
  for (const LocaleCase& c : kLocales) {
    const TFormatSettings settings = FormatSettingsFromStrftime(c.dateFormat, c.timeFormat);
    EXPECT_EQ(settings.ShortDateFormat, c.shortDate) << c.name;
    EXPECT_EQ(settings.LongTimeFormat, c.longTime) << c.name;
    EXPECT_EQ(settings.DateSeparator, c.dateSeparator) << c.name;
    EXPECT_EQ(settings.TimeSeparator, c.timeSeparator) << c.name;
  }
}

// The stored dates must read back under every format we derive, literal-rich ones included.
TEST(LocaleFormats, DerivedFormatsRoundTripDateText) {
  const TDateTime values[] = {0, EncodeDate(2024, 3, 5), EncodeDate(2024, 12, 31) + EncodeTime(19, 8, 9, 0),
                              EncodeDate(1999, 1, 1) + EncodeTime(0, 0, 1, 0)};
  for (const LocaleCase& c : kLocales) {
    const TFormatSettings settings = FormatSettingsFromStrftime(c.dateFormat, c.timeFormat);
    const bool showsSeconds = settings.LongTimeFormat.find(u"ss") != String::npos;
    for (TDateTime value : values) {
      const String text = DateTimeToStr(value, settings);
      TDateTime back = -1;
      ASSERT_TRUE(TryStrToDateTime(text, back, settings)) << c.name << ": " << ToUtf8(text);
      EXPECT_NEAR(back, value, showsSeconds ? 1e-9 : 60.0 / 86400) << c.name << ": " << ToUtf8(text);
    }
  }
  const TFormatSettings japanese = FormatSettingsFromStrftime("%Y年%m月%d日", "%H時%M分%S秒");
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9, 0), japanese),
            u"2024年03月05日 07時08分09秒");
}

TEST(LocaleFormats, ReadsTheCurrentLocale) {
  ASSERT_NE(std::setlocale(LC_TIME, "C"), nullptr);
  const TFormatSettings settings = FormatSettingsFromLocale();
  EXPECT_EQ(settings.ShortDateFormat, u"mm/dd/yyyy");
  EXPECT_EQ(settings.LongTimeFormat, u"hh:nn:ss");
}

}  // namespace
}  // namespace kestrum
