#include "base/TextCodec.h"

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// Under the Japanese code page the ANSI encoding is CP932; what CP932 cannot hold is written in
// UTF-8, so that no character is lost. Either way the text reads back.
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
      {u"日本 café", "\xE6\x97\xA5\xE6\x9C\xAC caf\xC3\xA9"},  // é is no CP932 character
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeText(c.text, TEncoding::Ansi, false), c.bytes) << ToUtf8(c.text);
    const TDecodedText decoded = DecodeText(c.bytes);
    EXPECT_EQ(ToUtf8(decoded.Text), ToUtf8(c.text));
    EXPECT_TRUE(decoded.Whole) << ToUtf8(c.text);
  }
}

}  // namespace
}  // namespace kestrum
