#include "base/Strings.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(Strings, TrimRemovesCodeUnitsUpToSpaceOnly) {
  struct Case {
    String text, both, left, right;
  };
  const Case cases[] = {
      {u"", u"", u"", u""},
      {u" \t a b \r\n", u"a b", u"a b \r\n", u" \t a b"},
      {String(u"\0\x1F x\x20", 5), u"x", u"x ", String(u"\0\x1F x", 4)},
      {u"\u3000a\u00A0", u"\u3000a\u00A0", u"\u3000a\u00A0", u"\u3000a\u00A0"},
      {u"\x21", u"!", u"!", u"!"},
      {u"   ", u"", u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Trim(c.text), c.both);
    EXPECT_EQ(TrimLeft(c.text), c.left);
    EXPECT_EQ(TrimRight(c.text), c.right);
  }
}

TEST(Strings, SameTextAsciiIgnoresOnlyAsciiCase) {
  struct Case {
    String a, b;
    bool same;
  };
  const Case cases[] = {
      {u"", u"", true},         {u"Raid", u"rAID", true},      {u"[raid]", u"[RAID]", true},
      {u"a", u"a ", false},     {u"\u00E4", u"\u00C4", false}, {u"\uFF41", u"\uFF21", false},
      {u"`", u"@", false},      {u"{", u"[", false},           {u"z", u"Z", true},
      {u"日本", u"日本", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SameTextAscii(c.a, c.b), c.same) << ToUtf8(c.a) << " / " << ToUtf8(c.b);
  EXPECT_EQ(AsciiUpperCase(u"abz{`\u00E9m"), u"ABZ{`\u00E9M");
}

TEST(Strings, Utf8RoundTripsEveryPlane) {
  const String text = u"a\u00E9\u65E5\U0001F600";
  const std::string bytes = "a\xC3\xA9\xE6\x97\xA5\xF0\x9F\x98\x80";
  EXPECT_EQ(ToUtf8(text), bytes);
  EXPECT_EQ(FromUtf8(bytes), text);
}

TEST(Strings, MalformedTextBecomesReplacementCharacters) {
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(ToUtf8(String(u"\xD800x")), fffd + "x");
  EXPECT_EQ(ToUtf8(String(u"x\xDC00")), "x" + fffd);
  EXPECT_EQ(ToUtf8(String(u"\xDC00\xD800")), fffd + fffd);

  struct Case {
    std::string bytes;
    String text;
  };
  const Case cases[] = {
      {"a\x80"
       "b",
       u"a\uFFFDb"},
      {"\xC3", u"\uFFFD"},      // cut short at the end
      {"\xE6\x97", u"\uFFFD"},  // one mark for a truncated sequence
      {"\xE6\x97x", u"\uFFFDx"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xFF\xFE", u"\uFFFD\uFFFD"},
      {std::string("\0", 1), String(u"\0", 1)},
  };
  for (const Case& c : cases) EXPECT_EQ(FromUtf8(c.bytes), c.text) << testing::PrintToString(c.bytes);
}

TEST(Strings, IntToStr) {
  EXPECT_EQ(IntToStr(0), u"0");
  EXPECT_EQ(IntToStr(-1), u"-1");
  EXPECT_EQ(IntToStr(4294967295), u"4294967295");
  EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::max()), u"9223372036854775807");
  EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::min()), u"-9223372036854775808");
}

}  // namespace
}  // namespace kestrum
