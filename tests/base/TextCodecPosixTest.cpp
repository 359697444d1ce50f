#include "base/TextCodec.h"

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// Linux has no ANSI code page: UTF-8 stands in for it and holds every character.
TEST(TextCodec, AnsiIsUtf8OnLinux) {
  const String text = u"a\u3042 caf\u00E9 \U0001F600 \u0080";
  EXPECT_EQ(EncodeText(text, TEncoding::Ansi, true), ToUtf8(text));
  EXPECT_EQ(EncodeText(u"a\u3042", TEncoding::Ansi, true), "a\xE3\x81\x82");
  EXPECT_EQ(DecodeText(EncodeText(text, TEncoding::Ansi, false), TEncoding::Ansi).Text, text);
  EXPECT_EQ(DecodeText(EncodeText(text, TEncoding::Ansi, false)).Text, text);
}

}  // namespace
}  // namespace kestrum
