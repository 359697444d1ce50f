#pragma once

#include <cstddef>
#include <map>
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
  TVoStringItem(TVoHashedStringList* Owner, String AStr, String AName, TVoObject* o);
  ~TVoStringItem();
  TVoStringItem(const TVoStringItem&) = delete;
  TVoStringItem& operator=(const TVoStringItem&) = delete;

  // Attaches o, first destroying the object attached so far when the owner owns objects.
  void SetObj(TVoObject* o);
  TVoObject* Object() const { return FObject; }

  String Str;   // the whole entry, e.g. "name=value"
  String Name;  // the text before the first "=" of Str; empty when there is none

 private:
  TVoHashedStringList* FOwner;
  TVoObject* FObject;
};

// The index of a TVoHashedStringList: 1024 buckets chosen by a fixed hash of the key. Keys are unique
// under the case rule (ASCII letters folded when not case-sensitive, every other code unit exact).
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
  void Add(std::u16string_view Key, TVoStringItem* Item);
  // Removes the entry of Key when it belongs to Item.
  void Remove(std::u16string_view Key, const TVoStringItem* Item);
  // The item stored under Key, or null.
  TVoStringItem* Find(std::u16string_view Key) const;
  void Clear();

  // Number of entries in one bucket.
  std::size_t BucketLength(int Bucket) const;

 private:
  // A bucket keeps its entries ordered by folded key, so many keys colliding in one bucket (a
  // crafted file) cost a few comparisons each rather than a walk of the whole bucket.
  using Bucket = std::map<String, TVoStringItem*>;

  String Folded(std::u16string_view Key) const;

  bool FCaseSensitive = false;
  // Only buckets that hold entries are stored, so a small list (every INI section has one) stays
  // small.
  std::map<int, Bucket> FBuckets;
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
  TVoStringItem* FindByName(const String& Name) const;
  TVoStringItem* FindByStr(const String& Str) const;
  int PositionOf(const TVoStringItem* Item) const;
  bool SameKey(const String& A, const String& B) const;
  // The key an entry with this Str and Name is indexed under in the current mode; false when the
  // entry is not indexed (a name-keyed entry without a name).
  bool IndexKey(const String& Str, const String& Name, String& Key) const;
  void CheckIndex(int Index, int Limit) const;
  void RebuildIndex();

  TVoStringHash FKeyHash;
  std::vector<std::unique_ptr<TVoStringItem>> FList;
  bool FHasObjects;
  bool FCaseSensitive = false;
  bool FUseNameAsKey = false;
};

// The text of S before its first "=", empty when S holds none.
String NameOfLine(std::u16string_view S);

// Value in stored form: enclosed in double quotes, inner double quotes doubled, when it is not empty
// and holds a space or a double quote.
String QuoteValue(std::u16string_view Value);

}  // namespace kestrum
