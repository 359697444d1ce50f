// Reading stored date texts written under another regional format than the current one.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/DateTime.h"
#include "tests/support/ClockAndFormats.h"
#include "tests/support/RegionalFormats.h"

namespace kestrum {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

const TFormatSettings& Format(const char* name) {
  return test::RegionalFormat(name);
}

TEST(DateTextAnyForm, WhatOneFormatWritesEveryOtherReads) {
  // Days above 12, so that no text could also be read with day and month swapped.
  const TDateTime moments[] = {At(2024, 3, 25, 19, 8, 9),  At(2024, 12, 31),
                               At(1999, 1, 13, 0, 0, 1),   At(999, 11, 30),
                               At(9999, 12, 31, 12, 0, 0), 0};
  for (const test::TNamedFormat& writer : test::RegionalFormats()) {
    for (const test::TNamedFormat& reader : test::RegionalFormats()) {
      for (TDateTime moment : moments) {
        const String text = DateTimeToStr(moment, writer.Settings);
        TDateTime back = -1;
        EXPECT_TRUE(TryStrToDateTimeAnyForm(text, back, reader.Settings) && back == moment)
            << "written under " << writer.Name << " as \"" << ToUtf8(text) << "\", read under " << reader.Name
            << ": " << ToUtf8(DateTimeToStr(back, reader.Settings));
      }
    }
  }
}

TEST(DateTextAnyForm, ReadsIsoAndYearFirstTexts) {
  struct Case {
    String text;
    TDateTime expected;
  };
  const Case cases[] = {
      {u"2024-03-05T07:08:09", At(2024, 3, 5, 7, 8, 9)},
      {u"2024-03-05t07:08", At(2024, 3, 5, 7, 8)},
      {u"2024-03-05T07:08:09.250", At(2024, 3, 5, 7, 8, 9, 250)},
      {u"2024-03-05 19:08:09", At(2024, 3, 5, 19, 8, 9)},
      {u"2024-03-05", At(2024, 3, 5)},
      {u"2024.3.5 7:08:09", At(2024, 3, 5, 7, 8, 9)},
      {u"2024/03/05 7:08:09 pm", At(2024, 3, 5, 19, 8, 9)},
      {u"1980/01/01 00:00:00", At(1980, 1, 1)},
      {u"  2024年03月05日 07時08分09秒 ", At(2024, 3, 5, 7, 8, 9)},
  };
  for (const char* reader : {"C", "de_DE", "ja_JP", "en_GB"}) {
    for (const Case& c : cases) {
      TDateTime value = -1;
      EXPECT_TRUE(TryStrToDateTimeAnyForm(c.text, value, Format(reader))) << reader << ": " << ToUtf8(c.text);
      EXPECT_EQ(value, c.expected) << reader << ": " << ToUtf8(c.text);
    }
  }
}

TEST(DateTextAnyForm, SwappableDayAndMonthFollowTheCurrentOrder) {
  struct Case {
    String text;
    const char* reader;
    TDateTime expected;
  };
  const Case cases[] = {
      {u"03/05/2024 07:08:09", "de_DE", At(2024, 5, 3, 7, 8, 9)},  // day first
      {u"03/05/2024 07:08:09", "nl_NL", At(2024, 5, 3, 7, 8, 9)},
      {u"03/05/2024 07:08:09", "ja_JP", At(2024, 3, 5, 7, 8, 9)},  // year, month, day
      {u"03/05/2024 07:08:09", "ko_KR", At(2024, 3, 5, 7, 8, 9)},
      {u"03/05/2024 07:08:09", "en_US", At(2024, 3, 5, 7, 8, 9)},  // the current format itself
      {u"03/05/2024 07:08:09", "fr_FR", At(2024, 5, 3, 7, 8, 9)},
      {u"3/5/2024 7:08:09 PM", "de_DE", At(2024, 5, 3, 19, 8, 9)},
      {u"05/05/2024", "de_DE", At(2024, 5, 5)},   // either way the same
      {u"13/05/2024", "ja_JP", At(2024, 5, 13)},  // only one way valid
      {u"05/13/2024", "de_DE", At(2024, 5, 13)},
      {u"05.03.2024", "C", At(2024, 3, 5)},  // only day-first forms use dots
  };
  for (const Case& c : cases) {
    TDateTime value = -1;
    EXPECT_TRUE(TryStrToDateTimeAnyForm(c.text, value, Format(c.reader)))
        << c.reader << ": " << ToUtf8(c.text);
    EXPECT_EQ(value, c.expected) << c.reader << ": " << ToUtf8(c.text) << " read as "
                                 << ToUtf8(DateTimeToStr(value, Format("sv_SE")));
  }
}

TEST(DateTextAnyForm, RefusesTextNoFormReadsForSure) {
  const String texts[] = {
      u"",
      u"junk",
      u"2024-03-05T07:08:09Z",  // a moment in UTC, not local time
      u"2024-03-05T07:08:09+09:00",
      u"2024-03-05T",
      u"2024/03/05T07:08:09",  // "T" only in ISO 8601
      u"05/03/24",             // two-digit years: the century is a guess
      u"5-3-24 7:08",
      u"24/03/05",
      u"31/31/2024",
      u"2024/13/45",
      u"2024/02/30",
      u"03/05/2024 25:00:00",
      u"03/05/2024 07:08:09 午後",
      u"2024-03-05 7:08:09 am 7",
  };
  // Formats whose own rules read none of these texts (de_DE would read "5.3.24", say).
  for (const char* reader : {"de_DE", "ja_JP", "ko_KR", "zh_CN"}) {
    for (const String& text : texts) {
      TDateTime value = 123;
      EXPECT_FALSE(TryStrToDateTimeAnyForm(text, value, Format(reader))) << reader << ": " << ToUtf8(text);
      EXPECT_EQ(value, 123) << reader << ": " << ToUtf8(text);
    }
  }
}

// The current format comes first and keeps its own rules, two-digit years included.
TEST(DateTextAnyForm, TheCurrentFormatReadsFirst) {
  test::TClockAndFormats clockAndFormats;
  clockAndFormats.StopClockAt(At(2024, 6, 1));
  TDateTime value = -1;
  EXPECT_TRUE(TryStrToDateTimeAnyForm(u"73/1/2", value, Format("Windows ja-JP")));
  EXPECT_EQ(value, At(2073, 1, 2));
  EXPECT_FALSE(TryStrToDateTimeAnyForm(u"05/03/24", value, Format("Windows de-DE")));
  EXPECT_TRUE(TryStrToDateTimeAnyForm(u"05.03.24", value, Format("Windows de-DE")));
  EXPECT_EQ(value, At(2024, 3, 5));
}

}  // namespace
}  // namespace kestrum
