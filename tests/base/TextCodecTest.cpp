#include "base/TextCodec.h"

#include <random>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

TEST(TextCodec, ByteOrderMarkSelectsTheEncoding) {
  struct Case {
    std::string bytes;
    String text;
  };
  const Case cases[] = {
      {"", u""},
      {"plain", u"plain"},
      {"\xEF\xBB\xBF"
       "a\xC3\xA9",
       u"a\u00E9"},
      {"\xEF\xBB\xBF", u""},
      {std::string("\xFF\xFE"
                   "a\0\x42\x30",
                   6),
       u"a\u3042"},
      {std::string("\xFE\xFF\0a\x30\x42", 6), u"a\u3042"},
      {std::string("\xFF\xFE"
                   "a",
                   3),
       u"\uFFFD"},  // odd last byte
      {std::string("\xFE\xFF\0a\x30", 5), u"a\uFFFD"},
      {std::string("\xFF\xFE\x00\xD8", 4), String(1, u'\xD800')},  // code units kept as they are
      {"\xFE", u"\uFFFD"},                                         // not a mark: read as UTF-8
      {"\xEF\xBB", u"\uFFFD"},
      {"\xE6\x97\xA5\x80", u"\u65E5\uFFFD"},
  };
  for (const Case& c : cases) EXPECT_EQ(DecodeText(c.bytes), c.text) << testing::PrintToString(c.bytes);
}

TEST(TextCodec, EncodingsRoundTrip) {
  const String text = u"[RAID]\r\nname=\"a b\" \u65E5\u672C \U0001F600";
  struct Case {
    TEncoding encoding;
    std::string bom;
  };
  const Case cases[] = {{TEncoding::Ansi, ""},
                        {TEncoding::Utf8, "\xEF\xBB\xBF"},
                        {TEncoding::Utf16LE, "\xFF\xFE"},
                        {TEncoding::Utf16BE, "\xFE\xFF"}};
  for (const Case& c : cases) {
    const std::string plain = EncodeText(text, c.encoding, false);
    const std::string marked = EncodeText(text, c.encoding, true);
    EXPECT_EQ(marked, c.bom + plain);
    EXPECT_EQ(DecodeText(plain, c.encoding), text);
    EXPECT_EQ(DecodeText(marked, c.encoding), text);
    EXPECT_EQ(DecodeText(marked), text);
  }
  EXPECT_EQ(EncodeText(u"a\u3042", TEncoding::Utf16BE, false), std::string("\0a\x30\x42", 4));
  EXPECT_EQ(EncodeText(u"a\u3042", TEncoding::Ansi, true), "a\xE3\x81\x82");
}

// Random bytes never fail to decode, and never grow beyond one code unit per byte.
TEST(TextCodec, AnyBytesDecode) {
  std::mt19937 random(99);
  std::string bytes(1 << 20, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  for (const std::string& prefix : {std::string(), std::string("\xFF\xFE"), std::string("\xFE\xFF")}) {
    const String text = DecodeText(prefix + bytes);
    EXPECT_GT(text.size(), 0u);
    EXPECT_LE(text.size(), bytes.size());
  }
}

}  // namespace
}  // namespace kestrum
