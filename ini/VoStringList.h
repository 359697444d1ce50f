#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/Exception.h"
#include "base/Strings.h"
#include "ini/SegmentedList.h"

namespace kestrum {

// Root of the objects a string list can carry (INI sections, comment blocks).
class TVoObject {
 public:
  TVoObject() = default;
  TVoObject(const TVoObject&) = delete;
  TVoObject& operator=(const TVoObject&) = delete;
  virtual ~TVoObject() = default;
};

// Errors of TVoHashedStringList.
class EVoStringListError : public Exception {
 public:
  using Exception::Exception;
};

// A position outside the list.
class EVoListIndexError : public EVoStringListError {
 public:
  using EVoStringListError::EVoStringListError;
};

// A key that another item of the list already has.
class EVoDuplicateKeyError : public EVoStringListError {
 public:
  using EVoStringListError::EVoStringListError;
};

// A string's UTF-16 code units, held either as they are or, for text that is all ASCII, as one byte
// per code unit: a document's text read from a file mostly is, and so costs half the memory.
class TVoText {
 public:
  TVoText() = default;
  TVoText(std::u16string_view Wide) : FData(Wide.data()), FSizeAndForm(Wide.size()) {}
  TVoText(const String& Wide) : TVoText(std::u16string_view(Wide)) {}
  TVoText(const char16_t* Wide) : TVoText(std::u16string_view(Wide)) {}
  // Ascii must hold bytes below 0x80 only.
  static TVoText FromAscii(std::string_view Ascii) {
    TVoText text;
    text.FData = Ascii.data();
    text.FSizeAndForm = Ascii.size() | kNarrow;
    return text;
  }

  std::size_t size() const { return FSizeAndForm & ~kNarrow; }
  bool empty() const { return size() == 0; }
  bool IsNarrow() const { return (FSizeAndForm & kNarrow) != 0; }
  char16_t operator[](std::size_t Index) const {
    return IsNarrow() ? static_cast<char16_t>(static_cast<const char*>(FData)[Index])
                      : static_cast<const char16_t*>(FData)[Index];
  }
  // Count code units from Pos (clipped to the text).
  TVoText substr(std::size_t Pos, std::size_t Count = std::u16string_view::npos) const;
  // The position of the first C, or npos.
  std::size_t find(char16_t C) const;
  String ToString() const;
  // Calls F with the text as a std::u16string_view or, when narrow, a std::string_view.
  template <class F>
  decltype(auto) Visit(F&& AVisitor) const {
    return IsNarrow() ? AVisitor(std::string_view(static_cast<const char*>(FData), size()))
                      : AVisitor(std::u16string_view(static_cast<const char16_t*>(FData), size()));
  }

 private:
  // Two words, so that the text is handed around in registers like a string view.
  static constexpr std::size_t kNarrow = ~(~std::size_t{0} >> 1);
  const void* FData = nullptr;
  std::size_t FSizeAndForm = 0;  // the size, and kNarrow for the one-byte form
};

// Where a TVoStringHash reads the key of an entry it holds. Entries are numbers the owner gives.
class TVoKeySource {
 public:
  virtual TVoText KeyOf(uint32_t Entry) const = 0;

 protected:
  ~TVoKeySource() = default;
};

// The index of a TVoHashedStringList. Keys fall into 1024 buckets by a fixed hash; they are unique
// under the case rule (ASCII letters folded when not case-sensitive, every other code unit exact).
// The index keeps no copy of a key: an entry is a number, and its key is what the owner's
// TVoKeySource gives for it.
class TVoStringHash final {
 public:
  static constexpr int BucketCount = 1024;

  TVoStringHash() = default;

  bool CaseSensitive() const { return FCaseSensitive; }
  // Changes the case rule; only meaningful while the index is empty.
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }

  // The bucket of Key under the current case rule, 0..BucketCount-1.
  int HashOf(std::u16string_view Key) const;

  // Where Key is placed in the index; the look-ups below take it, so that one key is hashed once.
  uint32_t PlacementOf(TVoText Key) const;

  // Adds the entry; throws EVoDuplicateKeyError (and adds nothing) when Key is already present.
  // Key must be Keys.KeyOf(Entry), and stay so (under the case rule) while the entry exists.
  void Add(TVoText Key, uint32_t Entry, const TVoKeySource& Keys) { Add(Key, PlacementOf(Key), Entry, Keys); }
  void Add(TVoText Key, uint32_t Placement, uint32_t Entry, const TVoKeySource& Keys);
  // Removes the entry of Key when it is Entry.
  void Remove(TVoText Key, uint32_t Entry, const TVoKeySource& Keys);
  // The entry stored under Key, or -1.
  int64_t Find(TVoText Key, const TVoKeySource& Keys) const { return Find(Key, PlacementOf(Key), Keys); }
  int64_t Find(TVoText Key, uint32_t Placement, const TVoKeySource& Keys) const;
  // Gives every entry the number Renumbered(old number), for an owner whose entries moved.
  template <class F>
  void Renumber(F&& Renumbered) {
    for (TSlot& slot : FSlots)
      if (slot.Entry != kFree) slot.Entry = Renumbered(slot.Entry);
  }
  void Clear();
  std::size_t Count() const { return FCount; }

  // Number of entries whose key lies in the bucket.
  std::size_t BucketLength(int Bucket, const TVoKeySource& Keys) const;

 private:
  // One open-addressing table (linear probing, a power-of-two size) placed by a second hash with a
  // per-process random factor, so that keys crafted to share one bucket of the fixed hash, or any
  // other hash value, still cost a comparison or two each. The second hash of each entry is kept
  // beside it: probing and growing compare numbers and read a key's text only on a match.
  struct TSlot {
    uint32_t Entry;
    uint32_t Placement;
  };
  static constexpr uint32_t kFree = UINT32_MAX;

  template <bool CaseSensitive, class Units>
  static uint32_t PlacementUnder(Units Key);
  // The slot holding Key, or the free slot where probing for it stopped.
  std::size_t Probe(TVoText Key, uint32_t Placement, const TVoKeySource& Keys) const;
  void Grow();
  void TakeOut(std::size_t Slot);

  bool FCaseSensitive = false;
  std::size_t FCount = 0;
  std::vector<TSlot> FSlots;
};

// An ordered string list with an optional object per item and a hash index over either the whole
// string or its name part (the text before the first "="). The items' text sits in a few large
// blocks the list owns, or, for lines added with AddBorrowed, in text that outlives the list (kept one
// byte per code unit when it is ASCII); an item costs no allocation of its own.
class TVoHashedStringList final : private TVoKeySource {
 public:
  explicit TVoHashedStringList(bool HasObjects);
  ~TVoHashedStringList();
  TVoHashedStringList(const TVoHashedStringList&) = delete;
  TVoHashedStringList& operator=(const TVoHashedStringList&) = delete;

  bool HasObjects() const { return FHasObjects; }
  void SetHasObjects(bool Value) { FHasObjects = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  // A different value empties the list (items and owned objects are destroyed).
  void SetCaseSensitive(bool Value);
  bool UseNameAsKey() const { return FUseNameAsKey; }
  // A different value rebuilds the index under the new keying mode.
  void SetUseNameAsKey(bool Value);

  int Count() const { return static_cast<int>(FItems.size()); }
  String GetStrings(int Index) const;
  // The same without a copy; valid until the list next changes.
  TVoText TextOf(int Index) const;
  void Put(int Index, const String& S);
  TVoObject* GetObjects(int Index) const;
  void PutObject(int Index, TVoObject* AObject);
  String GetNames(int Index) const;

  void Insert(int Index, const String& S);
  int Add(const String& S);
  void Append(const String& S);
  // Add without a copy: S stays where it is, and must outlive the list. The bytes of the narrow form
  // are ASCII only.
  int AddBorrowed(std::u16string_view S);
  int AddBorrowed(std::string_view Ascii);
  int AddObject(const String& S, TVoObject* AObject);
  void InsertObject(int Index, const String& S, TVoObject* AObject);
  void Delete(int Index);
  void Clear();
  void Move(int CurIndex, int NewIndex);
  // Gives back the room held for items beyond those there are.
  void ShrinkToFit();
  int IndexOf(std::u16string_view S) const;
  int IndexOfName(std::u16string_view Name) const;

  bool NameExists(std::u16string_view Name) const;
  bool StrExists(std::u16string_view Str) const;
  String GetValuesByName(const String& Name) const;
  // The value part of the item named Name, in stored form, without a copy; empty when none.
  TVoText ValueViewByName(std::u16string_view Name) const;
  void SetValuesByName(std::u16string_view Name, std::u16string_view Value);
  TVoObject* GetObjectsByName(std::u16string_view Name) const;
  void SetObjectsByName(std::u16string_view Name, TVoObject* Value);
  TVoObject* GetObjectsByString(std::u16string_view Str) const;
  void SetObjectsByString(std::u16string_view Str, TVoObject* Value);

 private:
  // One item: where its string is, how long it is, and how long its name part is.
  struct TVoStringItem {
    const void* Text;  // UTF-16 code units, or ASCII bytes when Narrow
    uint32_t Length;
    uint32_t NameLength : 30;  // the text before the first "="; 0 when there is none
    uint32_t Owned : 1;        // the text lies in the list's blocks
    uint32_t Narrow : 1;       // one byte per code unit (borrowed text only)
    TVoText Str() const { return Part(Length); }
    TVoText Name() const { return Part(NameLength); }
    TVoText Part(uint32_t Units) const {
      return Narrow ? TVoText::FromAscii({static_cast<const char*>(Text), Units})
                    : TVoText(std::u16string_view(static_cast<const char16_t*>(Text), Units));
    }
  };

  TVoText KeyOf(uint32_t Entry) const override;
  TVoText KeyOfItem(const TVoStringItem& Item) const;
  // Items hold lengths in 30 bits.
  static constexpr std::size_t kMaxLength = (std::size_t{1} << 30) - 1;
  static void CheckLength(std::size_t Length);
  TVoStringItem MakeItem(std::u16string_view S, bool Borrowed);
  TVoStringItem ItemOf(TVoText Text, bool Owned);
  // Room for Length code units in the blocks; it stays valid while the list holds the text.
  char16_t* ReserveText(std::size_t Length);
  // Copies S into the blocks.
  std::u16string_view StoreText(TVoText S);
  // Writes "Name=Value", the value in stored form, into the blocks.
  std::u16string_view StoreKeyLine(std::u16string_view Name, std::u16string_view Value);
  void ReleaseText(const TVoStringItem& Item);
  // Copies the items' own text into fresh blocks once most of the held text is no longer used.
  void CompactText();
  int FindByName(std::u16string_view Name) const;
  int FindByStr(std::u16string_view Str) const;
  int FindKey(TVoText Key) const;
  // FindKey by a walk over the items, for a list without an index.
  int ScanForKey(TVoText Key) const;
  bool HasKey(const TVoStringItem& Item, TVoText Key) const;
  // False for a name-keyed item without a name: such items are not in the index.
  bool IsIndexed(const TVoStringItem& Item) const;
  void CheckIndex(int Index, int Limit) const;
  void InsertItem(int Index, TVoStringItem Item);
  void ReplaceString(int Index, std::u16string_view S);
  void ReplaceItem(int Index, TVoStringItem Item);
  void DestroyObject(int Index);
  void AttachObject(int Index, TVoObject* AObject);
  void RebuildIndex();
  TVoObject* ObjectAt(int Index) const;
  bool HasObjectSlots() const;

  // What many lists never need: a document holds a key list per section, and most hold a key or
  // two read from the file, without objects. Made when first needed.
  struct TMore {
    TVoStringHash KeyHash;
    TSegmentedList<TVoObject*> Objects;  // empty while no item has an object
    std::vector<std::unique_ptr<char16_t[]>> Blocks;
    char16_t* FreeText = nullptr;  // where the last block's free part begins
    std::size_t BlockFree = 0;     // code units left in the last block
    std::size_t HeldText = 0;      // code units of all blocks
    std::size_t LiveText = 0;      // code units the items' own strings use
  };
  TMore& More();

  TSegmentedList<TVoStringItem> FItems;
  std::unique_ptr<TMore> FMore;
  // Lists of a few items (an INI section with a key or two; a document has many) find them by a
  // walk, which costs no more than hashing and far less memory than an index. The index is built
  // when the list grows past them and kept from then on.
  bool FIndexed = false;
  bool FHasObjects;
  bool FCaseSensitive = false;
  bool FUseNameAsKey = false;
  // The position FindKey found last (atomic, as readers of a const list may share it). After the
  // flags, where it fits in the list's last word.
  mutable std::atomic<uint32_t> FLastFound{0};
};

// S without its leading and trailing code units up to U+0020: what Trim gives, without a copy.
std::u16string_view TrimmedView(std::u16string_view S);

}  // namespace kestrum
