#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/Files.h"
#include "ini/VoMemIniFile.h"
#include "tests/ini/IniTestSupport.h"

namespace kestrum {
namespace {

using test::DocumentLines;
using test::IniFileTest;

const String kDefault = u"<default>";

TEST_F(IniFileTest, LinesReadAsTheSyntaxSays) {
  struct Case {
    const char* what;
    std::string text;
    String section;
    String key;
    String expected;
  };
  const Case cases[] = {
      {"spaces around = and inside the value", "[A]\nk = v w\n", u"A", u"k", u"v w"},
      {"quoted value", "[A]\nk=\"v w\"\n", u"A", u"k", u"v w"},
      {"spaces inside the quotes stay", "[A]\nk = \"  v w  \"  \n", u"A", u"k", u"  v w  "},
      {"surrounding control characters go", "[A]\nk=\tv\t\n", u"A", u"k", u"v"},
      {"ideographic space is not trimmed", "[A]\nk=\xE3\x80\x80v\n", u"A", u"k", u"\u3000v"},
      {"name alone", "[A]\nk\n", u"A", u"k", u""},
      {"name and =", "[A]\nk=\n", u"A", u"k", u""},
      {"value holds =", "[A]\nk=a=b\n", u"A", u"k", u"a=b"},
      {"key before any header is dropped", "k=v\n[A]\n", u"A", u"k", kDefault},
      {"[] is no header", "[]\nk=v\n", u"", u"k", kDefault},
      {"[ ] is no header", "[ ]\nk=v\n", u"", u"k", kDefault},
      {"[] keeps the current section", "[A]\n[]\nk=v\n", u"A", u"k", u"v"},
      {"spaces inside the brackets", "[ A ]\nk=v\n", u"A", u"k", u"v"},
      {"double brackets", "[[A]]\nk=v\n", u"[A]", u"k", u"v"},
      {"unclosed bracket is a key", "[A]\n[B\n", u"A", u"[B", u""},
      {"header with a comment is a key", "[A]\n[B] ; note\n", u"A", u"[B] ; note", u""},
      {"# starts no comment", "[A]\n#k=v\n", u"A", u"#k", u"v"},
      {"section and key ignore ASCII case", "[raid]\ncount=3\n", u"RAID", u"COUNT", u"3"},
      {"padded names are trimmed", "[A]\nk=v\n", u"  A ", u"\tk ", u"v"},
      {"a later line of the same key wins", "[A]\nk=1\nk=2\n", u"A", u"K", u"2"},
      {"a section named twice merges", "[A]\nk=1\n[B]\n[a]\nj=2\n", u"A", u"j", u"2"},
      {"CR LF, CR and LF all end lines", "[A]\r\nk=1\rj=2\nz=3", u"A", u"j", u"2"},
      {"last line without a break", "[A]\r\nk=1\rj=2\nz=3", u"A", u"z", u"3"},
      {"NUL ends the text", std::string("[A]\nk=1\0\nj=2\n", 14), u"A", u"j", kDefault},
      {"text before the NUL stays", std::string("[A]\nk=1\0\nj=2\n", 14), u"A", u"k", u"1"},
      {"doubled quotes inside quotes", "[A]\nk=\"a\"\"b\"\n", u"A", u"k", u"a\"b"},
      {"text after the closing quote is dropped", "[A]\nk=\"ab\"cd\n", u"A", u"k", u"ab"},
      {"unclosed quote stays", "[A]\nk=\"ab\n", u"A", u"k", u"\"ab"},
      {"non-ASCII case differs", "[A]\n\xC3\xA9=1\n", u"A", u"\u00C9", kDefault},
      // A section's only key line, which is kept where it stands in the text.
      {"sole key at the end of the text", "[A]\nk=v", u"A", u"k", u"v"},
      {"sole key before a lone CR", "[A]\rk=v\r[B]\r", u"A", u"k", u"v"},
      {"sole key before a NUL", std::string("[A]\nk=v\0w\n", 10), u"A", u"k", u"v"},
      {"sole key with spaces after it", "[A]\nk=v  \n[B]\n", u"A", u"k", u"v"},
  };
  for (const Case& c : cases) {
    const auto doc = LoadBytes(c.text);
    EXPECT_EQ(doc->ReadString(c.section, c.key, kDefault), c.expected) << c.what;
  }
}

TEST_F(IniFileTest, LinesWithoutANameAddNoKey) {
  const auto doc = LoadBytes("[A]\n=v\n = w\nk\n");
  std::vector<String> names;
  doc->ReadSection(u"A", names);
  EXPECT_EQ(names, std::vector<String>{u"k"});
}

TEST_F(IniFileTest, SectionsAndKeysKeepTheOrderOfFirstAppearance) {
  const auto doc = LoadBytes("[A]\nk=1\nj=0\n[B]\n[a]\nK=2\nn=\"x y\"\n");
  std::vector<String> list;
  doc->ReadSections(list);
  EXPECT_EQ(list, (std::vector<String>{u"A", u"B"}));
  doc->ReadSection(u"a", list);
  EXPECT_EQ(list, (std::vector<String>{u"K", u"j", u"n"}));  // written as the last line names it
  doc->ReadSectionValues(u"A", list);
  EXPECT_EQ(list, (std::vector<String>{u"K=2", u"j=0", u"n=\"x y\""}));
  doc->ReadSection(u"missing", list);
  EXPECT_TRUE(list.empty());
}

TEST_F(IniFileTest, CommentsAttachToWhatFollowsThem) {
  const auto doc = LoadBytes(
      "; c1\n"
      "k=dropped\n"
      "; c2\n"
      "[A]\n"
      "  ; c3 indented\n"
      "\n"
      "; c4\n"
      "k=v\n"
      "; c5\n"
      "[B]\n"
      "; c6\n"
      "[a]\n"
      "; c7\n"
      "k=w\n"
      "j=1\n"
      "; tail\n"
      ";\n"
      "   \n");
  std::vector<String> lines;
  doc->ReadSectionComment(u"A", lines);
  EXPECT_EQ(lines, std::vector<String>{u"; c6"});  // the block before [a] replaced "; c1", "; c2"
  doc->ReadSectionComment(u"B", lines);
  EXPECT_EQ(lines, std::vector<String>{u"; c5"});
  doc->ReadComment(u"A", u"K", lines);
  EXPECT_EQ(lines, std::vector<String>{u"; c7"});
  doc->ReadComment(u"A", u"j", lines);
  EXPECT_TRUE(lines.empty());
  doc->ReadSectionComment(u" ", lines);
  EXPECT_EQ(lines, (std::vector<String>{u"; tail", u";"}));
  EXPECT_EQ(doc->ReadSectionComment(u""), u"; tail\r\n;");

  const auto first = LoadBytes("; c1\nk=dropped\n; c2\n[A]\n  ; c3 indented\n\n; c4\nk=v\n", "first.ini");
  first->ReadSectionComment(u"A", lines);
  EXPECT_EQ(lines, (std::vector<String>{u"; c1", u"; c2"}));
  EXPECT_EQ(first->ReadComment(u"A", u"k"), u"  ; c3 indented\r\n; c4");
  EXPECT_EQ(first->ReadSectionComment(u""), u"");
  EXPECT_EQ(first->ReadComment(u"A", u"missing"), u"");
}

TEST(UnquoteValueTest, FollowsTheQuotingTable) {
  struct Case {
    String stored;
    String value;
  };
  const Case cases[] = {
      {u"", u""},
      {u"plain", u"plain"},
      {u"a\"b", u"a\"b"},
      {u"\"a b\"", u"a b"},
      {u"\"a\"\"b\"", u"a\"b"},
      {u"\"\"", u""},
      {u"\"\"\"\"", u"\""},
      {u"\"ab\"cd", u"ab"},
      {u"\"ab\"cd\"", u"ab"},
      {u"\"ab", u"\"ab"},
      {u"\"a\"\"b", u"\"a\"\"b"},
      {u"\"\"abc", u"\"\"abc"},
      {u"\"abc\"\"", u"abc\""},
      {u"\"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(UnquoteValue(c.stored), c.value) << ToUtf8(c.stored);
}

TEST(ReadIntegerTest, AcceptsDecimalAndHexTextOnly) {
  struct Case {
    String value;
    int32_t expected;
  };
  const int32_t d = 7;
  const Case cases[] = {
      {u"12", 12},
      {u" 12", 12},
      {u"   -12", -12},
      {u"+5", 5},
      {u"00012", 12},
      {u"12 ", d},
      {u"\t12", d},
      {u"- 5", d},
      {u"", d},
      {u"-", d},
      {u"abc", d},
      {u"1e3", d},
      {u"12a", d},
      {u"0x1F", 31},
      {u"0X1f", 31},
      {u"$1F", 31},
      {u"x1F", 31},
      {u"X1f", 31},
      {u"-0x1F", -31},
      {u"-$1F", -31},
      {u" $10", 16},
      {u"$", d},
      {u"0x", d},
      {u"$G", d},
      {u"$FFFFFFFF", -1},
      {u"0xFFFFFFFF", -1},
      {u"$000000001", 1},
      {u"$100000000", d},
      {u"-$80000000", std::numeric_limits<int32_t>::min()},
      {u"2147483647", std::numeric_limits<int32_t>::max()},
      {u"2147483648", d},
      {u"-2147483648", std::numeric_limits<int32_t>::min()},
      {u"-2147483649", d},
      {u"99999999999999999999", d},
  };
  TVoMemIniFile doc(u"");
  for (const Case& c : cases) {
    doc.WriteString(u"S", u"k", c.value);
    EXPECT_EQ(doc.ReadInteger(u"S", u"k", d), c.expected) << "value \"" << ToUtf8(c.value) << "\"";
  }
  EXPECT_EQ(doc.ReadInteger(u"S", u"missing", d), d);
  EXPECT_EQ(doc.ReadInteger(u"missing", u"k", d), d);
}

TEST(ReadBoolTest, ZeroIsFalseAndAnyOtherNumberTrue) {
  struct Case {
    String value;
    std::optional<bool> expected;  // none: the default
  };
  const Case cases[] = {
      {u"0", false},           {u"1", true},           {u"2", true},        {u"-1", true}, {u"$0", false},
      {u"true", std::nullopt}, {u"yes", std::nullopt}, {u"", std::nullopt},
  };
  TVoMemIniFile doc(u"");
  for (const Case& c : cases) {
    doc.WriteString(u"S", u"b", c.value);
    for (const bool dflt : {false, true}) {
      EXPECT_EQ(doc.ReadBool(u"S", u"b", dflt), c.expected.value_or(dflt)) << ToUtf8(c.value);
    }
  }
}

TEST_F(IniFileTest, AMissingFileGivesAnEmptyDocument) {
  std::filesystem::create_directory(PathOf("folder.ini"));
  for (const char* name : {"absent.ini", "folder.ini"}) {
    const String path = ToString(PathOf(name));
    TVoMemIniFile doc(path);
    EXPECT_EQ(doc.FileName(), path);
    EXPECT_EQ(doc.ReadString(u"A", u"k", kDefault), kDefault);
    EXPECT_EQ(doc.ReadInteger(u"A", u"k", 5), 5);
    std::vector<String> sections{u"stale"};
    doc.ReadSections(sections);
    EXPECT_TRUE(sections.empty());
    EXPECT_TRUE(DocumentLines(doc).empty());
  }
}

std::string Utf16Bytes(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (const char16_t c : text) {
    const char hi = static_cast<char>(c >> 8);
    const char lo = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? hi : lo;
    bytes += bigEndian ? lo : hi;
  }
  return bytes;
}

TEST_F(IniFileTest, EncodingsAreTakenFromTheByteOrderMark) {
  const std::u16string text = u"[\u00C4]\r\nk=\u65E5\u672C \u8A9E\r\n";
  const std::string utf8 = ToUtf8(text);
  struct Case {
    const char* what;
    std::string bytes;
    std::optional<TEncoding> encoding;
  };
  const Case cases[] = {
      {"UTF-8 with BOM", "\xEF\xBB\xBF" + utf8, std::nullopt},
      {"no BOM reads as UTF-8", utf8, std::nullopt},
      {"UTF-16 LE with BOM", "\xFF\xFE" + Utf16Bytes(text, false), std::nullopt},
      {"UTF-16 BE with BOM", "\xFE\xFF" + Utf16Bytes(text, true), std::nullopt},
      {"UTF-16 LE given", Utf16Bytes(text, false), TEncoding::Utf16LE},
      {"UTF-16 LE given, BOM skipped", "\xFF\xFE" + Utf16Bytes(text, false), TEncoding::Utf16LE},
      {"UTF-8 given, BOM skipped", "\xEF\xBB\xBF" + utf8, TEncoding::Utf8},
  };
  for (const Case& c : cases) {
    test::WriteFileBytes(PathOf("enc.ini"), c.bytes);
    const String path = ToString(PathOf("enc.ini"));
    const auto doc = c.encoding ? std::make_unique<TVoMemIniFile>(path, *c.encoding)
                                : std::make_unique<TVoMemIniFile>(path);
    EXPECT_EQ(doc->ReadString(u"\u00C4", u"k", kDefault), u"\u65E5\u672C \u8A9E") << c.what;
    std::vector<String> sections;
    doc->ReadSections(sections);
    EXPECT_EQ(sections, std::vector<String>{u"\u00C4"}) << c.what;
  }
}

TEST_F(IniFileTest, InvalidUtf8NeverStopsLoading) {
  // Not UTF-8 and not CP932: read as Windows-1252, every byte a character of its own.
  const auto doc = LoadBytes("[A]\nbad=x\xFF\xC3y\nnext=1\n[\xED\xA0\x80]\nk=2\n");
  EXPECT_EQ(doc->ReadString(u"A", u"bad", kDefault), u"x\u00FF\u00C3y");
  EXPECT_EQ(doc->ReadInteger(u"A", u"next", 0), 1);
  EXPECT_EQ(doc->ReadInteger(u"\u00ED\u00A0\u20AC", u"k", 0), 2);
  std::vector<String> sections;
  doc->ReadSections(sections);
  EXPECT_EQ(sections.size(), 2u);
  EXPECT_TRUE(doc->Unread().Whole());
}

// Whatever a document written back would no longer hold is counted, and nothing else.
TEST_F(IniFileTest, LoadingCountsWhatItLeavesOut) {
  const struct {
    const char* what;
    std::string bytes;
    bool undecoded;
    size_t dropped;
  } cases[] = {
      {"a document as we write it", "; note\r\n[A]\r\nk=\"a b\"\r\n; end\r\n", false, 0},
      {"spaces, empty lines, a repeated section, a key again with its value",
       "[A]\n\n  k = v \n[B]\nj\n[a]\nK=v\n", false, 0},
      {"a repeated comment", "[A]\n;c\nk=1\n;c\nk=1\n", false, 0},
      {"a section's one key again, its value written alike", "[A]\r\nKey=v1\r\nKEY = \"v1\"\r\n", false, 0},
      {"a section's one key again with another value", "[A]\r\nKey=v1\r\nkey=v2\r\n", false, 1},
      {"a section's one key again after a comment", "[A]\r\nKey=v1\r\n;c\r\nKey=v1\r\n", false, 0},
      {"a key line before the first section", "k=1\n[A]\n", false, 1},
      {"a line without a name", "[A]\n=v\n = w\n", false, 2},
      {"an empty section name", "[A]\n[ ]\n[]\n", false, 2},
      {"a value replaced by a later line", "[A]\nk=1\nk=2\n", false, 1},
      {"a key's comment replaced", "[A]\n;one\nk=1\n;two\nk=1\n", false, 1},
      {"a section's comment replaced", ";one\n[A]\n;two\n[A]\n", false, 1},
      {"text after a NUL", std::string("[A]\nk=1\0[B]\n", 13), false, 1},
      {"a UTF-8 file cut inside a character", "[A]\nk=\xE6\x97\xA5\xE6\x97", true, 0},
      {"an odd last UTF-16 byte", std::string("\xFF\xFE[\0A\0]\0\n", 9), true, 0},
  };
  for (const auto& c : cases) {
    const auto doc = LoadBytes(c.bytes);
    EXPECT_EQ(doc->Unread().UndecodedBytes, c.undecoded) << c.what;
    EXPECT_EQ(doc->Unread().DroppedLines, c.dropped) << c.what;
  }
  EXPECT_TRUE(TVoMemIniFile(ToString(PathOf("missing.ini"))).Unread().Whole());
}

TEST_F(IniFileTest, ValueExistsForKeysWithAnyValue) {
  const auto doc = LoadBytes("[A]\nk=\nj=1\n[B]\n");
  EXPECT_TRUE(doc->ValueExists(u" a ", u" K "));
  EXPECT_TRUE(doc->ValueExists(u"A", u"j"));
  EXPECT_FALSE(doc->ValueExists(u"A", u"x"));
  EXPECT_FALSE(doc->ValueExists(u"B", u"k"));
  EXPECT_FALSE(doc->ValueExists(u"C", u"k"));
}

TEST_F(IniFileTest, HugeLinesAndNulFloodsLoad) {
  const std::string longValue(8 * 1024 * 1024, 'v');
  auto doc = LoadBytes("[A]\nk=" + longValue);
  EXPECT_EQ(doc->ReadString(u"A", u"k", kDefault).size(), longValue.size());

  doc = LoadBytes(std::string(8 * 1024 * 1024, 'x'));  // one line, no section
  EXPECT_TRUE(DocumentLines(*doc).empty());

  doc = LoadBytes("[A]\nk=1\n" + std::string(1024 * 1024, '\0') + "[B]\nj=2\n");
  EXPECT_EQ(doc->ReadString(u"A", u"k", kDefault), u"1");
  EXPECT_EQ(doc->ReadString(u"B", u"j", kDefault), kDefault);
}

// A key line that already reads as it would be stored is kept as it stands in the file; every other
// one is stored anew. Both must give the same key line, value and dropped-line count.
TEST_F(IniFileTest, KeyLinesKeptWhereTheyStandReadAsTheirLines) {
  // A section's first few key lines, one right after another, stay in the file's text; any other
  // layout moves them into the section's list. Both read alike.
  const struct {
    const char* what;
    std::string text;
    std::vector<String> lines;
  } cases[] = {
      {"one after another", "[A]\r\nk=1\r\nj=2\r\n", {u"k=1", u"j=2"}},
      {"mixed line breaks, no break at the end", "[A]\nk=1\rj=2\r\nz=3", {u"k=1", u"j=2", u"z=3"}},
      {"a blank line between", "[A]\nk=1\n\nj=2\n", {u"k=1", u"j=2"}},
      {"more than a few",
       "[A]\na=1\nb=2\nc=3\nd=4\ne=5\nf=6\ng=7\nh=8\ni=9\nj=10\n",
       {u"a=1", u"b=2", u"c=3", u"d=4", u"e=5", u"f=6", u"g=7", u"h=8", u"i=9", u"j=10"}},
      {"a comment before the second", "[A]\nk=1\n;c\nj=2\n", {u"k=1", u";c", u"j=2"}},
      {"the same key again, spelt anew", "[A]\nk=1\nK=2\nj=3\n", {u"K=2", u"j=3"}},
      {"the section named again", "[A]\nk=1\n[B]\nx=1\n[a]\nj=2\n", {u"k=1", u"j=2"}},
      {"a line that is not in stored form", "[A]\nk=1\nj = 2\nz=3\n", {u"k=1", u"j=2", u"z=3"}},
      {"a line without a name between", "[A]\nk=1\n=x\nj=2\n", {u"k=1", u"j=2"}},
  };
  for (const auto& c : cases) {
    const auto doc = LoadBytes(c.text);
    std::vector<String> lines;
    doc->GetStrings(lines);
    ASSERT_GE(lines.size(), 2 + c.lines.size()) << c.what;
    EXPECT_EQ(std::vector<String>(lines.begin() + 2, lines.begin() + 2 + static_cast<long>(c.lines.size())),
              c.lines)
        << c.what;
    for (const String& line : c.lines) {
      if (line.front() == u';') continue;
      const auto equals = line.find(u'=');
      EXPECT_EQ(doc->ReadString(u"a", line.substr(0, equals), kDefault), line.substr(equals + 1)) << c.what;
    }
  }
}

TEST_F(IniFileTest, KeyLinesComeOutInStoredFormWhateverTheirShape) {
  const struct {
    std::string line;
    String stored;
  } cases[] = {
      {"k=v", u"k=v"},
      {"k = v", u"k=v"},
      {"k=a b", u"k=\"a b\""},
      {"k=\"a b\"", u"k=\"a b\""},
      {"k=\"a\"", u"k=a"},
      {"k=\"\"", u"k="},
      {"k=", u"k="},
      {"k", u"k="},
      {"k=\"a\"\"b\"", u"k=\"a\"\"b\""},
      {"k=\"a\"b\"", u"k=a"},
      {"k=\"\"\"", u"k=\"\"\"\""},
      {"k=\"\"\"\"", u"k=\"\"\"\""},
      {"k=x\"y", u"k=\"x\"\"y\""},
      {"k=\"a b", u"k=\"\"\"a b\""},
  };
  for (const auto& c : cases) {
    const auto doc = LoadBytes("[s]\r\n" + c.line + "\r\n");
    std::vector<String> lines;
    doc->ReadSectionValues(u"s", lines);
    EXPECT_EQ(lines, std::vector<String>{c.stored}) << c.line;
    EXPECT_EQ(doc->ReadString(u"s", u"K", u"default"), UnquoteValue(c.stored.substr(2))) << c.line;
    EXPECT_EQ(doc->Unread().DroppedLines, 0u) << c.line;

    // Repeated with its own stored form, the key keeps one value; with another value, a line is lost.
    EXPECT_EQ(LoadBytes("[s]\r\n" + c.line + "\r\n" + ToUtf8(c.stored) + "\r\n")->Unread().DroppedLines, 0u)
        << c.line;
    EXPECT_EQ(LoadBytes("[s]\r\n" + c.line + "\r\nk=other\r\n")->Unread().DroppedLines, 1u) << c.line;
  }
}

TEST_F(IniFileTest, KeysCollidingInOneBucketAreAllFound) {
  // Four-character keys over "0".."Z" without ";" and "=", all in bucket 0.
  const std::string digits = "0123456789:<>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  const std::size_t base = digits.size();
  TVoStringHash hash;
  std::vector<std::string> keys;
  for (std::size_t n = 0; n < base * base * base * base && keys.size() < 4000; ++n) {
    const std::string key{digits[n % base], digits[n / base % base], digits[n / base / base % base],
                          digits[n / base / base / base]};
    if (hash.HashOf(FromUtf8(key)) == 0) keys.push_back(key);
  }
  ASSERT_GT(keys.size(), 2000u);
  std::string text = "[A]\n";
  for (std::size_t i = 0; i < keys.size(); ++i) text += keys[i] + "=" + std::to_string(i) + "\n";
  const auto doc = LoadBytes(text);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    ASSERT_EQ(doc->ReadInteger(u"a", FromUtf8(keys[i]), -1), static_cast<int32_t>(i)) << keys[i];
  }
}

TEST_F(IniFileTest, ManySmallSectionsLoad) {
  std::string text;
  const int count = 20000;
  for (int i = 0; i < count; ++i) text += "[s" + std::to_string(i) + "]\nk=" + std::to_string(i) + "\n";
  const auto doc = LoadBytes(text);
  std::vector<String> sections;
  doc->ReadSections(sections);
  EXPECT_EQ(sections.size(), static_cast<std::size_t>(count));
  EXPECT_EQ(doc->ReadInteger(u"S19999", u"K", -1), 19999);
}

// Lines that are ASCII are held as the file's own bytes, other lines as UTF-16 copies: both are
// found, compared and written back alike, in short key lists and in indexed long ones.
TEST_F(IniFileTest, AsciiLinesAndOtherLinesReadAlike) {
  const struct {
    const char* what;
    int keys;
    std::string neighbour;  // a line of the same section
  } cases[] = {
      {"short list, ASCII only", 3, "plain=1"},
      {"short list beside a non-ASCII line", 3, "\xC3\xA9t\xC3\xA9=\xE6\x97\xA5"},
      {"indexed list, ASCII only", 40, "plain=1"},
      {"indexed list beside a non-ASCII line", 40, "\xC3\xA9t\xC3\xA9=\xE6\x97\xA5"},
  };
  for (const auto& c : cases) {
    std::string text = "[Sec]\r\n" + c.neighbour + "\r\nq=\"a b\"\r\nr = x  y \r\n";
    for (int i = 0; i < c.keys; ++i) text += "Key" + std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
    const auto doc = LoadBytes(text);
    for (int i = 0; i < c.keys; ++i) {
      const String key = u"kEY" + IntToStr(i);
      ASSERT_EQ(doc->ReadString(u" sEC ", key, kDefault), u"v" + IntToStr(i)) << c.what;
      ASSERT_TRUE(doc->ValueExists(u"SEC", key)) << c.what;
    }
    EXPECT_EQ(doc->ReadString(u"sec", u"Q", kDefault), u"a b") << c.what;
    EXPECT_EQ(doc->ReadString(u"sec", u"R", kDefault), u"x  y") << c.what;
    EXPECT_EQ(doc->ReadString(u"sec", u"key" + IntToStr(c.keys), kDefault), kDefault) << c.what;
    EXPECT_EQ(doc->ReadString(u"sec", u"\u00C9T\u00C9", kDefault), kDefault)
        << c.what << ": only ASCII letters fold";

    std::vector<String> names;
    doc->ReadSection(u"SEC", names);
    ASSERT_EQ(names.size(), static_cast<size_t>(c.keys) + 3) << c.what;
    EXPECT_EQ(names[0], FromUtf8(c.neighbour.substr(0, c.neighbour.find('=')))) << c.what;
    EXPECT_EQ(names.back(), u"Key" + IntToStr(c.keys - 1)) << c.what;
    std::vector<String> lines;
    doc->ReadSectionValues(u"sec", lines);
    EXPECT_EQ(lines[1], u"q=\"a b\"") << c.what;
    EXPECT_EQ(lines[2], u"r=\"x  y\"") << c.what;

    doc->UpdateFile();
    std::string saved = "[Sec]\r\n\r\n" + c.neighbour + "\r\nq=\"a b\"\r\nr=\"x  y\"\r\n";
    for (int i = 0; i < c.keys; ++i) saved += "Key" + std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
    EXPECT_EQ(FileBytes(), saved + "\r\n") << c.what;
  }
}

}  // namespace
}  // namespace kestrum
