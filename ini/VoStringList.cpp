#include "ini/VoStringList.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace kestrum {

String NameOfLine(std::u16string_view S) {
  const auto pos = S.find(u'=');
  return pos == std::u16string_view::npos ? String() : String(S.substr(0, pos));
}

String QuoteValue(std::u16string_view Value) {
  if (Value.empty() || Value.find_first_of(u" \"") == std::u16string_view::npos) return String(Value);
  String stored;
  stored.reserve(Value.size() + 2);
  stored += u'"';
  for (const char16_t c : Value) {
    if (c == u'"') stored += u'"';
    stored += c;
  }
  stored += u'"';
  return stored;
}

// ---- TVoStringItem

TVoStringItem::TVoStringItem(TVoHashedStringList* Owner, String AStr, String AName, TVoObject* o)
    : Str(std::move(AStr)), Name(std::move(AName)), FOwner(Owner), FObject(o) {}

TVoStringItem::~TVoStringItem() {
  SetObj(nullptr);
}

void TVoStringItem::SetObj(TVoObject* o) {
  if (o == FObject) return;  // re-attaching the same object must not destroy it
  TVoObject* previous = FObject;
  FObject = o;
  if (FOwner->HasObjects()) delete previous;
}

// ---- TVoStringHash

int TVoStringHash::HashOf(std::u16string_view Key) const {
  uint32_t h = 0;
  for (char16_t c : Key) {
    if (!FCaseSensitive) c = AsciiUpper(c);
    // h < 1024 and c < 65536, so the product stays below 2^31.
    h = ((h + c) * 9973u) % BucketCount;
  }
  return static_cast<int>(h);
}

String TVoStringHash::Folded(std::u16string_view Key) const {
  return FCaseSensitive ? String(Key) : AsciiUpperCase(Key);
}

void TVoStringHash::Add(std::u16string_view Key, TVoStringItem* Item) {
  Bucket& bucket = FBuckets[HashOf(Key)];
  if (!bucket.try_emplace(Folded(Key), Item).second) {
    throw EVoDuplicateKeyError(u"Duplicate key \"" + String(Key) + u"\" in string list");
  }
}

void TVoStringHash::Remove(std::u16string_view Key, const TVoStringItem* Item) {
  const auto bucket = FBuckets.find(HashOf(Key));
  if (bucket == FBuckets.end()) return;
  const auto entry = bucket->second.find(Folded(Key));
  if (entry == bucket->second.end() || entry->second != Item) return;
  bucket->second.erase(entry);
  if (bucket->second.empty()) FBuckets.erase(bucket);
}

TVoStringItem* TVoStringHash::Find(std::u16string_view Key) const {
  const auto bucket = FBuckets.find(HashOf(Key));
  if (bucket == FBuckets.end()) return nullptr;
  const auto entry = bucket->second.find(Folded(Key));
  return entry == bucket->second.end() ? nullptr : entry->second;
}

void TVoStringHash::Clear() {
  FBuckets.clear();
}

std::size_t TVoStringHash::BucketLength(int Bucket) const {
  const auto bucket = FBuckets.find(Bucket);
  return bucket == FBuckets.end() ? 0 : bucket->second.size();
}

// ---- TVoHashedStringList

TVoHashedStringList::TVoHashedStringList(bool HasObjects) : FHasObjects(HasObjects) {}

TVoHashedStringList::~TVoHashedStringList() {
  Clear();
}

void TVoHashedStringList::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  Clear();
  FKeyHash.SetCaseSensitive(Value);
}

void TVoHashedStringList::SetUseNameAsKey(bool Value) {
  if (Value == FUseNameAsKey) return;
  FUseNameAsKey = Value;
  try {
    RebuildIndex();
  } catch (...) {
    // Two items share a key under the new mode: go back to the old mode, whose keys were unique.
    FUseNameAsKey = !Value;
    RebuildIndex();
    throw;
  }
}

void TVoHashedStringList::RebuildIndex() {
  FKeyHash.Clear();
  FKeyHash.SetCaseSensitive(FCaseSensitive);
  String key;
  for (const auto& item : FList) {
    if (IndexKey(item->Str, item->Name, key)) FKeyHash.Add(key, item.get());
  }
}

bool TVoHashedStringList::IndexKey(const String& Str, const String& Name, String& Key) const {
  Key = FUseNameAsKey ? Name : Str;
  return !FUseNameAsKey || !Name.empty();
}

void TVoHashedStringList::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index > Limit) {
    throw EVoListIndexError(u"List index out of bounds (" + IntToStr(Index) + u")");
  }
}

const String& TVoHashedStringList::GetStrings(int Index) const {
  CheckIndex(Index, Count() - 1);
  return FList[Index]->Str;
}

void TVoHashedStringList::Put(int Index, const String& S) {
  CheckIndex(Index, Count() - 1);
  TVoStringItem& item = *FList[Index];
  String name = NameOfLine(S);
  String oldKey;
  String newKey;
  const bool wasIndexed = IndexKey(item.Str, item.Name, oldKey);
  const bool isIndexed = IndexKey(S, name, newKey);
  if (isIndexed) {
    const TVoStringItem* holder = FKeyHash.Find(newKey);
    if (holder != nullptr && holder != &item) {
      throw EVoDuplicateKeyError(u"Duplicate key \"" + newKey + u"\" in string list");
    }
  }
  if (wasIndexed) FKeyHash.Remove(oldKey, &item);
  item.Str = S;
  item.Name = std::move(name);
  if (isIndexed) FKeyHash.Add(newKey, &item);
}

TVoObject* TVoHashedStringList::GetObjects(int Index) const {
  CheckIndex(Index, Count() - 1);
  return FList[Index]->Object();
}

void TVoHashedStringList::PutObject(int Index, TVoObject* AObject) {
  CheckIndex(Index, Count() - 1);
  FList[Index]->SetObj(AObject);
}

String TVoHashedStringList::GetNames(int Index) const {
  return NameOfLine(GetStrings(Index));
}

void TVoHashedStringList::Insert(int Index, const String& S) {
  CheckIndex(Index, Count());
  const auto position = FList.begin() + Index;
  TVoStringItem* item =
      FList.insert(position, std::make_unique<TVoStringItem>(this, S, NameOfLine(S), nullptr))->get();
  String key;
  if (!IndexKey(item->Str, item->Name, key)) return;
  try {
    FKeyHash.Add(key, item);
  } catch (...) {
    FList.erase(FList.begin() + Index);
    throw;
  }
}

int TVoHashedStringList::Add(const String& S) {
  const int index = Count();
  Insert(index, S);
  return index;
}

void TVoHashedStringList::Append(const String& S) {
  Add(S);
}

int TVoHashedStringList::AddObject(const String& S, TVoObject* AObject) {
  const int index = Count();
  InsertObject(index, S, AObject);
  return index;
}

void TVoHashedStringList::InsertObject(int Index, const String& S, TVoObject* AObject) {
  Insert(Index, S);
  FList[Index]->SetObj(AObject);
}

void TVoHashedStringList::Delete(int Index) {
  CheckIndex(Index, Count() - 1);
  String key;
  const TVoStringItem& item = *FList[Index];
  if (IndexKey(item.Str, item.Name, key)) FKeyHash.Remove(key, &item);
  FList.erase(FList.begin() + Index);
}

void TVoHashedStringList::Clear() {
  FKeyHash.Clear();
  FList.clear();
}

void TVoHashedStringList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex, Count() - 1);
  CheckIndex(NewIndex, Count() - 1);
  // The item itself moves, so its string, object and index entry stay as they are.
  const auto begin = FList.begin();
  if (CurIndex < NewIndex) {
    std::rotate(begin + CurIndex, begin + CurIndex + 1, begin + NewIndex + 1);
  } else {
    std::rotate(begin + NewIndex, begin + CurIndex, begin + CurIndex + 1);
  }
}

bool TVoHashedStringList::SameKey(const String& A, const String& B) const {
  // Scans use the same rule as the index: ASCII letters folded, every other code unit exact.
  return FCaseSensitive ? A == B : SameTextAscii(A, B);
}

int TVoHashedStringList::PositionOf(const TVoStringItem* Item) const {
  if (Item == nullptr) return -1;
  for (int i = 0; i < Count(); ++i) {
    if (FList[i].get() == Item) return i;
  }
  return -1;
}

TVoStringItem* TVoHashedStringList::FindByStr(const String& Str) const {
  if (!FUseNameAsKey) return FKeyHash.Find(Str);
  for (const auto& item : FList) {
    if (SameKey(item->Str, Str)) return item.get();
  }
  return nullptr;
}

TVoStringItem* TVoHashedStringList::FindByName(const String& Name) const {
  // An item without a name ("plain", "=x") is never found by name, in either mode.
  if (Name.empty()) return nullptr;
  if (FUseNameAsKey) return FKeyHash.Find(Name);
  for (const auto& item : FList) {
    if (SameKey(item->Name, Name)) return item.get();
  }
  return nullptr;
}

int TVoHashedStringList::IndexOf(const String& S) const {
  return PositionOf(FindByStr(S));
}

int TVoHashedStringList::IndexOfName(const String& Name) const {
  return PositionOf(FindByName(Name));
}

bool TVoHashedStringList::NameExists(const String& Name) const {
  return FindByName(Name) != nullptr;
}

bool TVoHashedStringList::StrExists(const String& Str) const {
  return FindByStr(Str) != nullptr;
}

String TVoHashedStringList::GetValuesByName(const String& Name) const {
  const TVoStringItem* item = FindByName(Name);
  if (item == nullptr) return String();
  return item->Str.substr(std::min(item->Str.size(), Name.size() + 1));
}

void TVoHashedStringList::SetValuesByName(const String& Name, const String& Value) {
  // Looked up trimmed too, so a padded name finds the key its line is written under.
  const String name = Trim(Name);
  String line = name + u"=" + QuoteValue(Value);
  TVoStringItem* item = FindByName(name);
  if (item == nullptr) {
    Append(line);
  } else if (FUseNameAsKey) {
    // The index entry stays that of the first write; only the written line changes.
    item->Str = std::move(line);
  } else {
    Put(PositionOf(item), line);
  }
}

TVoObject* TVoHashedStringList::GetObjectsByName(const String& Name) const {
  const TVoStringItem* item = FindByName(Name);
  return item == nullptr ? nullptr : item->Object();
}

void TVoHashedStringList::SetObjectsByName(const String& Name, TVoObject* Value) {
  if (TVoStringItem* item = FindByName(Name)) item->SetObj(Value);
}

TVoObject* TVoHashedStringList::GetObjectsByString(const String& Str) const {
  const TVoStringItem* item = FindByStr(Str);
  return item == nullptr ? nullptr : item->Object();
}

void TVoHashedStringList::SetObjectsByString(const String& Str, TVoObject* Value) {
  if (TVoStringItem* item = FindByStr(Str)) item->SetObj(Value);
}

}  // namespace kestrum
