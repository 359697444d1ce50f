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

// A running lock-out ends within 66 hours from now. Where day and month could be swapped, the reading
// within that window is taken; elsewhere the current order wins, as without a window.
TEST(DateTextAnyForm, ASwappableDateIsReadWhereTheMomentIsExpected) {
  constexpr TDateTime kLockOut = 2.75;
  struct Case {
    const char* what;
    TDateTime moment;  // the moment the writer stored
    TDateTime now;
    bool found;  // read back as the writer meant it, whatever the reader's order
  };
  const Case cases[] = {
      {"running until 3 July", At(2026, 7, 3, 10, 0, 1), At(2026, 7, 1, 12), true},
      {"running until 7 March", At(2026, 3, 7, 10, 0, 1), At(2026, 3, 5, 12), true},
      {"running until 3 July, read at its last moment", At(2026, 7, 3, 10, 0, 1), At(2026, 7, 3, 10, 0, 1),
       true},
      {"running until 3 July, read at its first moment", At(2026, 7, 3, 10), At(2026, 7, 3, 10) - kLockOut,
       true},
      {"running until 13 March", At(2026, 3, 13, 23, 59, 59), At(2026, 3, 11), true},
      {"ended on 3 July, read in September", At(2026, 7, 3, 10, 0, 1), At(2026, 9, 1), false},
      {"ended on 3 July, read a moment later", At(2026, 7, 3, 10), At(2026, 7, 3, 10, 0, 0, 1), false},
      {"3 July, read in January", At(2026, 7, 3, 10), At(2026, 1, 1), false},
      {"13 March, read in December", At(2026, 3, 13, 10), At(2026, 12, 1), true},
      {"5 May, read in June", At(2026, 5, 5, 10), At(2026, 6, 1), true},
  };
  const char* formats[] = {"C", "en_US", "en_GB", "de_DE", "Windows en-US", "Windows de-DE", "ja_JP"};
  for (const char* writer : formats) {
    for (const char* reader : formats) {
      for (const Case& c : cases) {
        const String text = DateTimeToStr(c.moment, Format(writer));
        const std::string where = std::string(c.what) + ": \"" + ToUtf8(text) + "\" written under " + writer +
                                  ", read under " + reader;
        TDateTime asToday = -1, value = -1;
        ASSERT_TRUE(TryStrToDateTimeAnyForm(text, asToday, Format(reader))) << where;
        EXPECT_TRUE(TryStrToDateTimeAnyForm(text, value, Format(reader), {c.now, kLockOut})) << where;
        // Without a moment in the window the text reads as it always did.
        EXPECT_EQ(value, c.found ? c.moment : asToday) << where;
      }
    }
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
