#include "base/DateTime.h"

#include <cmath>
#include <ctime>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "tests/support/ClockAndFormats.h"

namespace kestrum {
namespace {

const TFormatSettings kJapanese{u"yyyy/mm/dd", u"h:nn:ss", u'/', u':'};
const TFormatSettings kUs{u"m/d/yyyy", u"h:nn:ss am/pm", u'/', u':'};
const TFormatSettings kGerman{u"dd.mm.yyyy", u"hh:nn:ss", u'.', u':'};
const TFormatSettings kCLocale{u"mm/dd/yyyy", u"hh:nn:ss", u'/', u':'};

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

class DateTimeTest : public testing::Test {
 protected:
  test::TClockAndFormats clockAndFormats_;
};

TEST_F(DateTimeTest, EncodeAndDecodeRoundTrip) {
  struct Case {
    int y, mo, d;
    double days;
  };
  const Case cases[] = {
      {1899, 12, 30, 0},       {1899, 12, 29, -1},   {1900, 1, 1, 2},      {1900, 3, 1, 61},
      {2000, 1, 1, 36526},     {2000, 2, 29, 36585}, {2024, 2, 29, 45351}, {1, 1, 1, -693593},
      {9999, 12, 31, 2958465}, {1980, 1, 1, 29221},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDate(c.y, c.mo, c.d), c.days) << c.y << "-" << c.mo << "-" << c.d;
    int y, mo, d;
    DecodeDate(c.days, y, mo, d);
    EXPECT_EQ((std::tuple{y, mo, d}), (std::tuple{c.y, c.mo, c.d}));
  }
  const TDateTime value = At(2024, 2, 29, 23, 59, 59, 999);
  int y, mo, d, h, mi, s, ms;
  DecodeDate(value, y, mo, d);
  DecodeTime(value, h, mi, s, ms);
  EXPECT_EQ((std::tuple{y, mo, d, h, mi, s, ms}), (std::tuple{2024, 2, 29, 23, 59, 59, 999}));
}

TEST_F(DateTimeTest, EncodeRejectsMomentsThatDoNotExist) {
  const int dates[][3] = {{1900, 2, 29}, {2023, 2, 29}, {2024, 2, 30}, {2024, 4, 31}, {2024, 13, 1},
                          {2024, 0, 1},  {2024, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
  for (const auto& date : dates) {
    TDateTime ignored;
    EXPECT_FALSE(TryEncodeDate(date[0], date[1], date[2], ignored))
        << date[0] << "-" << date[1] << "-" << date[2];
    EXPECT_THROW(EncodeDate(date[0], date[1], date[2]), EConvertError);
  }
  const int times[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
  for (const auto& time : times) EXPECT_THROW(EncodeTime(time[0], time[1], time[2], time[3]), EConvertError);
}

TEST_F(DateTimeTest, DecodeRoundsToTheMillisecond) {
  struct Case {
    TDateTime value;
    int y, mo, d, h, mi, s, ms;
  };
  const Case cases[] = {
      {0.5, 1899, 12, 30, 12, 0, 0, 0},
      {1.0 - 1e-10, 1899, 12, 31, 0, 0, 0, 0},  // rounds up into the next day
      {-1.25, 1899, 12, 29, 6, 0, 0, 0},        // before the epoch the fraction is still the time
      {-0.5, 1899, 12, 30, 12, 0, 0, 0},
      {2958465.9999999, 9999, 12, 31, 23, 59, 59, 991},
  };
  for (const Case& c : cases) {
    int y, mo, d, h, mi, s, ms;
    DecodeDate(c.value, y, mo, d);
    DecodeTime(c.value, h, mi, s, ms);
    EXPECT_EQ((std::tuple{y, mo, d, h, mi, s, ms}), (std::tuple{c.y, c.mo, c.d, c.h, c.mi, c.s, c.ms}))
        << c.value;
  }
}

TEST_F(DateTimeTest, ValuesWithoutADateDecodeAsZero) {
  for (TDateTime value :
       {std::nan(""), std::numeric_limits<double>::infinity(), 1e300, -1e300, 2958466.0, -693594.5}) {
    int y = -1, mo = -1, d = -1;
    DecodeDate(value, y, mo, d);
    EXPECT_EQ((std::tuple{y, mo, d}), (std::tuple{0, 0, 0})) << value;
    EXPECT_NO_THROW(DateTimeToStr(value, kJapanese));
  }
}

TEST_F(DateTimeTest, NowIsReplaceableAndFollowsTheLocalClock) {
  clockAndFormats_.StopClockAt(42.25);
  EXPECT_EQ(Now(), 42.25);
  SetNowFunction({});  // what is checked here: an empty function gives the system clock back
  const time_t seconds = time(nullptr);
  const tm local = *std::localtime(&seconds);  // no other thread uses it
  const TDateTime expected = At(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                local.tm_min, local.tm_sec > 59 ? 59 : local.tm_sec);
  EXPECT_NEAR(Now(), expected, 60.0 / 86400);
}

TEST_F(DateTimeTest, FormatPatterns) {
  const TDateTime morning = At(2024, 3, 5, 7, 8, 9, 12);
  const TDateTime evening = At(2024, 11, 25, 19, 45, 0, 0);
  const TFormatSettings dots{u"", u"", u'.', u'-'};
  struct Case {
    String pattern;
    TDateTime value;
    String expected;
  };
  const Case cases[] = {
      {u"yyyy/mm/dd", morning, u"2024.03.05"},
      {u"yy/m/d", morning, u"24.3.5"},
      {u"h:nn:ss", morning, u"7-08-09"},
      {u"hh:n:s.zzz", morning, u"07-8-9.012"},
      {u"d日 hh:mm", morning, u"5日 07-08"},  // m right after an hour means minutes
      {u"d日 hh:mm", evening, u"25日 19-45"},
      {u"h:nn am/pm", evening, u"7-45 pm"},
      {u"AM/PM h", morning, u"AM 7"},
      {u"h am/pm", At(2024, 1, 1, 0, 30), u"12 am"},
      {u"h am/pm", At(2024, 1, 1, 12, 0), u"12 pm"},
      {u"'yyyy' \"hh\" yyyy", morning, u"yyyy hh 2024"},
      {u"YYYY-MM-DD", morning, u"2024-03-05"},
      {u"yyyy年", At(999, 1, 1), u"0999年"},
      {u"'open", morning, u"open"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatDateTime(c.pattern, c.value, dots), c.expected) << ToUtf8(c.pattern);
  clockAndFormats_.SetFormats(kJapanese);
  EXPECT_EQ(FormatDateTime(u"d日 hh:nn", morning), u"5日 07:08");
}

// Patterns are taken apart once and kept: every later use, after other patterns and other
// separators, must still give each pattern's own text.
TEST_F(DateTimeTest, PatternsUsedAgainFormatAsTheFirstTime) {
  const TDateTime morning = At(2024, 3, 5, 7, 8, 9, 12);
  const TFormatSettings slashes{u"", u"", u'/', u':'};
  const TFormatSettings dots{u"", u"", u'.', u'-'};
  struct Case {
    String pattern;
    String withSlashes;
    String withDots;
  };
  const Case cases[] = {
      {u"yyyy/mm/dd", u"2024/03/05", u"2024.03.05"},
      {u"h:nn:ss", u"7:08:09", u"7-08-09"},
      {u"dd/mm/yyyy", u"05/03/2024", u"05.03.2024"},
      {u"hh:nn:ss am/pm", u"07:08:09 am", u"07-08-09 am"},
      {u"m/d/yy", u"3/5/24", u"3.5.24"},
      {u"yyyymmdd-hhnnss", u"20240305-070809", u"20240305-070809"},
      {u"h:n:s.zzz", u"7:8:9.012", u"7-8-9.012"},
  };
  for (int round = 0; round < 3; ++round) {
    for (const Case& c : cases) {
      EXPECT_EQ(FormatDateTime(c.pattern, morning, slashes), c.withSlashes) << ToUtf8(c.pattern) << round;
      EXPECT_EQ(FormatDateTime(c.pattern, morning, dots), c.withDots) << ToUtf8(c.pattern) << round;
    }
    for (const Case& c : cases)  // two at a time, so the last ones kept are asked for again at once
      EXPECT_EQ(FormatDateTime(c.pattern, morning, slashes) + FormatDateTime(cases[0].pattern, morning, dots),
                c.withSlashes + cases[0].withDots)
          << ToUtf8(c.pattern) << round;
  }
}

TEST_F(DateTimeTest, DateTimeToStrUnderRegionalStyles) {
  const TDateTime morning = At(2024, 3, 5, 7, 8, 9);
  struct Case {
    const TFormatSettings* settings;
    TDateTime value;
    String expected;
  };
  const Case cases[] = {
      {&kJapanese, 0, u"1899/12/30"},
      {&kJapanese, morning, u"2024/03/05 7:08:09"},
      {&kJapanese, At(2024, 3, 5), u"2024/03/05"},
      {&kJapanese, At(2024, 3, 5, 0, 0, 0, 1), u"2024/03/05 0:00:00"},
      {&kUs, morning, u"3/5/2024 7:08:09 am"},
      {&kUs, At(2024, 3, 5, 12, 0, 1), u"3/5/2024 12:00:01 pm"},
      {&kGerman, morning, u"05.03.2024 07:08:09"},
      {&kCLocale, morning, u"03/05/2024 07:08:09"},
  };
  for (const Case& c : cases) EXPECT_EQ(DateTimeToStr(c.value, *c.settings), c.expected);
  clockAndFormats_.SetFormats(kGerman);
  EXPECT_EQ(DateTimeToStr(morning), u"05.03.2024 07:08:09");
}

TEST_F(DateTimeTest, DateTextRoundTripsUnderEveryStyle) {
  const TDateTime values[] = {0,
                              At(1980, 1, 1),
                              At(2024, 2, 29, 23, 59, 59),
                              At(2024, 3, 5, 0, 0, 1),
                              At(2024, 3, 5, 12, 0, 0),
                              At(2024, 3, 5, 12, 59, 59),
                              At(2024, 3, 5, 13, 0, 0),
                              At(1, 1, 1, 1, 2, 3),
                              At(9999, 12, 31, 23, 59, 59)};
  for (const TFormatSettings* settings : {&kJapanese, &kUs, &kGerman, &kCLocale}) {
    for (TDateTime value : values) {
      const String text = DateTimeToStr(value, *settings);
      TDateTime back = -1;
      EXPECT_TRUE(TryStrToDateTime(text, back, *settings)) << ToUtf8(text);
      EXPECT_EQ(back, value) << ToUtf8(text);
    }
  }
}

TEST_F(DateTimeTest, ReadsTheShapesUsersAndOldFilesWrite) {
  clockAndFormats_.StopClockAt(At(2024, 6, 1));
  struct Case {
    const TFormatSettings* settings;
    String text;
    TDateTime expected;
  };
  const Case cases[] = {
      {&kJapanese, u"1980/01/01 00:00:00", At(1980, 1, 1)},
      {&kJapanese, u"  2024/3/5\t", At(2024, 3, 5)},
      {&kJapanese, u"2024/03/05   07:08", At(2024, 3, 5, 7, 8)},
      {&kJapanese, u"2024/03/05 07:08:09.250", At(2024, 3, 5, 7, 8, 9, 250)},
      {&kJapanese, u"73/1/1", At(2073, 1, 1)},  // two-digit years: 1974 to 2073 in 2024
      {&kJapanese, u"74/1/1", At(1974, 1, 1)},
      {&kUs, u"3/5/2024 7:08:09 PM", At(2024, 3, 5, 19, 8, 9)},
      {&kUs, u"3/5/2024 12:30:00 AM", At(2024, 3, 5, 0, 30)},
      {&kUs, u"3/5/2024 19:08:09", At(2024, 3, 5, 19, 8, 9)},
      {&kUs, u"3/5/2024 7:08 pm", At(2024, 3, 5, 19, 8)},
      {&kGerman, u"5.3.2024 7:08:09", At(2024, 3, 5, 7, 8, 9)},
  };
  for (const Case& c : cases) {
    TDateTime value = -1;
    EXPECT_TRUE(TryStrToDateTime(c.text, value, *c.settings)) << ToUtf8(c.text);
    EXPECT_EQ(value, c.expected) << ToUtf8(c.text);
  }
  clockAndFormats_.SetFormats(kJapanese);
  EXPECT_EQ(StrToDateTime(u"2024/03/05 7:08:09"), At(2024, 3, 5, 7, 8, 9));
}

TEST_F(DateTimeTest, RejectsTextThatIsNoMoment) {
  struct Case {
    const TFormatSettings* settings;
    String text;
  };
  const Case cases[] = {
      {&kJapanese, u""},
      {&kJapanese, u"junk"},
      {&kJapanese, u"2024/02/30"},
      {&kJapanese, u"2023/02/29"},
      {&kJapanese, u"2024/13/01"},
      {&kJapanese, u"0000/01/01"},
      {&kJapanese, u"2024-03-05"},
      {&kJapanese, u"2024/03/05x"},
      {&kJapanese, u"2024/03/0512:00:00"},
      {&kJapanese, u"2024/03/05 24:00:00"},
      {&kJapanese, u"2024/03/05 12:60"},
      {&kJapanese, u"2024/03/05 12"},
      {&kJapanese, u"2024/03/05 12:00:00 pm"},  // no marker in this style
      {&kJapanese, u"2024/03/05 12:00:00.5"},
      {&kJapanese, u"2024/03/05 12:00:00 junk"},
      {&kJapanese, u"02024/03/05"},
      {&kJapanese, u"2024/003/05"},
      {&kJapanese, u"99999999999999999999999/1/1"},
      {&kJapanese, u"2024/03/05 99999999999999999999:00"},
      {&kJapanese, u"2024/03/05 -1:00:00"},
      {&kJapanese, u"2024/\uFF10\uFF13/05"},  // full-width digits
      {&kUs, u"3/5/2024 13:00:00 pm"},
      {&kUs, u"3/5/2024 0:00:00 am"},
      {&kGerman, u"05/03/2024"},
  };
  for (const Case& c : cases) {
    TDateTime value = 123;
    EXPECT_FALSE(TryStrToDateTime(c.text, value, *c.settings)) << ToUtf8(c.text);
    EXPECT_EQ(value, 123);
    EXPECT_THROW(StrToDateTime(c.text, *c.settings), EConvertError) << ToUtf8(c.text);
  }
}

// Whatever it is given, the reader either refuses or yields a real date.
TEST_F(DateTimeTest, RandomTextNeverYieldsAnImpossibleValue) {
  const std::u16string alphabet = u"0123456789/:. apmAPM\u65E5-";
  std::mt19937 random(1234);
  for (int i = 0; i < 20000; ++i) {
    String text;
    const int length = static_cast<int>(random() % 24);
    for (int k = 0; k < length; ++k) text += alphabet[random() % alphabet.size()];
    for (const TFormatSettings* settings : {&kJapanese, &kUs}) {
      TDateTime value;
      if (!TryStrToDateTime(text, value, *settings)) continue;
      int y, mo, d;
      DecodeDate(value, y, mo, d);
      EXPECT_GE(y, 1) << ToUtf8(text);
    }
  }
}

}  // namespace
}  // namespace kestrum
