// Any bytes as an INI file: loading never crashes, and what was loaded survives saving: loading the
// saved file gives the same sections, keys, values and comments, and saving that gives the same bytes.
//
// Two losses are the document's documented behaviour and are allowed for: a value stored unquoted
// loses the control characters at its ends at the next load; and the ANSI code page (UTF-8 here)
// cannot hold a lone UTF-16 surrogate, which becomes U+FFFD.
// Saving in UTF-16 keeps the surrogates, so that round trip is checked without the second allowance.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "base/Files.h"
#include "fuzz/FuzzSupport.h"
#include "ini/VoMemIniFile.h"
#include "tests/support/ScratchFolder.h"

namespace kestrum {
namespace {

struct TKeyModel {
  String Name;
  String Value;
  std::vector<String> Comment;
  bool operator==(const TKeyModel&) const = default;
};

struct TSectionModel {
  String Name;
  std::vector<String> Comment;
  std::vector<TKeyModel> Keys;
  bool operator==(const TSectionModel&) const = default;
};

// Everything a document holds, as its public reading operations report it.
struct TIniModel {
  std::vector<TSectionModel> Sections;
  std::vector<String> EndComment;
  bool operator==(const TIniModel&) const = default;
};

TIniModel ModelOf(const TVoMemIniFile& ini) {
  TIniModel model;
  std::vector<String> sections;
  ini.ReadSections(sections);
  for (const String& name : sections) {
    TSectionModel section{name, {}, {}};
    ini.ReadSectionComment(name, section.Comment);
    std::vector<String> keys;
    ini.ReadSection(name, keys);
    for (const String& key : keys) {
      TKeyModel item{key, ini.ReadString(name, key, u"<missing>"), {}};
      ini.ReadComment(name, key, item.Comment);
      section.Keys.push_back(std::move(item));
    }
    model.Sections.push_back(std::move(section));
  }
  ini.ReadSectionComment(u"", model.EndComment);
  return model;
}

// What a value reads as after it was saved: quoted (and kept whole) when it holds a space or a double
// quote, or when its key line would otherwise look like a section header; else written as it is and
// trimmed by the next load.
String ValueAfterReload(const String& name, const String& value) {
  const bool quoted = value.find_first_of(u" \"") != String::npos ||
                      (name.starts_with(u'[') && TrimRight(value).ends_with(u']'));
  return quoted ? value : Trim(value);
}

String ThroughUtf8(const String& text) {
  return FromUtf8(ToUtf8(text));
}

template <class F>
void ForEachText(TIniModel& model, F&& edit) {
  for (TSectionModel& section : model.Sections) {
    edit(section.Name);
    for (String& line : section.Comment) edit(line);
    for (TKeyModel& key : section.Keys) {
      edit(key.Name);
      edit(key.Value);
      for (String& line : key.Comment) edit(line);
    }
  }
  for (String& line : model.EndComment) edit(line);
}

TIniModel ExpectedAfterReload(TIniModel model) {
  for (TSectionModel& section : model.Sections)
    for (TKeyModel& key : section.Keys) key.Value = ValueAfterReload(key.Name, key.Value);
  return model;
}

bool HasTextUtf8CannotHold(TIniModel model) {
  bool changed = false;
  ForEachText(model, [&changed](String& text) { changed |= ThroughUtf8(text) != text; });
  return changed;
}

// Text for the report, with control characters and surrogates spelled out, since they are what
// usually tells two models apart.
std::string Visible(const String& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < u' ' || (c >= 0xD800 && c <= 0xDFFF)) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(c));
      out += escape;
    } else {
      out += ToUtf8(std::u16string_view(&c, 1));
    }
  }
  return out;
}

std::string Dump(const TIniModel& model) {
  std::string out;
  for (const TSectionModel& section : model.Sections) {
    for (const String& line : section.Comment) out += Visible(line) + "\n";
    out += "[" + Visible(section.Name) + "]\n";
    for (const TKeyModel& key : section.Keys) {
      for (const String& line : key.Comment) out += Visible(line) + "\n";
      out += Visible(key.Name) + " => <" + Visible(key.Value) + ">\n";
    }
  }
  for (const String& line : model.EndComment) out += Visible(line) + "\n";
  return out;
}

void CheckSameModel(const TIniModel& expected, const TIniModel& actual, const char* what) {
  if (expected == actual) return;
  fuzz::Fail(what, "expected:\n" + Dump(expected) + "actual:\n" + Dump(actual));
}

// Saves the document and returns the bytes written.
std::string SaveAndRead(TVoMemIniFile& ini) {
  ini.UpdateFile();
  return ReadFileBytes(ini.FileName());
}

// Below TMPDIR, which scripts/fuzz points at a memory file system, since every save flushes to disk.
const test::TScratchFolder& Scratch() {
  static const test::TScratchFolder folder("kestrum-fuzz-");
  return folder;
}

}  // namespace
}  // namespace kestrum

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kestrum;
  const String path = FromUtf8((Scratch().Path() / "doc.ini").string());
  WriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(data), size));

  TVoMemIniFile loaded(path);
  const TIniModel original = ModelOf(loaded);
  const TIniModel expected = ExpectedAfterReload(original);

  // UTF-16 holds every code unit: only the trimming of unquoted values may change anything.
  loaded.UpdateFile(TEncoding::Utf16LE);
  CheckSameModel(expected, ModelOf(TVoMemIniFile(path)), "UTF-16 save and load changed the document");

  const std::string firstSave = SaveAndRead(loaded);
  TVoMemIniFile reloaded(path);
  // A lone surrogate turned into U+FFFD may make two names equal, which then merge on loading.
  const bool lossy = HasTextUtf8CannotHold(original);
  if (!lossy) CheckSameModel(expected, ModelOf(reloaded), "save and load changed the document");

  const std::string secondSave = SaveAndRead(reloaded);
  if (!lossy && expected == original) {
    fuzz::Check(secondSave == firstSave, "saving a reloaded document gives other bytes",
                "first:\n" + firstSave + "\nsecond:\n" + secondSave);
    return 0;
  }
  // Whatever one round lost, the next round keeps everything.
  TVoMemIniFile settled(path);
  fuzz::Check(SaveAndRead(settled) == secondSave, "saving is not stable after one lossy round",
              "second:\n" + secondSave);
  return 0;
}
