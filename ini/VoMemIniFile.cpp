#include "ini/VoMemIniFile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <type_traits>

#include "base/Charset.h"
#include "base/Files.h"
#include "ini/IniText.h"

namespace kestrum {

using namespace ini_text;

namespace {

const char16_t kEmptySection[] = u"空のセクション名";
const char16_t kUnnamedSectionErase[] = u"無名セクションは削除できません";
const char16_t kEmptyName[] = u"空の名前";
const char16_t kNameHasEquals[] = u"名前が \"=\" を含んでいる";
const char16_t kNameStartsWithSemicolon[] = u"名前の先頭が \";\"";

const String kLineBreak = u"\r\n";

// Comment lines as one text: every line followed by CR LF, then trailing white space removed.
String JoinComment(const std::vector<String>& Lines) {
  String text;
  for (const String& line : Lines) text += line + kLineBreak;
  return TrimRight(text);
}

// A CR, LF or NUL inside a name or value would split or end the line when the file is next read,
// so such text is refused with "<What>が CR を含む" (LF, NUL alike).
template <class E>
void RefuseLineBreaks(std::u16string_view Text, std::u16string_view What) {
  // One scan finds whether there is anything to refuse; which break to name is found only then.
  if (Text.find_first_of(std::u16string_view(u"\r\n\0", 3)) == std::u16string_view::npos) return;
  static constexpr struct {
    char16_t Code;
    const char16_t* Label;
  } kBreaks[] = {{u'\r', u"CR"}, {u'\n', u"LF"}, {u'\0', u"NUL"}};
  for (const auto& lineBreak : kBreaks) {
    if (Text.find(lineBreak.Code) != std::u16string_view::npos) {
      throw E(String(What) + u"が " + lineBreak.Label + u" を含む");
    }
  }
}

// Calls Line with each text line of the section's keys: a key's comment lines, then its key line.
template <class F>
void ForEachKeyLine(const TVoMemIniSection& Section, F&& Line) {
  for (int i = 0; i < Section.KeyCount(); ++i) {
    if (const TVoComment* comment = Section.KeyComment(i)) {
      for (const String& line : comment->Comment()) Line(line);
    }
    KeyLineForFile(Section.KeyLine(i), Line);
  }
}

}  // namespace

String UnquoteValue(const String& Value) {
  return Unquoted(Value);
}

void CopyAsComment(const std::vector<String>& Source, std::vector<String>& Dest) {
  std::vector<String> comment;
  const auto addLine = [&comment](std::u16string_view line) {
    const std::u16string_view trimmed = TrimmedView(line);
    String& added = comment.emplace_back();
    if (trimmed.empty() || trimmed.front() != u';') added += u';';
    added += line;
  };
  for (const String& line : Source) {
    // A break inside one entry would start an uncommented line in the file.
    if (line.find_first_of(std::u16string_view(u"\r\n\0", 3)) == String::npos) {
      addLine(line);
    } else {
      ForEachLine(std::u16string_view(line), addLine);
    }
  }
  Dest = std::move(comment);
}

// ---- TVoMemIniSection

struct TVoMemIniSection::TParts {
  TParts() : Keys(true) { Keys.SetUseNameAsKey(true); }
  // Few sections have a comment block; the others hold a word for it, not a vector.
  std::unique_ptr<std::vector<String>> Comment;
  TVoHashedStringList Keys;
};

TVoMemIniSection::TVoMemIniSection() = default;

TVoMemIniSection::~TVoMemIniSection() {
  delete PartsIfAny();
}

TVoMemIniSection::TParts& TVoMemIniSection::Parts() {
  if (FRun != nullptr) {
    auto parts = std::make_unique<TParts>();
    for (std::size_t i = 0; i < FRunLength; ++i) parts->Keys.AddBorrowed(RunLine(i));
    FRun = nullptr;
    FParts = parts.release();
  } else if (FParts == nullptr) {
    FParts = new TParts();
  }
  return *FParts;
}

std::string_view TVoMemIniSection::LineAt(const char* Start) {
  return {Start, std::strcspn(Start, "\r\n")};
}

const char* TVoMemIniSection::NextLine(std::string_view Line) {
  const char* end = Line.data() + Line.size();
  return end + (end[0] == '\r' && end[1] == '\n' ? 2 : 1);
}

std::string_view TVoMemIniSection::RunLine(std::size_t Index) const {
  const char* start = FRun;
  for (std::size_t i = 0; i < Index; ++i) start = NextLine(LineAt(start));
  return LineAt(start);
}

std::vector<String>& TVoMemIniSection::Comment() {
  TParts& parts = Parts();
  if (!parts.Comment) parts.Comment = std::make_unique<std::vector<String>>();
  return *parts.Comment;
}

const std::vector<String>& TVoMemIniSection::Comment() const {
  static const std::vector<String> none;
  const TParts* parts = PartsIfAny();
  return parts != nullptr && parts->Comment ? *parts->Comment : none;
}

TVoHashedStringList& TVoMemIniSection::Keys() {
  return Parts().Keys;
}

int TVoMemIniSection::KeyCount() const {
  if (FRun != nullptr) return static_cast<int>(FRunLength);
  return FParts != nullptr ? FParts->Keys.Count() : 0;
}

TVoText TVoMemIniSection::KeyLine(int Index) const {
  if (FRun != nullptr) return TVoText::FromAscii(RunLine(static_cast<std::size_t>(Index)));
  return FParts->Keys.TextOf(Index);
}

const TVoComment* TVoMemIniSection::KeyComment(int Index) const {
  const TParts* parts = PartsIfAny();
  return parts != nullptr ? static_cast<const TVoComment*>(parts->Keys.GetObjects(Index)) : nullptr;
}

int TVoMemIniSection::IndexOfKey(std::u16string_view Name) const {
  if (const TParts* parts = PartsIfAny()) return parts->Keys.IndexOfName(Name);
  if (FRun == nullptr) return -1;
  // A run is case-insensitive, as a new list is.
  const char* start = FRun;
  for (std::size_t i = 0; i < FRunLength; ++i) {
    const std::string_view line = LineAt(start);
    if (SameNameAscii(TVoText::FromAscii(line.substr(0, line.find('='))), Name)) return static_cast<int>(i);
    start = NextLine(line);
  }
  return -1;
}

void TVoMemIniSection::AddBorrowedKey(std::string_view Line) {
  // The run takes a line that ends where its line does and comes right after the run's last line.
  const char after = Line.data()[Line.size()];
  const bool wholeLine = after == '\r' || after == '\n' || after == '\0';
  if (wholeLine && FRun == nullptr && FParts == nullptr) {
    FRun = Line.data();
    FRunLength = 1;
  } else if (wholeLine && FRun != nullptr && FRunLength < kRunKeys &&
             NextLine(RunLine(FRunLength - 1)) == Line.data()) {
    ++FRunLength;
  } else {
    Keys().AddBorrowed(Line);
  }
}

void TVoMemIniSection::Clear() {
  if (TParts* parts = PartsIfAny()) parts->Keys.Clear();
  if (FRun != nullptr) {
    FRun = nullptr;
    FParts = nullptr;
  }
}

void TVoMemIniSection::ShrinkToFit() {
  if (TParts* parts = PartsIfAny()) parts->Keys.ShrinkToFit();
}

void TVoMemIniSection::DeleteKey(const String& Ident) {
  const int index = IndexOfKey(TrimmedView(Ident));
  if (index >= 0) Keys().Delete(index);
}

void TVoMemIniSection::GetStrings(std::vector<String>& List) const {
  ForEachKeyLine(*this, [&List](TVoText line) { List.push_back(line.ToString()); });
}

String TVoMemIniSection::ReadString(const String& Ident, const String& Default) const {
  const std::u16string_view name = TrimmedView(Ident);
  const int index = IndexOfKey(name);
  if (index < 0) return Default;
  return Unquoted(KeyLine(index).substr(name.size() + 1));
}

void TVoMemIniSection::ReadComment(const String& Ident, std::vector<String>& Comment) const {
  const int index = IndexOfKey(TrimmedView(Ident));
  if (index < 0) return;
  if (const TVoComment* comment = KeyComment(index)) Comment = comment->Comment();
}

void TVoMemIniSection::WriteString(std::u16string_view Ident, std::u16string_view Value) {
  const std::u16string_view name = TrimmedView(Ident);
  if (name.empty()) throw EVoMemIniFileInvalidName(kEmptyName);
  if (name.find(u'=') != std::u16string_view::npos) throw EVoMemIniFileInvalidName(kNameHasEquals);
  if (name.front() == u';') throw EVoMemIniFileInvalidName(kNameStartsWithSemicolon);
  RefuseLineBreaks<EVoMemIniFileInvalidName>(name, u"名前");
  Keys().SetValuesByName(Ident, Value);  // trims the name itself
}

void TVoMemIniSection::WriteComment(const String& Ident, const std::vector<String>& Comment) {
  const std::u16string_view name = TrimmedView(Ident);
  if (IndexOfKey(name) < 0) return;
  if (Comment.empty()) {
    if (TParts* parts = PartsIfAny()) parts->Keys.SetObjectsByName(name, nullptr);  // a run has none
    return;
  }
  auto comment = std::make_unique<TVoComment>(Comment);
  Keys().SetObjectsByName(name, comment.get());
  static_cast<void>(comment.release());  // the key list owns it now
}

// ---- TVoMemIniFile

struct TVoMemIniFile::TParseState {
  // The line being parsed as it stands in FLoadedBytes, when it is ASCII, beside the UTF-16 copy the
  // parser reads; parts of such a line are used in place. Empty otherwise.
  std::string_view Narrow;
  const char16_t* Wide = nullptr;
  // Part, a piece of the UTF-16 copy, as it stands in FLoadedBytes; empty when the line is not ASCII.
  std::string_view NarrowOf(std::u16string_view Part) const;
  int CurrentIndex = -1;        // the section key lines go to; none before the first header
  std::vector<String> Pending;  // comment lines waiting for the section or key they precede
  size_t Dropped = 0;           // lines whose content the document does not keep
};

TVoMemIniFile::TVoMemIniFile(const String& FileName) : FFileName(FileName), FSections(true) {
  AddSection(String());
  Load(std::nullopt);
}

TVoMemIniFile::TVoMemIniFile(const String& FileName, TEncoding Encoding)
    : FFileName(FileName), FSections(true) {
  AddSection(String());
  Load(Encoding);
}

void TVoMemIniFile::Load(std::optional<TEncoding> Encoding) {
  if (FFileName.empty() || !FileExists(FFileName)) return;
  FLoadedBytes = ReadFileBytes(FFileName);
  FFileStamp = StampOfBytes(FLoadedBytes);
  // The text is kept as UTF-8, which most files already are: then their bytes serve as they are.
  if (const std::optional<std::string_view> text = Utf8TextOf(FLoadedBytes, Encoding)) {
    FLoadedText = *text;
  } else {
    TDecodedText decoded = Encoding ? DecodeText(FLoadedBytes, *Encoding) : DecodeText(FLoadedBytes);
    std::string().swap(FLoadedBytes);
    FUnread.UndecodedBytes = !decoded.Whole;
    FLoadedBytes = ToUtf8(decoded.Text);
    FLoadedText = FLoadedBytes;
  }
  FUnread.DroppedLines = ParseLoadedText();
}

const TVoMemIniSection* TVoMemIniFile::FindSection(std::u16string_view Name) const {
  const int index = FSections.IndexOf(Name);
  return index < 0 ? nullptr : &SectionAt(index);
}

TVoMemIniSection* TVoMemIniFile::ExistingSectionObject(std::u16string_view Name) {
  const int index = FSections.IndexOf(Name);
  return index < 0 ? nullptr : static_cast<TVoMemIniSection*>(FSections.GetObjects(index));
}

TVoMemIniSection* TVoMemIniFile::FindSectionForWrite(std::u16string_view Name) {
  const int index = FSections.IndexOf(Name);
  return index < 0 ? nullptr : &WritableSectionAt(index);
}

const TVoMemIniSection& TVoMemIniFile::SectionAt(int Index) const {
  static const TVoMemIniSection empty;
  const auto* section = static_cast<const TVoMemIniSection*>(FSections.GetObjects(Index));
  return section != nullptr ? *section : empty;
}

TVoMemIniSection& TVoMemIniFile::WritableSectionAt(int Index) {
  if (auto* section = static_cast<TVoMemIniSection*>(FSections.GetObjects(Index))) return *section;
  auto section = std::make_unique<TVoMemIniSection>();
  // A new key list is case-insensitive; only the other rule needs the list made now.
  if (FSections.CaseSensitive()) section->Keys().SetCaseSensitive(true);
  FSections.PutObject(Index, section.get());
  return *section.release();  // the section list owns it now
}

int TVoMemIniFile::AddSection(std::u16string_view Name, std::string_view Narrow) {
  return Narrow.empty() ? FSections.Add(String(Name)) : FSections.AddBorrowed(Narrow);
}

size_t TVoMemIniFile::ParseLoadedText() {
  TParseState state;
  String wide;  // the line in UTF-16, for the parser; one buffer serves every line
  ForEachLine(FLoadedText, [&](std::string_view line) {
    const bool ascii = WidenAscii(line, wide);
    if (!ascii) wide = FromUtf8(line);
    state.Narrow = ascii ? line : std::string_view();
    state.Wide = wide.data();
    ParseLine(wide, state);
  });
  state.Narrow = {};
  FinishParse(state);
  if (FLoadedText.find('\0') != std::string_view::npos) ++state.Dropped;
  return state.Dropped;
}

std::string_view TVoMemIniFile::TParseState::NarrowOf(std::u16string_view Part) const {
  if (Narrow.empty()) return {};
  return Narrow.substr(static_cast<std::size_t>(Part.data() - Wide), Part.size());
}

void TVoMemIniFile::ParseLines(const std::vector<String>& Lines) {
  TParseState state;
  for (const String& line : Lines) ParseLine(line, state);
  FinishParse(state);
}

void TVoMemIniFile::ParseLine(std::u16string_view Line, TParseState& State) {
  const std::u16string_view trimmed = TrimmedView(Line);
  if (trimmed.empty()) return;
  if (trimmed.front() == u';') {
    State.Pending.emplace_back(Line);
    return;
  }
  if (trimmed.front() == u'[' && trimmed.back() == u']') {
    const std::u16string_view name = TrimmedView(trimmed.substr(1, trimmed.size() - 2));
    if (name.empty()) {
      ++State.Dropped;
      return;
    }
    int index = FSections.IndexOf(name);
    if (index < 0) index = AddSection(name, State.NarrowOf(name));
    EndSectionParse(State);
    State.CurrentIndex = index;
    if (!State.Pending.empty()) {
      TVoMemIniSection& section = WritableSectionAt(index);
      if (!section.Comment().empty() && section.Comment() != State.Pending) ++State.Dropped;
      section.Comment() = std::move(State.Pending);
      State.Pending.clear();
    }
    return;
  }
  if (State.CurrentIndex < 0) {
    ++State.Dropped;
    return;
  }
  ParseKeyLine(trimmed, State);
}

void TVoMemIniFile::ParseKeyLine(std::u16string_view Trimmed, TParseState& State) {
  const auto equals = Trimmed.find(u'=');
  const std::u16string_view name =
      equals == std::u16string_view::npos ? Trimmed : TrimmedView(Trimmed.substr(0, equals));
  if (name.empty()) {
    ++State.Dropped;
    return;
  }
  const std::u16string_view rawValue =
      equals == std::u16string_view::npos ? std::u16string_view() : TrimmedView(Trimmed.substr(equals + 1));
  TVoMemIniSection& section = WritableSectionAt(State.CurrentIndex);
  const int earlier = section.IndexOfKey(name);
  // A line that reads as it is stored ("name=value", nothing to trim or requote) is used in place.
  if (earlier < 0 && !State.Narrow.empty() && name.size() == equals &&
      rawValue.size() == Trimmed.size() - equals - 1 && IsStoredForm(rawValue)) {
    section.AddBorrowedKey(State.NarrowOf(Trimmed));
  } else {
    const String value = Unquoted(rawValue);
    if (earlier >= 0 && Unquoted(section.KeyLine(earlier).substr(name.size() + 1)) != value) ++State.Dropped;
    // A name taken from one trimmed line that does not begin with ";" passes every write check.
    section.Keys().SetValuesByName(name, value);
  }
  if (!State.Pending.empty()) {
    const bool repeated = earlier >= 0;
    const String key(name);
    if (repeated) {
      std::vector<String> comment;
      section.ReadComment(key, comment);
      if (!comment.empty() && comment != State.Pending) ++State.Dropped;
    }
    section.WriteComment(key, State.Pending);
    State.Pending.clear();
  }
}

void TVoMemIniFile::EndSectionParse(const TParseState& State) {
  if (State.CurrentIndex < 0) return;
  if (auto* section = static_cast<TVoMemIniSection*>(FSections.GetObjects(State.CurrentIndex)))
    section->ShrinkToFit();
}

void TVoMemIniFile::FinishParse(TParseState& State) {
  EndSectionParse(State);
  if (State.Pending.empty()) return;
  if (TVoMemIniSection* unnamed = FindSectionForWrite(std::u16string_view()))
    unnamed->Comment() = std::move(State.Pending);
  State.Pending.clear();
}

void TVoMemIniFile::ForgetLoadedText() {
  FLoadedText = {};
  std::string().swap(FLoadedBytes);
}

void TVoMemIniFile::SetCaseSensitive(bool Value) {
  if (Value == CaseSensitive()) return;
  std::vector<String> lines;
  GetStrings(lines);
  FSections.SetCaseSensitive(Value);  // empties the section list
  ForgetLoadedText();                 // no section uses it any more
  AddSection(String());
  ParseLines(lines);
}

String TVoMemIniFile::ReadString(const String& Section, const String& Ident, const String& Default) const {
  const TVoMemIniSection* section = FindSection(TrimmedView(Section));
  return section == nullptr ? Default : section->ReadString(Ident, Default);
}

int32_t TVoMemIniFile::ReadInteger(const String& Section, const String& Ident, int32_t Default) const {
  return StrToInt32Def(ReadString(Section, Ident, String()), Default);
}

bool TVoMemIniFile::ValueExists(const String& Section, const String& Ident) const {
  const TVoMemIniSection* section = FindSection(TrimmedView(Section));
  return section != nullptr && section->IndexOfKey(TrimmedView(Ident)) >= 0;
}

bool TVoMemIniFile::ReadBool(const String& Section, const String& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TVoMemIniFile::WriteString(const String& Section, const String& Ident, const String& Value) {
  const std::u16string_view name = TrimmedView(Section);
  if (name.empty()) throw EVoMemIniFileInvalidSection(kEmptySection);
  RefuseLineBreaks<EVoMemIniFileInvalidSection>(name, u"セクション名");
  RefuseLineBreaks<EVoMemIniFileInvalidValue>(Value, u"値");
  int index = FSections.IndexOf(name);
  if (index < 0) index = AddSection(name);
  WritableSectionAt(index).WriteString(Ident, Value);
}

void TVoMemIniFile::WriteInteger(const String& Section, const String& Ident, int32_t Value) {
  WriteString(Section, Ident, IntToStr(Value));
}

void TVoMemIniFile::WriteBool(const String& Section, const String& Ident, bool Value) {
  WriteString(Section, Ident, Value ? u"1" : u"0");
}

void TVoMemIniFile::ReadSections(std::vector<String>& SectionNames) const {
  SectionNames.clear();
  ForEachSectionName([&SectionNames](std::u16string_view name) { SectionNames.emplace_back(name); });
}

void TVoMemIniFile::ReadSection(const String& Section, std::vector<String>& KeyNames) const {
  KeyNames.clear();
  ForEachKeyName(Section, [&KeyNames](std::u16string_view name) { KeyNames.emplace_back(name); });
}

void TVoMemIniFile::ForEachSectionName(const std::function<void(std::u16string_view)>& Name) const {
  String wide;
  for (int i = 0; i < FSections.Count(); ++i) {
    const TVoText name = FSections.TextOf(i);
    if (!name.empty()) Name(WideOf(name, wide));
  }
}

void TVoMemIniFile::ForEachKeyName(const String& Section,
                                   const std::function<void(std::u16string_view)>& Name) const {
  const TVoMemIniSection* section = FindSection(TrimmedView(Section));
  if (section == nullptr) return;
  String wide;
  for (int i = 0; i < section->KeyCount(); ++i) {
    const TVoText line = section->KeyLine(i);
    const size_t equals = line.find(u'=');
    Name(equals == std::u16string_view::npos ? std::u16string_view() : WideOf(line.substr(0, equals), wide));
  }
}

size_t TVoMemIniFile::KeyCount() const {
  size_t total = 0;
  for (int i = 0; i < FSections.Count(); ++i) total += SectionAt(i).KeyCount();
  return total;
}

size_t TVoMemIniFile::KeyCount(const String& Section) const {
  const TVoMemIniSection* section = FindSection(TrimmedView(Section));
  return section == nullptr ? 0 : static_cast<size_t>(section->KeyCount());
}

size_t TVoMemIniFile::KeyLineUnits(const String& Section) const {
  const TVoMemIniSection* section = FindSection(TrimmedView(Section));
  if (section == nullptr) return 0;
  size_t units = 0;
  for (int i = 0; i < section->KeyCount(); ++i) units += section->KeyLine(i).size() + kLineBreak.size();
  return units;
}

void TVoMemIniFile::ReadSectionValues(const String& Section, std::vector<String>& KeyValues) const {
  KeyValues.clear();
  const TVoMemIniSection* section = FindSection(TrimmedView(Section));
  if (section == nullptr) return;
  for (int i = 0; i < section->KeyCount(); ++i) KeyValues.emplace_back(section->KeyLine(i).ToString());
}

void TVoMemIniFile::EraseSection(const String& Section) {
  const String name = Trim(Section);
  if (name.empty()) throw EVoMemIniFileInvalidSection(kUnnamedSectionErase);
  const int index = FSections.IndexOf(name);
  if (index >= 0) FSections.Delete(index);
}

void TVoMemIniFile::EmptySection(const String& Section) {
  const int index = FSections.IndexOf(TrimmedView(Section));
  // A section without an object reads as an empty one.
  if (index >= 0) FSections.PutObject(index, nullptr);
}

void TVoMemIniFile::DeleteKey(const String& Section, const String& Ident) {
  if (TVoMemIniSection* section = ExistingSectionObject(TrimmedView(Section))) section->DeleteKey(Ident);
}

void TVoMemIniFile::Clear() {
  FSections.Clear();
  ForgetLoadedText();  // no section uses it any more
  // Keep the unnamed section, so the end-of-file comment can still be written and read.
  AddSection(String());
}

void TVoMemIniFile::ReadSectionComment(const String& Section, std::vector<String>& Comment) const {
  Comment.clear();
  if (const TVoMemIniSection* section = FindSection(TrimmedView(Section))) Comment = section->Comment();
}

String TVoMemIniFile::ReadSectionComment(const String& Section) const {
  std::vector<String> lines;
  ReadSectionComment(Section, lines);
  return JoinComment(lines);
}

void TVoMemIniFile::ReadComment(const String& Section, const String& Ident,
                                std::vector<String>& Comment) const {
  Comment.clear();
  if (const TVoMemIniSection* section = FindSection(TrimmedView(Section)))
    section->ReadComment(Ident, Comment);
}

String TVoMemIniFile::ReadComment(const String& Section, const String& Ident) const {
  std::vector<String> lines;
  ReadComment(Section, Ident, lines);
  return JoinComment(lines);
}

void TVoMemIniFile::WriteSectionComment(const String& Section, const std::vector<String>& Comment) {
  if (TVoMemIniSection* section = FindSectionForWrite(TrimmedView(Section)))
    CopyAsComment(Comment, section->Comment());
}

void TVoMemIniFile::WriteSectionComment(const String& Section, const String& Comment) {
  WriteSectionComment(Section, SplitLines(Comment));
}

void TVoMemIniFile::WriteComment(const String& Section, const String& Ident,
                                 const std::vector<String>& Comment) {
  // A section without an object of its own holds no key to comment on.
  TVoMemIniSection* section = ExistingSectionObject(TrimmedView(Section));
  if (section == nullptr) return;
  std::vector<String> lines;
  CopyAsComment(Comment, lines);
  section->WriteComment(Ident, lines);
}

void TVoMemIniFile::WriteComment(const String& Section, const String& Ident, const String& Comment) {
  WriteComment(Section, Ident, SplitLines(Comment));
}

template <class F>
void TVoMemIniFile::ForEachTextLine(F&& Line) const {
  const TVoMemIniSection* unnamed = nullptr;
  String scratch;
  for (int i = 0; i < FSections.Count(); ++i) {
    const TVoText name = FSections.TextOf(i);
    const TVoMemIniSection* section = &SectionAt(i);
    if (name.empty()) {
      unnamed = section;
      continue;
    }
    for (const String& line : section->Comment()) Line(line);
    String header;
    header.reserve(name.size() + 2);
    header += u'[';
    header += WideOf(name, scratch);
    header += u']';
    Line(header);
    Line(TVoText());
    ForEachKeyLine(*section, Line);
    Line(TVoText());
  }
  if (unnamed != nullptr) {
    for (const String& line : unnamed->Comment()) Line(line);
  }
}

void TVoMemIniFile::GetStrings(std::vector<String>& List) const {
  ForEachTextLine([&List](TVoText line) { List.push_back(line.ToString()); });
}

void TVoMemIniFile::AppendUtf8Text(std::string& ABytes) const {
  ForEachTextLine([&](TVoText line) {
    line.Visit([&ABytes](auto units) {
      if constexpr (std::is_same_v<decltype(units), std::string_view>)
        ABytes += units;  // ASCII is its own UTF-8
      else
        AppendUtf8(ABytes, units);
    });
    ABytes += "\r\n";
  });
}

std::string TVoMemIniFile::EncodedText(TEncoding Encoding, bool WithBom) const {
  // Encoded line by line, so saving holds the document and its bytes but no second copy as text.
  std::string bytes = EncodeText(std::u16string_view(), Encoding, WithBom);
  if (Encoding == TEncoding::Utf8 || (Encoding == TEncoding::Ansi && AnsiIsUtf8())) {
    AppendUtf8Text(bytes);  // straight into the one buffer
    return bytes;
  }
  const std::string lineBreak = EncodeText(kLineBreak, Encoding, false);
  try {
    ForEachTextLine([&](TVoText line) {
      bytes += EncodeText(line.ToString(), Encoding, false);
      bytes += lineBreak;
    });
  } catch (const EEncodeError&) {
    if (Encoding != TEncoding::Ansi) throw;
    // A character the ANSI code page cannot hold: the whole file goes out as UTF-8, which reading
    // tries first, so the text comes back whole instead of the save failing.
    bytes.clear();
    AppendUtf8Text(bytes);
  }
  return bytes;
}

void TVoMemIniFile::UpdateFile() {
  WriteText(EncodedText(TEncoding::Ansi, false));
}

void TVoMemIniFile::UpdateFile(TEncoding Encoding) {
  WriteText(EncodedText(Encoding, true));
}

void TVoMemIniFile::WriteText(const std::string& ABytes) {
  WriteFileAtomic(FFileName, ABytes);
  FFileStamp = StampOfBytes(ABytes);
}

}  // namespace kestrum
