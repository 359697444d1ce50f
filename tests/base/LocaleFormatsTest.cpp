#include "base/LocaleFormats.h"

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

// What GetLocaleInfoEx gives on Windows (and Wine) for a few locales, and pictures with the parts
// we leave out or quote.
TEST(LocaleFormats, WindowsPicturesBecomePatterns) {
  struct Case {
    const char* name;
    String shortDate, longTime;
    char16_t dateSeparator, timeSeparator;
    TFormatSettings expected;
  };
  const Case cases[] = {
      {"ja-JP", u"yyyy/MM/dd", u"H:mm:ss", u'/', u':', {u"yyyy/mm/dd", u"h:nn:ss", u'/', u':'}},
      {"ja-JP under Wine", u"yyyy/M/d", u"H:mm:ss", u'/', u':', {u"yyyy/m/d", u"h:nn:ss", u'/', u':'}},
      {"en-US", u"M/d/yyyy", u"h:mm:ss tt", u'/', u':', {u"m/d/yyyy", u"h:nn:ss AM/PM", u'/', u':'}},
      {"de-DE", u"dd.MM.yyyy", u"HH:mm:ss", u'.', u':', {u"dd/mm/yyyy", u"hh:nn:ss", u'.', u':'}},
      {"fi-FI", u"d.M.yyyy", u"H.mm.ss", u'.', u'.', {u"d/m/yyyy", u"h:nn:ss", u'.', u'.'}},
      {"week day, era, short year",
       u"ddd gg yy-MM-dd",
       u"hh:mm tt",
       u'/',
       u':',
       {u"yyyy/mm/dd", u"hh:nn AM/PM", u'-', u':'}},
      {"quoted words",
       u"yyyy'年'M'月'd'日'",
       u"H'h'mm",
       u'/',
       u':',
       {u"yyyy年m月d日", u"h\"h\"nn", u'/', u':'}},
      {"12-hour clock without marker",
       u"yyyy-MM-dd",
       u"h:mm",
       u'-',
       u':',
       {u"yyyy/mm/dd", u"h:nn AM/PM", u'-', u':'}},
      {"no fields", u"", u"", u'/', u':', {u"yyyy/mm/dd", u"hh:nn:ss", u'/', u':'}},
  };
  const TDateTime evening = EncodeDate(2024, 12, 31) + EncodeTime(19, 8, 9, 0);
  for (const Case& c : cases) {
    const TFormatSettings settings =
        FormatSettingsFromPictures(c.shortDate, c.longTime, c.dateSeparator, c.timeSeparator);
    EXPECT_EQ(ToUtf8(settings.ShortDateFormat), ToUtf8(c.expected.ShortDateFormat)) << c.name;
    EXPECT_EQ(ToUtf8(settings.LongTimeFormat), ToUtf8(c.expected.LongTimeFormat)) << c.name;
    EXPECT_EQ(settings.DateSeparator, c.expected.DateSeparator) << c.name;
    EXPECT_EQ(settings.TimeSeparator, c.expected.TimeSeparator) << c.name;
    TDateTime back = -1;
    EXPECT_TRUE(TryStrToDateTime(DateTimeToStr(evening, settings), back, settings)) << c.name;
    EXPECT_NEAR(back, evening, 60.0 / 86400) << c.name;
  }
}

}  // namespace
}  // namespace kestrum
