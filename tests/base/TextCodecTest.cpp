#include "base/TextCodec.h"

#include <optional>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "base/Charset.h"

namespace kestrum {
namespace {

struct DecodeCase {
  std::string bytes;
  String text;
  bool whole;
};

void ExpectDecodes(const DecodeCase& c, const TDecodedText& decoded) {
  EXPECT_EQ(decoded.Text, c.text) << testing::PrintToString(c.bytes);
  EXPECT_EQ(decoded.Whole, c.whole) << testing::PrintToString(c.bytes);
}

// "0=魔法の塔" and "NAME=ゆきな" as the Japanese Windows version writes them, and in UTF-8.
const std::string kTowerCp932 = "0=\x96\x82\x96\x40\x82\xCC\x93\x83";
const std::string kNameCp932 = "NAME=\x82\xE4\x82\xAB\x82\xC8";
const std::string kTowerUtf8 = "0=\xE9\xAD\x94\xE6\xB3\x95\xE3\x81\xAE\xE5\xA1\x94";
const String kTower = u"0=\u9B54\u6CD5\u306E\u5854";

TEST(TextCodec, ByteOrderMarkSelectsTheEncoding) {
  const DecodeCase cases[] = {
      {"\xEF\xBB\xBF"
       "a\xC3\xA9",
       u"a\u00E9", true},
      {"\xEF\xBB\xBF", u"", true},
      {"\xEF\xBB\xBF"
       "a\xFF"
       "b",
       u"ab", false},  // no UTF-8: left out, not replaced
      {std::string("\xFF\xFE"
                   "a\0\x42\x30",
                   6),
       u"a\u3042", true},
      {std::string("\xFE\xFF\0a\x30\x42", 6), u"a\u3042", true},
      {std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), u"\U0001F600", true},
      {std::string("\xFF\xFE"
                   "a",
                   3),
       u"", false},  // odd last byte
      {std::string("\xFE\xFF\0a\x30", 5), u"a", false},
      {std::string("\xFF\xFE\x00\xD8", 4), u"", false},  // lone surrogates
      {std::string("\xFF\xFE\x00\xDC"
                   "a\0",
                   6),
       u"a", false},
      {std::string("\xFE\xFF\xD8\x00\0a", 6), u"a", false},
  };
  for (const DecodeCase& c : cases) ExpectDecodes(c, DecodeText(c.bytes));
}

TEST(TextCodec, WithoutMarkUtf8ElseCp932ElseWindows1252) {
  const DecodeCase cases[] = {
      {"", u"", true},
      {"plain", u"plain", true},
      {kTowerUtf8, kTower, true},
      {kTowerCp932, kTower, true},
      {kNameCp932, u"NAME=\u3086\u304D\u306A", true},
      {"caf\xE9", u"caf\u00E9", true},  // no cut UTF-8 character: nothing beyond ASCII before it
      {"\x80\x9F\xA0\xFE\xFF", u"\u20AC\u0178\u00A0\u00FE\u00FF", true},
      {"\x81"
       "a\x8D"
       "b\x8F"
       "c\x90"
       "d\x9D\xFF",
       u"\u0081a\u008Db\u008Fc\u0090d\u009D\u00FF", true},
      {"\xE6\x97\xA5\x80", u"\u00E6\u2014\u00A5\u20AC", true},
      {"\xEF\xBB", u"\u00EF\u00BB", true},
      // Cut off inside the last character: read up to the cut in the file's own encoding.
      {kTowerUtf8.substr(0, kTowerUtf8.size() - 1), u"0=\u9B54\u6CD5\u306E", false},
      {kTowerCp932.substr(0, kTowerCp932.size() - 1), u"0=\u9B54\u6CD5\u306E", false},
  };
  for (const DecodeCase& c : cases) {
    ExpectDecodes(c, DecodeText(c.bytes));
    ExpectDecodes(c, DecodeText(c.bytes, TEncoding::Ansi));
  }
}

TEST(TextCodec, GivenEncodingLeavesOutWhatIsNoText) {
  const struct {
    TEncoding encoding;
    DecodeCase c;
  } cases[] = {
      {TEncoding::Utf8,
       {"a\xFF"
        "b\xE9\xAD",
        u"ab", false}},
      {TEncoding::Utf8, {kTowerCp932, u"0=@\u0313", false}},  // CC 93 is UTF-8
      {TEncoding::Cp932, {kTowerCp932 + "\x80", kTower, false}},
      // 81 AE is no CP932: 81 is left out and AE read on its own; the last byte 94 is cut off.
      {TEncoding::Cp932, {kTowerUtf8, u"0=\u9B32\u75B2\uFF73\u8F14\uFF6E\u876A", false}},
      {TEncoding::Windows1252, {"\x81\xE9", u"\u0081\u00E9", true}},
  };
  for (const auto& c : cases) ExpectDecodes(c.c, DecodeText(c.c.bytes, c.encoding));
}

// The text in the encoding, or nothing when the encoding cannot hold it (the ANSI code page on
// Windows; on Linux it is UTF-8, which holds everything).
std::optional<std::string> EncodedIfHeld(const String& text, TEncoding encoding) {
  try {
    return EncodeText(text, encoding, false);
  } catch (const EEncodeError&) {
    return std::nullopt;
  }
}

// UTF-8 as the C library's converter reads it, whole or not.
TDecodedText ConverterUtf8(std::string_view bytes) {
  TCharsetConverter converter("UTF-16LE", "UTF-8");
  const TConverted converted = converter.Convert(bytes, TOnInvalid::Skip);
  String text;
  for (size_t i = 0; i + 1 < converted.Bytes.size(); i += 2)
    text += static_cast<char16_t>(static_cast<unsigned char>(converted.Bytes[i]) |
                                  static_cast<unsigned char>(converted.Bytes[i + 1]) << 8);
  return {text, converted.InvalidBytes == 0 && converted.CutBytes == 0};
}

std::string Utf8Of(char32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += {static_cast<char>(0xC0 | cp >> 6), static_cast<char>(0x80 | (cp & 0x3F))};
  } else if (cp < 0x10000) {
    out += {static_cast<char>(0xE0 | cp >> 12), static_cast<char>(0x80 | (cp >> 6 & 0x3F)),
            static_cast<char>(0x80 | (cp & 0x3F))};
  } else {
    out += {static_cast<char>(0xF0 | cp >> 18), static_cast<char>(0x80 | (cp >> 12 & 0x3F)),
            static_cast<char>(0x80 | (cp >> 6 & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
  }
  return out;
}

// UTF-8 is decoded without the converter when it is well-formed; what it gives must be what the
// converter gives, for every character, and ill-formed bytes must not pass as UTF-8.
TEST(TextCodec, Utf8ReadsAsTheConverterReadsIt) {
  for (char32_t first = 0; first < 0x110000; first += 0x1000) {
    std::string bytes;
    for (char32_t cp = first; cp < first + 0x1000; ++cp)
      if (cp < 0xD800 || cp > 0xDFFF) bytes += Utf8Of(cp);
    const TDecodedText expected = ConverterUtf8(bytes);
    ASSERT_TRUE(expected.Whole);
    for (const TDecodedText& decoded :
         {DecodeText(bytes, TEncoding::Utf8), DecodeText("\xEF\xBB\xBF" + bytes)}) {
      ASSERT_TRUE(decoded.Whole) << std::hex << static_cast<uint32_t>(first);
      ASSERT_EQ(decoded.Text, expected.Text) << std::hex << static_cast<uint32_t>(first);
    }
  }
  const std::string illFormed[] = {
      "\xC0\x80",
      "\xC1\xBF",
      "\xE0\x9F\xBF",
      "\xED\xA0\x80",
      "\xED\xBF\xBF",
      "\xF0\x8F\xBF\xBF",
      "\xF4\x90\x80\x80",
      "\xF5\x80\x80\x80",
      "\x80",
      "\xBF",
      "\xE9\xAD",
      "\xC3",
      "\xE9\x41\x94",
      "\xFE",
      "\xFF",
  };
  for (const std::string& sequence : illFormed) {
    const std::string bytes = "ab" + sequence + "cd";
    const TDecodedText decoded = DecodeText(bytes, TEncoding::Utf8);
    EXPECT_FALSE(decoded.Whole) << testing::PrintToString(sequence);
    EXPECT_EQ(decoded.Text, ConverterUtf8(bytes).Text) << testing::PrintToString(sequence);
  }
}

// Decoded and encoded back in its own encoding, a file gives its bytes back; written in the ANSI
// code page (what saving does) and read again, it gives the same text.
TEST(TextCodec, EachEncodingGivesItsBytesBack) {
  const struct {
    std::string bytes;
    TEncoding own;
  } cases[] = {
      {kTowerUtf8 + "\r\n\xF0\x9F\x98\x80", TEncoding::Utf8},
      {kTowerCp932 + "\r\n" + kNameCp932 + "\r\n\xB1\xB2", TEncoding::Cp932},
      {"caf\xE9 \x81\x8D\x8F\x90\x9D \x80\x9F", TEncoding::Windows1252},
      {"\x80\xA0\xFD\xFE\xFF\x81", TEncoding::Windows1252},  // neither UTF-8 nor CP932
  };
  for (const auto& c : cases) {
    const TDecodedText decoded = DecodeText(c.bytes);
    EXPECT_TRUE(decoded.Whole) << testing::PrintToString(c.bytes);
    EXPECT_EQ(decoded.Text, DecodeText(c.bytes, c.own).Text) << testing::PrintToString(c.bytes);
    EXPECT_EQ(EncodeText(decoded.Text, c.own, false), c.bytes);
    if (std::optional<std::string> saved = EncodedIfHeld(decoded.Text, TEncoding::Ansi)) {
      EXPECT_EQ(DecodeText(*saved).Text, decoded.Text);
    }
  }
}

TEST(TextCodec, EncodingsRoundTrip) {
  const String text = u"[RAID]\r\nname=\"a b\" \u65E5\u672C \U0001F600";
  struct Case {
    TEncoding encoding;
    std::string bom;
  };
  const Case cases[] = {
      {TEncoding::Utf8, "\xEF\xBB\xBF"}, {TEncoding::Utf16LE, "\xFF\xFE"}, {TEncoding::Utf16BE, "\xFE\xFF"}};
  for (const Case& c : cases) {
    const std::string plain = EncodeText(text, c.encoding, false);
    const std::string marked = EncodeText(text, c.encoding, true);
    EXPECT_EQ(marked, c.bom + plain);
    EXPECT_EQ(DecodeText(plain, c.encoding).Text, text);
    EXPECT_EQ(DecodeText(marked, c.encoding).Text, text);
    EXPECT_EQ(DecodeText(marked).Text, text);
  }
  EXPECT_EQ(EncodeText(u"a\u3042", TEncoding::Utf16BE, false), std::string("\0a\x30\x42", 4));
  EXPECT_EQ(EncodeText(u"a\u3042", TEncoding::Cp932, true), "a\x82\xA0");
}

TEST(TextCodec, CodePagesRefuseWhatTheyCannotHold) {
  const struct {
    String text;
    TEncoding encoding;
  } cases[] = {
      {u"ok \u2603", TEncoding::Cp932},         {u"\U0001F600", TEncoding::Cp932},
      {String(1, u'\xD800'), TEncoding::Cp932}, {u"a" + String(1, u'\xDC00') + u"b", TEncoding::Cp932},
      {u"\u3042", TEncoding::Windows1252},      {u"\u0080", TEncoding::Windows1252},
  };
  for (const auto& c : cases)
    EXPECT_THROW(EncodeText(c.text, c.encoding, false), EEncodeError) << testing::PrintToString(c.text);
}

// Random bytes never fail to decode, never grow beyond one code unit per byte and never hold U+FFFD
// unless the bytes spell it; without a mark every byte comes back from Windows-1252.
TEST(TextCodec, AnyBytesDecode) {
  std::mt19937 random(99);
  std::string bytes(1 << 20, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  for (const std::string& prefix : {std::string(), std::string("\xFF\xFE"), std::string("\xFE\xFF")}) {
    const String text = DecodeText(prefix + bytes).Text;
    EXPECT_GT(text.size(), 0u);
    EXPECT_LE(text.size(), bytes.size());
  }
  const TDecodedText plain = DecodeText(bytes);
  EXPECT_TRUE(plain.Whole);
  EXPECT_EQ(plain.Text.find(u'\uFFFD'), String::npos);
  EXPECT_EQ(EncodeText(plain.Text, TEncoding::Windows1252, false), bytes);
}

}  // namespace
}  // namespace kestrum
