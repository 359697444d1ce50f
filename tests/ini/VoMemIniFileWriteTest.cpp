#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/Files.h"
#include "ini/VoMemIniFile.h"
#include "tests/ini/IniTestSupport.h"

namespace kestrum {
namespace {

using test::DocumentLines;
using test::FolderContents;
using test::IniFileTest;

const String kDefault = u"<default>";

// A change to a loaded document and the lines it leaves.
struct TDocumentChange {
  const char* what;
  std::function<void(TVoMemIniFile&)> change;
  std::vector<String> lines;
};

enum class Refusal { Section, Name, Value };

bool IsRefusal(const Exception& e, Refusal kind) {
  switch (kind) {
    case Refusal::Section:
      return dynamic_cast<const EVoMemIniFileInvalidSection*>(&e) != nullptr;
    case Refusal::Name:
      return dynamic_cast<const EVoMemIniFileInvalidName*>(&e) != nullptr;
    case Refusal::Value:
      return dynamic_cast<const EVoMemIniFileInvalidValue*>(&e) != nullptr;
  }
  return false;
}

TEST(WriteStringTest, RefusedWritesRaiseTheirMessageAndChangeNoKey) {
  struct Case {
    String section;
    String ident;
    String value;
    Refusal kind;
    String message;
    bool sectionCreated;
  };
  const Case cases[] = {
      {u"  ", u"k", u"v", Refusal::Section, u"空のセクション名", false},
      {u"\t", u"=", u"\r", Refusal::Section, u"空のセクション名", false},
      {u"A", u"k", u"a\r\nb", Refusal::Value, u"値が CR を含む", false},
      {u"A", u"k", u"a\nb", Refusal::Value, u"値が LF を含む", false},
      {u"A", u"=", u"\n", Refusal::Value, u"値が LF を含む", false},
      {u"A", u" \t ", u"v", Refusal::Name, u"空の名前", true},
      {u"A", u"a=b", u"v", Refusal::Name, u"名前が \"=\" を含んでいる", true},
      {u"A", u";a", u"v", Refusal::Name, u"名前の先頭が \";\"", true},
      {u"A", u" ;a", u"v", Refusal::Name, u"名前の先頭が \";\"", true},
      // A line break or NUL inside a name or value would split or cut the line in the file.
      {u"A\rB", u"k", u"v", Refusal::Section, u"セクション名が CR を含む", false},
      {u"A", u"a\nb", u"v", Refusal::Name, u"名前が LF を含む", true},
      {u"A", u"k", String(u"a\0b", 3), Refusal::Value, u"値が NUL を含む", false},
  };
  for (const Case& c : cases) {
    TVoMemIniFile doc(u"");
    const String what = c.section + u"|" + c.ident + u"|" + c.value;
    try {
      doc.WriteString(c.section, c.ident, c.value);
      ADD_FAILURE() << "accepted " << ToUtf8(what);
    } catch (const Exception& e) {
      EXPECT_TRUE(IsRefusal(e, c.kind)) << ToUtf8(what);
      EXPECT_EQ(e.Message(), c.message) << ToUtf8(what);
    }
    std::vector<String> sections;
    doc.ReadSections(sections);
    EXPECT_EQ(sections, c.sectionCreated ? std::vector<String>{u"A"} : std::vector<String>{}) << ToUtf8(what);
    std::vector<String> keys;
    doc.ReadSection(c.section, keys);
    EXPECT_TRUE(keys.empty()) << ToUtf8(what);
  }
}

TEST(WriteStringTest, NamesAreTrimmedAndOddButHarmlessNamesAccepted) {
  TVoMemIniFile doc(u"");
  doc.WriteString(u" A ", u"a;", u"1");
  doc.WriteString(u"A", u" a b ", u"2");
  doc.WriteString(u"a", u"\u3000x", u"3");
  std::vector<String> lines;
  doc.ReadSectionValues(u"A", lines);
  EXPECT_EQ(lines, (std::vector<String>{u"a;=1", u"a b=2", u"\u3000x=3"}));
  doc.ReadSections(lines);
  EXPECT_EQ(lines, std::vector<String>{u"A"});
}

TEST(WriteStringTest, RewritingAKeyKeepsItsPlaceAndComment) {
  TVoMemIniFile doc(u"");
  doc.WriteString(u"A", u"key", u"1");
  doc.WriteString(u"A", u"z", u"2");
  doc.WriteComment(u"A", u"key", u"note");
  doc.WriteString(u"a", u"KEY", u"5");
  EXPECT_EQ(DocumentLines(doc), (std::vector<String>{u"[A]", u"", u";note", u"KEY=5", u"z=2", u""}));
  EXPECT_EQ(doc.ReadString(u"A", u"Key", kDefault), u"5");
}

TEST(WriteStringTest, TypedWritesStoreDecimalText) {
  TVoMemIniFile doc(u"");
  doc.WriteInteger(u"S", u"neg", -5);
  doc.WriteInteger(u"S", u"min", -2147483647 - 1);
  doc.WriteBool(u"S", u"yes", true);
  doc.WriteBool(u"S", u"no", false);
  std::vector<String> lines;
  doc.ReadSectionValues(u"S", lines);
  EXPECT_EQ(lines, (std::vector<String>{u"neg=-5", u"min=-2147483648", u"yes=1", u"no=0"}));
  EXPECT_EQ(doc.ReadInteger(u"S", u"neg", 0), -5);
  EXPECT_EQ(doc.ReadInteger(u"S", u"min", 0), -2147483647 - 1);
  EXPECT_TRUE(doc.ReadBool(u"S", u"yes", false));
  EXPECT_FALSE(doc.ReadBool(u"S", u"no", true));
}

TEST_F(IniFileTest, ValuesComeBackFromTheFile) {
  struct Case {
    String name;
    String value;
    String readBack;
  };
  const Case cases[] = {
      {u"k", u" a b ", u" a b "},
      {u"k", u"a\"b", u"a\"b"},
      {u"k", u"\"quoted\"", u"\"quoted\""},
      {u"k", u"\"", u"\""},
      {u"k", u"", u""},
      {u"k", u"x=y", u"x=y"},
      {u"k", u"\u65E5\u672C\u8A9E", u"\u65E5\u672C\u8A9E"},
      {u"k", u"\tx", u"x"},  // unquoted, so the tab goes like any surrounding white space
      {u"k", u"[x]", u"[x]"},
      {u"[k", u"x]", u"x]"},      // must not turn into the header [k=x]
      {u"[k", u"x]\t", u"x]\t"},  // nor when white space the reader trims follows the bracket
      {u"[k", u"", u""},
  };
  for (const Case& c : cases) {
    const String path = ToString(PathOf("values.ini"));
    {
      TVoMemIniFile doc(path);
      doc.Clear();
      doc.WriteString(u"S", c.name, c.value);
      doc.UpdateFile();
    }
    TVoMemIniFile doc(path);
    EXPECT_EQ(doc.ReadString(u"S", c.name, kDefault), c.readBack) << ToUtf8(c.value);
    std::vector<String> sections;
    doc.ReadSections(sections);
    EXPECT_EQ(sections, std::vector<String>{u"S"}) << ToUtf8(c.value);
  }
}

// The document of the layout example: comments before a section, before a key and at the end.
void FillLayoutExample(TVoMemIniFile& doc) {
  doc.WriteString(u"A", u"k", u"v");
  doc.WriteString(u"A", u"n", u"x y");
  doc.WriteSectionComment(u"A", u"; first");
  doc.WriteComment(u"A", u"n", u"; second");
  doc.WriteString(u"B", u"gone", u"1");
  doc.DeleteKey(u"B", u"gone");
  doc.WriteSectionComment(u"", u"; end");
}

TEST_F(IniFileTest, SavedTextHasTheFixedLayout) {
  TVoMemIniFile doc(ToString(PathOf("layout.ini")));
  FillLayoutExample(doc);
  doc.UpdateFile();
  EXPECT_EQ(FileBytes("layout.ini"),
            "; first\r\n[A]\r\n\r\nk=v\r\n; second\r\nn=\"x y\"\r\n\r\n[B]\r\n\r\n\r\n; end\r\n");
}

TEST_F(IniFileTest, AnEmptyDocumentIsSavedAsAnEmptyFile) {
  TVoMemIniFile doc(ToString(PathOf("empty.ini")));
  doc.UpdateFile();
  EXPECT_TRUE(std::filesystem::exists(PathOf("empty.ini")));
  EXPECT_EQ(FileBytes("empty.ini"), "");
}

TEST_F(IniFileTest, LoadingAndSavingNormalisesTheLayoutOnly) {
  const auto doc = LoadBytes(
      "; head\n\n\n[A]\nk = v w\n\n  ; indented\nj=1\r\n[B]\r[C]\n"
      "q=\"\"\"\"\n; tail 1\n\n; tail 2\n");
  doc->UpdateFile();
  const std::string saved = FileBytes();
  EXPECT_EQ(saved,
            "; head\r\n[A]\r\n\r\nk=\"v w\"\r\n  ; indented\r\nj=1\r\n\r\n"
            "[B]\r\n\r\n\r\n[C]\r\n\r\nq=\"\"\"\"\r\n\r\n; tail 1\r\n; tail 2\r\n");
  const std::vector<String> lines = DocumentLines(*doc);
  const auto reloaded = LoadBytes(saved, "again.ini");
  EXPECT_EQ(DocumentLines(*reloaded), lines);
  reloaded->UpdateFile();
  EXPECT_EQ(FileBytes("again.ini"), saved);
}

TEST_F(IniFileTest, CommentsSurviveWritesAndSaves) {
  const auto doc = LoadBytes("; about raids\n[RAID]\n; how many\nCOUNT=1\n0=Old\n; the end\n");
  doc->WriteInteger(u"RAID", u"COUNT", 2);
  doc->WriteString(u"RAID", u"1", u"New One");
  doc->WriteString(u"CHARA", u"COUNT", u"0");
  doc->UpdateFile();
  EXPECT_EQ(FileBytes(),
            "; about raids\r\n[RAID]\r\n\r\n; how many\r\nCOUNT=2\r\n0=Old\r\n1=\"New One\"\r\n\r\n"
            "[CHARA]\r\n\r\nCOUNT=0\r\n\r\n; the end\r\n");
}

TEST(CopyAsCommentTest, EveryLineBecomesACommentLine) {
  const std::vector<String> source{u"hello", u"", u"  x", u"  ;kept", u";kept", u"a\r\nb", u"   "};
  std::vector<String> dest{u"old"};
  CopyAsComment(source, dest);
  EXPECT_EQ(dest,
            (std::vector<String>{u";hello", u";", u";  x", u"  ;kept", u";kept", u";a", u";b", u";   "}));
}

TEST(CommentTest, StringFormsSplitAndJoinLines) {
  TVoMemIniFile doc(u"");
  doc.WriteString(u"A", u"k", u"1");
  doc.WriteComment(u"A", u" K ", u"one\r\ntwo\rthree\n");
  std::vector<String> lines;
  doc.ReadComment(u"a", u"k", lines);
  EXPECT_EQ(lines, (std::vector<String>{u";one", u";two", u";three"}));
  EXPECT_EQ(doc.ReadComment(u"A", u"k"), u";one\r\n;two\r\n;three");

  doc.WriteSectionComment(u"A", std::vector<String>{u"  ; lead", u"", u"   "});
  EXPECT_EQ(doc.ReadSectionComment(u"A"), u"  ; lead\r\n;\r\n;");

  doc.WriteComment(u"A", u"k", u"");  // an empty text removes the block
  doc.ReadComment(u"A", u"k", lines);
  EXPECT_TRUE(lines.empty());
  doc.WriteSectionComment(u"A", u"");
  EXPECT_EQ(doc.ReadSectionComment(u"A"), u"");
  EXPECT_EQ(DocumentLines(doc), (std::vector<String>{u"[A]", u"", u"k=1", u""}));
}

TEST(CommentTest, CommentsOnAbsentSectionsOrKeysCreateNothing) {
  TVoMemIniFile doc(u"");
  doc.WriteString(u"A", u"k", u"1");
  doc.WriteComment(u"A", u"missing", u"x");
  doc.WriteComment(u"B", u"k", u"x");
  doc.WriteSectionComment(u"B", u"x");
  EXPECT_EQ(DocumentLines(doc), (std::vector<String>{u"[A]", u"", u"k=1", u""}));
  std::vector<String> lines{u"stale"};
  doc.ReadComment(u"A", u"missing", lines);
  EXPECT_TRUE(lines.empty());
}

TEST(EraseAndDeleteTest, RemoveWhatTheyNameOnly) {
  TVoMemIniFile doc(u"");
  doc.WriteString(u"A", u"k", u"1");
  doc.WriteString(u"A", u"j", u"2");
  doc.WriteString(u"B", u"k", u"3");
  doc.WriteComment(u"A", u"k", u"c");
  doc.DeleteKey(u" a ", u" K ");
  doc.DeleteKey(u"A", u"missing");
  doc.DeleteKey(u"missing", u"j");
  EXPECT_EQ(DocumentLines(doc), (std::vector<String>{u"[A]", u"", u"j=2", u"", u"[B]", u"", u"k=3", u""}));
  doc.DeleteKey(u"B", u"k");  // the section stays
  EXPECT_EQ(doc.ReadString(u"A", u"k", kDefault), kDefault);

  try {
    doc.EraseSection(u"  ");
    ADD_FAILURE() << "erased the unnamed section";
  } catch (const EVoMemIniFileInvalidSection& e) {
    EXPECT_EQ(e.Message(), u"無名セクションは削除できません");
  }
  doc.EraseSection(u"missing");
  doc.EraseSection(u"a");
  EXPECT_EQ(DocumentLines(doc), (std::vector<String>{u"[B]", u"", u""}));
}

TEST(ClearTest, LeavesAnEmptyDocumentThatStillTakesAnEndComment) {
  TVoMemIniFile doc(u"");
  FillLayoutExample(doc);
  doc.Clear();
  EXPECT_TRUE(DocumentLines(doc).empty());
  doc.WriteSectionComment(u"", u"end");
  EXPECT_EQ(DocumentLines(doc), std::vector<String>{u";end"});
}

TEST(CaseSensitiveTest, SwitchingReloadsAndMergesUnderTheNewRule) {
  TVoMemIniFile doc(u"");
  doc.SetCaseSensitive(true);
  EXPECT_TRUE(doc.CaseSensitive());
  doc.WriteString(u"A", u"k", u"1");
  doc.WriteString(u"a", u"k", u"2");
  doc.WriteString(u"a", u"K", u"3");
  doc.WriteComment(u"a", u"K", u"upper");
  doc.WriteSectionComment(u"", u"end");
  EXPECT_EQ(doc.ReadString(u"A", u"K", kDefault), kDefault);
  std::vector<String> sections;
  doc.ReadSections(sections);
  EXPECT_EQ(sections, (std::vector<String>{u"A", u"a"}));

  doc.SetCaseSensitive(false);
  doc.ReadSections(sections);
  EXPECT_EQ(sections, std::vector<String>{u"A"});
  EXPECT_EQ(DocumentLines(doc), (std::vector<String>{u"[A]", u"", u";upper", u"K=3", u"", u";end"}));
  doc.WriteString(u"a", u"NEW", u"x");
  EXPECT_EQ(doc.ReadString(u"A", u"new", kDefault), u"x");
}

TEST_F(IniFileTest, UpdateFileWritesTheGivenEncodingWithItsMark) {
  struct Case {
    TEncoding encoding;
    std::string prefix;
  };
  const Case cases[] = {
      {TEncoding::Utf8, "\xEF\xBB\xBF; first\r\n"},
      {TEncoding::Utf16LE, std::string("\xFF\xFE;\0 \0", 6)},
      {TEncoding::Utf16BE, std::string("\xFE\xFF\0;\0 ", 6)},
      {TEncoding::Ansi, "; first\r\n"},
  };
  for (const Case& c : cases) {
    const String path = ToString(PathOf("enc.ini"));
    std::vector<String> lines;
    {
      TVoMemIniFile doc(path);
      doc.Clear();
      FillLayoutExample(doc);
      doc.WriteString(u"\u03B1", u"\u65E5", u"\u672C");  // Greek and Japanese: in CP932 too
      doc.UpdateFile(c.encoding);
      lines = DocumentLines(doc);
    }
    EXPECT_EQ(FileBytes("enc.ini").substr(0, c.prefix.size()), c.prefix);
    EXPECT_EQ(DocumentLines(TVoMemIniFile(path)), lines);
  }
}

TEST_F(IniFileTest, FailedSaveRaisesAndLeavesFilesAndDocumentAlone) {
  std::filesystem::create_directory(PathOf("taken.ini"));
  test::WriteFileBytes(PathOf("plain"), "x");
  for (const char* target : {"taken.ini", "missing/doc.ini", "plain/doc.ini"}) {
    TVoMemIniFile doc(ToString(PathOf(target)));
    FillLayoutExample(doc);
    const std::vector<String> lines = DocumentLines(doc);
    const std::set<std::string> before = FolderContents(home_.Root());
    EXPECT_THROW(doc.UpdateFile(), EFileError) << target;
    EXPECT_EQ(FolderContents(home_.Root()), before) << target;
    EXPECT_EQ(DocumentLines(doc), lines) << target;
  }
  EXPECT_TRUE(std::filesystem::is_directory(PathOf("taken.ini")));
  EXPECT_EQ(FileBytes("plain"), "x");
}

// A section that holds nothing yet reads, writes and saves like any other.
TEST_F(IniFileTest, SectionsWithoutKeysTakeEveryOperation) {
  const std::vector<String> loaded = {u"[A]", u"", u"", u"[B]", u"", u"k=1", u""};
  const TDocumentChange cases[] = {
      {"nothing", [](TVoMemIniFile&) {}, loaded},
      {"section comment",
       [](TVoMemIniFile& d) { d.WriteSectionComment(u"a", u"c"); },
       {u";c", u"[A]", u"", u"", u"[B]", u"", u"k=1", u""}},
      {"key written",
       [](TVoMemIniFile& d) { d.WriteString(u" a ", u"x", u"1"); },
       {u"[A]", u"", u"x=1", u"", u"[B]", u"", u"k=1", u""}},
      {"key comment on no key", [](TVoMemIniFile& d) { d.WriteComment(u"A", u"k", u"c"); }, loaded},
      {"key deleted from none", [](TVoMemIniFile& d) { d.DeleteKey(u"A", u"k"); }, loaded},
      {"erased", [](TVoMemIniFile& d) { d.EraseSection(u"A"); }, {u"[B]", u"", u"k=1", u""}},
      {"emptied", [](TVoMemIniFile& d) { d.EmptySection(u"a"); }, loaded},
      {"end comment",
       [](TVoMemIniFile& d) { d.WriteSectionComment(u"", u"end"); },
       {u"[A]", u"", u"", u"[B]", u"", u"k=1", u"", u";end"}},
  };
  for (const auto& c : cases) {
    const auto doc = LoadBytes("[A]\r\n[B]\r\nk=1\r\n");
    EXPECT_EQ(doc->ReadString(u"A", u"k", kDefault), kDefault) << c.what;
    EXPECT_FALSE(doc->ValueExists(u"A", u"k")) << c.what;
    EXPECT_EQ(doc->ReadSectionComment(u"A"), u"") << c.what;
    c.change(*doc);
    EXPECT_EQ(DocumentLines(*doc), c.lines) << c.what;
  }
}

TEST_F(IniFileTest, SectionsOfOneKeyTakeEveryOperation) {
  // Section A holds one key line as it stands in the file; B holds two.
  const std::vector<String> loaded = {u"[A]", u"", u"Key=v1", u"", u"[B]", u"", u"k=1", u"j=2", u""};
  const TDocumentChange cases[] = {
      {"nothing", [](TVoMemIniFile&) {}, loaded},
      {"second key",
       [](TVoMemIniFile& d) { d.WriteString(u"a", u"x", u"2"); },
       {u"[A]", u"", u"Key=v1", u"x=2", u"", u"[B]", u"", u"k=1", u"j=2", u""}},
      {"rewritten",
       [](TVoMemIniFile& d) { d.WriteString(u"A", u" KEY ", u"v 2"); },
       {u"[A]", u"", u"KEY=\"v 2\"", u"", u"[B]", u"", u"k=1", u"j=2", u""}},
      {"key comment",
       [](TVoMemIniFile& d) { d.WriteComment(u"A", u"key", u"c"); },
       {u"[A]", u"", u";c", u"Key=v1", u"", u"[B]", u"", u"k=1", u"j=2", u""}},
      {"no key comment", [](TVoMemIniFile& d) { d.WriteComment(u"A", u"key", u""); }, loaded},
      {"comment on another name", [](TVoMemIniFile& d) { d.WriteComment(u"A", u"Ke", u"c"); }, loaded},
      {"deleted",
       [](TVoMemIniFile& d) { d.DeleteKey(u"a", u"KEY"); },
       {u"[A]", u"", u"", u"[B]", u"", u"k=1", u"j=2", u""}},
      {"deleted and written again",
       [](TVoMemIniFile& d) {
         d.DeleteKey(u"A", u"key");
         d.WriteString(u"A", u"y", u"3");
       },
       {u"[A]", u"", u"y=3", u"", u"[B]", u"", u"k=1", u"j=2", u""}},
      {"another name deleted", [](TVoMemIniFile& d) { d.DeleteKey(u"A", u"Keys"); }, loaded},
      {"erased", [](TVoMemIniFile& d) { d.EraseSection(u"A"); }, {u"[B]", u"", u"k=1", u"j=2", u""}},
      {"emptied in place",
       [](TVoMemIniFile& d) { d.EmptySection(u" a "); },
       {u"[A]", u"", u"", u"[B]", u"", u"k=1", u"j=2", u""}},
      {"emptied with its comment",
       [](TVoMemIniFile& d) {
         d.WriteSectionComment(u"B", u"c");
         d.EmptySection(u"b");
       },
       {u"[A]", u"", u"Key=v1", u"", u"[B]", u"", u""}},
      {"emptied and written again",
       [](TVoMemIniFile& d) {
         d.EmptySection(u"B");
         d.WriteString(u"B", u"k", u"2");
       },
       {u"[A]", u"", u"Key=v1", u"", u"[B]", u"", u"k=2", u""}},
  };
  for (const auto& c : cases) {
    const auto doc = LoadBytes("[A]\r\nKey=v1\r\n[B]\r\nk=1\r\nj=2\r\n");
    EXPECT_EQ(doc->ReadString(u"a", u" KEY ", kDefault), u"v1") << c.what;
    EXPECT_EQ(doc->ReadString(u"A", u"Ke", kDefault), kDefault) << c.what;
    EXPECT_EQ(doc->ReadString(u"A", u"Key=v1", kDefault), kDefault) << c.what;
    EXPECT_TRUE(doc->ValueExists(u"A", u"key")) << c.what;
    EXPECT_FALSE(doc->ValueExists(u"A", u"k")) << c.what;
    std::vector<String> names;
    doc->ReadSection(u"A", names);
    EXPECT_EQ(names, std::vector<String>{u"Key"}) << c.what;
    doc->ReadSectionValues(u"A", names);
    EXPECT_EQ(names, std::vector<String>{u"Key=v1"}) << c.what;
    c.change(*doc);
    EXPECT_EQ(DocumentLines(*doc), c.lines) << c.what;
  }
}

}  // namespace
}  // namespace kestrum
