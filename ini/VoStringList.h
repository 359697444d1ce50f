#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "base/Exception.h"
#include "base/Strings.h"

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

class TVoHashedStringList;

// One entry of a TVoHashedStringList. The attached object belongs to the item while the owner's
// HasObjects is true: replacing it or destroying the item destroys it.
class TVoStringItem final {
 public:
  TVoStringItem(TVoHashedStringList* Owner, String AStr, TVoObject* o);
  ~TVoStringItem();
  TVoStringItem(const TVoStringItem&) = delete;
  TVoStringItem& operator=(const TVoStringItem&) = delete;

  // Attaches o, first destroying the object attached so far when the owner owns objects.
  void SetObj(TVoObject* o);
  TVoObject* Object() const { return FObject; }

  // The text before the first "=" of Str; empty when there is none. It is read from Str rather than
  // kept beside it, so a key costs one copy of its text.
  std::u16string_view Name() const;
  // What the owner's index files the item under: Name when the owner is keyed by name, else Str.
  std::u16string_view Key() const;

  String Str;  // the whole entry, e.g. "name=value"

 private:
  TVoHashedStringList* FOwner;
  TVoObject* FObject;
};

// The index of a TVoHashedStringList: 1024 buckets chosen by a fixed hash of the key. Keys are unique
// under the case rule (ASCII letters folded when not case-sensitive, every other code unit exact).
// The index keeps no copy of a key: an entry is the item, and its key is the item's Key().
class TVoStringHash final {
 public:
  static constexpr int BucketCount = 1024;

  TVoStringHash() = default;

  bool CaseSensitive() const { return FCaseSensitive; }
  // Changes the case rule; only meaningful while the index is empty.
  void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }

  // The bucket of Key under the current case rule, 0..BucketCount-1.
  int HashOf(std::u16string_view Key) const;

  // Adds the entry; throws EVoDuplicateKeyError (and adds nothing) when Key is already present.
  // Key must be Item->Key(), and stay so (under the case rule) while the entry exists.
  void Add(std::u16string_view Key, TVoStringItem* Item);
  // Removes the entry of Key when it belongs to Item.
  void Remove(std::u16string_view Key, const TVoStringItem* Item);
  // The item stored under Key, or null.
  TVoStringItem* Find(std::u16string_view Key) const;
  void Clear();

  // Number of entries in one bucket.
  std::size_t BucketLength(int Bucket) const;

 private:
  // A bucket in use. Its entries sit in an open-addressing table (linear probing, a power-of-two
  // size) placed by a second hash with a per-process random factor, so that many keys crafted to
  // share one bucket still cost a comparison or two each. The second hash of each entry is kept
  // beside it: probing and growing then compare numbers and touch an item's text only on a match.
  struct TBucket {
    int Number;
    std::size_t Count;
    std::vector<TVoStringItem*> Items;  // null in a free slot
    std::vector<uint32_t> Placements;   // the second hash of each entry's key; kFree in a free slot
  };

  // The few entries' one with Key, or their end.
  std::vector<TVoStringItem*>::const_iterator FewEntry(std::u16string_view Key) const;
  // Moves the few entries into buckets, once the index outgrows them.
  void SpreadFew();
  [[noreturn]] static void ThrowDuplicate(std::u16string_view Key);
  void AddToBucket(std::u16string_view Key, TVoStringItem* Item);
  uint32_t PlacementOf(std::u16string_view Key) const;
  // The slot holding Key, or the free slot where probing for it stopped.
  static std::size_t Probe(const TBucket& Bucket, std::u16string_view Key, uint32_t Placement,
                           bool CaseSensitive);
  // Where bucket Number is in FBuckets, or would be inserted.
  std::size_t BucketPosition(int Number) const;
  bool HasBucketAt(std::size_t Position, int Number) const;
  static void Grow(TBucket& Bucket);
  static void TakeOut(TBucket& Bucket, std::size_t Slot);

  bool FCaseSensitive = false;
  // An index of a few entries (an INI section with a key or two; a document has many) keeps them
  // here in the order added and finds one by a walk over them, which costs no more than hashing and
  // far less memory than buckets. Empty once the buckets are in use.
  std::vector<TVoStringItem*> FFew;
  // Only buckets that hold entries are stored, ordered by number.
  std::vector<TBucket> FBuckets;
};

// An ordered string list with an optional object per item and a hash index over either the whole
// string or its name part (the text before the first "=").
class TVoHashedStringList final {
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

  int Count() const { return static_cast<int>(FList.size()); }
  const String& GetStrings(int Index) const;
  void Put(int Index, const String& S);
  TVoObject* GetObjects(int Index) const;
  void PutObject(int Index, TVoObject* AObject);
  String GetNames(int Index) const;

  void Insert(int Index, const String& S);
  int Add(const String& S);
  void Append(const String& S);
  int AddObject(const String& S, TVoObject* AObject);
  void InsertObject(int Index, const String& S, TVoObject* AObject);
  void Delete(int Index);
  void Clear();
  void Move(int CurIndex, int NewIndex);
  int IndexOf(const String& S) const;
  int IndexOfName(const String& Name) const;

  bool NameExists(const String& Name) const;
  bool StrExists(const String& Str) const;
  String GetValuesByName(const String& Name) const;
  void SetValuesByName(const String& Name, const String& Value);
  TVoObject* GetObjectsByName(const String& Name) const;
  void SetObjectsByName(const String& Name, TVoObject* Value);
  TVoObject* GetObjectsByString(const String& Str) const;
  void SetObjectsByString(const String& Str, TVoObject* Value);

 private:
  TVoStringItem* FindByName(std::u16string_view Name) const;
  TVoStringItem* FindByStr(std::u16string_view Str) const;
  int PositionOf(const TVoStringItem* Item) const;
  // False for a name-keyed item without a name: such items are not in the index.
  bool IsIndexed(const TVoStringItem& Item) const;
  void CheckIndex(int Index, int Limit) const;
  void InsertItem(int Index, String S);
  void RebuildIndex();

  TVoStringHash FKeyHash;
  std::vector<std::unique_ptr<TVoStringItem>> FList;
  bool FHasObjects;
  bool FCaseSensitive = false;
  bool FUseNameAsKey = false;
};

// S without its leading and trailing code units up to U+0020: what Trim gives, without a copy.
std::u16string_view TrimmedView(std::u16string_view S);

// The text of S before its first "=", empty when S holds none.
String NameOfLine(std::u16string_view S);

// Value in stored form: enclosed in double quotes, inner double quotes doubled, when it is not empty
// and holds a space or a double quote.
String QuoteValue(std::u16string_view Value);

}  // namespace kestrum
