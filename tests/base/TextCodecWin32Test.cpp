#include "base/TextCodec.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// Under the Japanese code page the ANSI encoding is CP932, which reads back; a character it cannot
// hold is refused rather than written as something else.
TEST(TextCodecWin32, AnsiIsCodePage932UnderAJapaneseSystem) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page 932";
  struct Case {
    String text;
    std::string bytes;
  };
  const Case cases[] = {
      {u"NAME=Ann", "NAME=Ann"},
      {u"NAME=日本語", "NAME=\x93\xFA\x96\x7B\x8C\xEA"},
      {u"ｶﾅ \"ー\"", "\xB6\xC5 \"\x81\x5B\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeText(c.text, TEncoding::Ansi, false), c.bytes) << ToUtf8(c.text);
    const TDecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(ToUtf8(decoded.Text), ToUtf8(c.text));
    EXPECT_TRUE(decoded.Whole) << ToUtf8(c.text);
  }
  for (const String text : {u"café", u"\U0001F600", u"\u0080"})
    EXPECT_THROW(EncodeText(text, TEncoding::Ansi, false), EEncodeError) << ToUtf8(text);
}

// Bytes a Shift-JIS file cannot hold read as Windows-1252, as they do on Linux.
TEST(TextCodecWin32, BytesOutsideShiftJisAreNoCp932) {
  for (const std::string bytes : {"\x80", "\xA0", "\xFD", "\x93\xFA\xFF"}) {
    const TDecodedText decoded = DecodeText(bytes, TEncoding::Cp932);
    EXPECT_FALSE(decoded.Whole) << testing::PrintToString(bytes);
  }
}

}  // namespace
}  // namespace kestrum
