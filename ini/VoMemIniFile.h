#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/ContentStamp.h"
#include "base/Exception.h"
#include "base/Strings.h"
#include "base/TextCodec.h"
#include "ini/VoStringList.h"

namespace kestrum {

// A section name that cannot be written or erased.
class EVoMemIniFileInvalidSection : public Exception {
 public:
  using Exception::Exception;
};

// A key name that cannot be written.
class EVoMemIniFileInvalidName : public Exception {
 public:
  using Exception::Exception;
};

// A value that cannot be written.
class EVoMemIniFileInvalidValue : public Exception {
 public:
  using Exception::Exception;
};

// The comment block written before a key line.
class TVoComment final : public TVoObject {
 public:
  TVoComment() = default;
  explicit TVoComment(std::vector<String> Lines) : FComment(std::move(Lines)) {}
  std::vector<String>& Comment() { return FComment; }
  const std::vector<String>& Comment() const { return FComment; }

 private:
  std::vector<String> FComment;
};

// One section: its comment block and its keys ("name=value" lines, each with its comment block).
class TVoMemIniSection final : public TVoObject {
 public:
  TVoMemIniSection();
  ~TVoMemIniSection() override;

  // The comment block and the key list are made when first asked for; until then the section reads
  // as one without them, so a file of millions of small sections does not hold millions of lists.
  std::vector<String>& Comment();
  const std::vector<String>& Comment() const;
  // The key list, made now when the section has none.
  TVoHashedStringList& Keys();

  int KeyCount() const;
  // The key line at Index, 0..KeyCount()-1, without a copy; valid until the section next changes.
  TVoText KeyLine(int Index) const;
  // The comment block of the key at Index, or null.
  const TVoComment* KeyComment(int Index) const;
  // The position of the key named Name (trimmed already), or -1.
  int IndexOfKey(std::u16string_view Name) const;
  // Adds a key line read from a file, ASCII in stored form and named by no other key; it stays where
  // it is and must outlive the section. The text must go on past Line by at least a line end or NUL.
  void AddBorrowedKey(std::string_view Line);

  void Clear();
  // Gives back the room held for keys beyond those there are.
  void ShrinkToFit();
  void DeleteKey(const String& Ident);
  void GetStrings(std::vector<String>& List) const;
  String ReadString(const String& Ident, const String& Default) const;
  // Replaces Comment by the key's comment lines when it has any; leaves Comment alone otherwise.
  void ReadComment(const String& Ident, std::vector<String>& Comment) const;
  void WriteString(std::u16string_view Ident, std::u16string_view Value);
  // Attaches the lines as they are (no ";" added); no lines removes the key's comment block.
  void WriteComment(const String& Ident, const std::vector<String>& Comment);

 private:
  struct TParts;
  // The comment block and the key list, made together; the key lines kept in place move into the
  // list then.
  TParts& Parts();
  // The parts, or null while there are none or the key lines are kept in place.
  TParts* PartsIfAny() const { return FRun == nullptr ? FParts : nullptr; }
  // The line of the run at Index; the line that begins at Start; where the line after Line begins.
  std::string_view RunLine(std::size_t Index) const;
  static std::string_view LineAt(const char* Start);
  static const char* NextLine(std::string_view Line);

  // Most sections of a large file hold a key line or a few, read from it without a comment, one
  // after another: until a key is written, deleted or commented on, they are kept where they stand in
  // the text, as a run of lines from FRun on, each known by where it begins and ends.
  static constexpr std::size_t kRunKeys = 8;
  union {
    TParts* FParts = nullptr;  // owned; while FRun is null
    std::size_t FRunLength;    // the lines of the run; while FRun is set
  };
  const char* FRun = nullptr;
};

// What loading could not take in of the file: a document written back would not hold it.
struct TVoIniUnread {
  bool UndecodedBytes = false;  // bytes that are no text in the file's encoding
  size_t DroppedLines = 0;      // lines with no place in the syntax, lines after a NUL (counted as
                                // one), and values and comment blocks that a later line replaced
  bool Whole() const { return !UndecodedBytes && DroppedLines == 0; }
};

// A whole INI text file held in memory. Section and key names are trimmed and, unless CaseSensitive,
// compared without regard to ASCII letter case.
class TVoMemIniFile final {
 public:
  // Loads FileName when it names an existing file; a missing file gives an empty document.
  // Throws EFileError when the file exists but cannot be read.
  explicit TVoMemIniFile(const String& FileName);
  TVoMemIniFile(const String& FileName, TEncoding Encoding);
  TVoMemIniFile(const TVoMemIniFile&) = delete;
  TVoMemIniFile& operator=(const TVoMemIniFile&) = delete;

  const String& FileName() const { return FFileName; }
  // What loading the file left out; nothing for a missing file.
  const TVoIniUnread& Unread() const { return FUnread; }
  // What the file holds as this document last loaded or wrote it; a stamp of no file when there
  // was none.
  const TContentStamp& FileStamp() const { return FFileStamp; }
  bool CaseSensitive() const { return FSections.CaseSensitive(); }
  // A different value reloads the document's text under the new rule; equal names merge.
  void SetCaseSensitive(bool Value);

  String ReadString(const String& Section, const String& Ident, const String& Default) const;
  int32_t ReadInteger(const String& Section, const String& Ident, int32_t Default) const;
  bool ReadBool(const String& Section, const String& Ident, bool Default) const;
  bool ValueExists(const String& Section, const String& Ident) const;
  void WriteString(const String& Section, const String& Ident, const String& Value);
  void WriteInteger(const String& Section, const String& Ident, int32_t Value);
  void WriteBool(const String& Section, const String& Ident, bool Value);
  void ReadSections(std::vector<String>& SectionNames) const;
  void ReadSection(const String& Section, std::vector<String>& KeyNames) const;
  // ReadSections and ReadSection without copies: Name sees each name in the same order, valid for
  // the call only.
  void ForEachSectionName(const std::function<void(std::u16string_view)>& Name) const;
  void ForEachKeyName(const String& Section, const std::function<void(std::u16string_view)>& Name) const;
  // The number of keys of every section together, or of one section.
  size_t KeyCount() const;
  size_t KeyCount(const String& Section) const;
  // The code units of the section's key lines as they are stored, each counted with its line end:
  // what the section's keys take in a file.
  size_t KeyLineUnits(const String& Section) const;
  void ReadSectionValues(const String& Section, std::vector<String>& KeyValues) const;
  void EraseSection(const String& Section);
  // Removes the section's keys and comment block and frees what they held; the section stays in its
  // place, empty. For a reader done with a section of a large document.
  void EmptySection(const String& Section);
  void DeleteKey(const String& Section, const String& Ident);
  // Removes every section; the document is left as an empty one (only the unnamed section).
  void Clear();

  // The empty section name stands for the comment at the end of the file.
  void ReadSectionComment(const String& Section, std::vector<String>& Comment) const;
  String ReadSectionComment(const String& Section) const;
  void ReadComment(const String& Section, const String& Ident, std::vector<String>& Comment) const;
  String ReadComment(const String& Section, const String& Ident) const;
  void WriteSectionComment(const String& Section, const std::vector<String>& Comment);
  void WriteSectionComment(const String& Section, const String& Comment);
  void WriteComment(const String& Section, const String& Ident, const std::vector<String>& Comment);
  void WriteComment(const String& Section, const String& Ident, const String& Comment);

  // Appends the document's text lines to List.
  void GetStrings(std::vector<String>& List) const;
  // Writes the text (every line followed by CR LF) to FileName in the ANSI code page, replacing the
  // file atomically. Throws EFileError when it cannot; the old file then stays as it was.
  void UpdateFile();
  // The same in the given encoding, preceded by its byte-order mark when it has one.
  void UpdateFile(TEncoding Encoding);

 private:
  struct TParseState;

  void Load(std::optional<TEncoding> Encoding);
  // A section that holds nothing has no object of its own until it is written to, so a file of
  // millions of bare headers does not hold millions of them; readers see an empty one.
  const TVoMemIniSection* FindSection(std::u16string_view Name) const;
  const TVoMemIniSection& SectionAt(int Index) const;
  // The section's object, made when it has none; null when there is no such section.
  TVoMemIniSection* FindSectionForWrite(std::u16string_view Name);
  TVoMemIniSection& WritableSectionAt(int Index);
  // The section's object when it has one.
  TVoMemIniSection* ExistingSectionObject(std::u16string_view Name);
  // Appends a section and gives its index. Named by Narrow, text of FLoadedText, it uses that text
  // in place; an empty Narrow copies Name.
  int AddSection(std::u16string_view Name, std::string_view Narrow = {});
  void ParseLines(const std::vector<String>& Lines);
  // Parses FLoadedText; the number of lines whose content the document does not keep.
  size_t ParseLoadedText();
  void ParseLine(std::u16string_view Line, TParseState& State);
  void ParseKeyLine(std::u16string_view Trimmed, TParseState& State);
  // The section key lines went to until now gives back its spare room: a list grows by doubling, and
  // a large document has many.
  void EndSectionParse(const TParseState& State);
  void FinishParse(TParseState& State);
  // Calls Line with every text line of the document, in the order GetStrings gives them.
  template <class F>
  void ForEachTextLine(F&& Line) const;
  void AppendUtf8Text(std::string& ABytes) const;
  std::string EncodedText(TEncoding Encoding, bool WithBom) const;
  // Replaces the file by ABytes; what the file holds then is known without reading it back.
  void WriteText(const std::string& ABytes);

  void ForgetLoadedText();

  String FFileName;
  // The file's text as loaded, in UTF-8: the file's bytes themselves when they are, else a converted
  // copy. Section names and key lines that the file holds in ASCII exactly as they are stored are
  // used where they stand in it rather than copied; it outlives FSections.
  std::string FLoadedBytes;
  std::string_view FLoadedText;
  TVoHashedStringList FSections;
  TVoIniUnread FUnread;
  TContentStamp FFileStamp;
};

// Dest receives the lines of Source, each made a comment line: ";" is put before a line that is
// empty after trimming or does not begin with ";". Line breaks inside a line split it.
void CopyAsComment(const std::vector<String>& Source, std::vector<String>& Dest);

// The value as stored in a file, with its enclosing double quotes removed and doubled ones undone.
String UnquoteValue(const String& Value);

}  // namespace kestrum
