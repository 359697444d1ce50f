#include "ini/VoStringList.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <random>
#include <utility>

namespace kestrum {

namespace {

std::u16string_view NamePart(std::u16string_view S) {
  const auto pos = S.find(u'=');
  return pos == std::u16string_view::npos ? std::u16string_view() : S.substr(0, pos);
}

void AppendQuoted(String& Dest, std::u16string_view Value) {
  if (Value.empty() || Value.find_first_of(u" \"") == std::u16string_view::npos) {
    Dest += Value;
    return;
  }
  Dest.reserve(Dest.size() + Value.size() + 2);
  Dest += u'"';
  for (const char16_t c : Value) {
    if (c == u'"') Dest += u'"';
    Dest += c;
  }
  Dest += u'"';
}

// The second hash, which places keys inside a bucket: a polynomial over the folded code units,
// modulo the prime 2^31 - 1, at a point drawn once per process. A file cannot be crafted to make
// many keys collide without knowing that point.
constexpr uint64_t kPrime = (uint64_t{1} << 31) - 1;

uint64_t ReduceModPrime(uint64_t x) {
  x = (x & kPrime) + (x >> 31);
  x = (x & kPrime) + (x >> 31);
  return x >= kPrime ? x - kPrime : x;
}

uint64_t PlacementPoint() {
  static const uint64_t point = 2 + std::random_device()() % (kPrime - 3);
  return point;
}

// The home slot of a placement in a table of Size slots (a power of two, at least 2): Fibonacci
// hashing spreads the polynomial's value over the table.
std::size_t HomeSlot(uint32_t Placement, std::size_t Size) {
  return static_cast<std::size_t>((Placement * uint64_t{0x9E3779B97F4A7C15}) >>
                                  (64 - std::countr_zero(Size)));
}

// The case rule of keys, for the index and for scans alike: ASCII letters folded when not
// case-sensitive, every other code unit exact.
bool SameKey(std::u16string_view A, std::u16string_view B, bool CaseSensitive) {
  return CaseSensitive ? A == B : SameTextAscii(A, B);
}

constexpr std::size_t kFirstSlots = 2;
constexpr std::size_t kFewEntries = 8;
// Placements are below 2^31, so this marks a free slot; probing then reads only the placements.
constexpr uint32_t kFree = UINT32_MAX;

}  // namespace

std::u16string_view TrimmedView(std::u16string_view S) {
  std::size_t start = 0;
  while (start < S.size() && S[start] <= u' ') ++start;
  std::size_t end = S.size();
  while (end > start && S[end - 1] <= u' ') --end;
  return S.substr(start, end - start);
}

String NameOfLine(std::u16string_view S) {
  return String(NamePart(S));
}

String QuoteValue(std::u16string_view Value) {
  String stored;
  AppendQuoted(stored, Value);
  return stored;
}

// ---- TVoStringItem

TVoStringItem::TVoStringItem(TVoHashedStringList* Owner, String AStr, TVoObject* o)
    : Str(std::move(AStr)), FOwner(Owner), FObject(o) {}

TVoStringItem::~TVoStringItem() {
  SetObj(nullptr);
}

void TVoStringItem::SetObj(TVoObject* o) {
  if (o == FObject) return;  // re-attaching the same object must not destroy it
  TVoObject* previous = FObject;
  FObject = o;
  if (FOwner->HasObjects()) delete previous;
}

std::u16string_view TVoStringItem::Name() const {
  return NamePart(Str);
}

std::u16string_view TVoStringItem::Key() const {
  return FOwner->UseNameAsKey() ? Name() : std::u16string_view(Str);
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

uint32_t TVoStringHash::PlacementOf(std::u16string_view Key) const {
  const uint64_t point = PlacementPoint();
  uint64_t h = 0;
  for (char16_t c : Key) {
    if (!FCaseSensitive) c = AsciiUpper(c);
    h = ReduceModPrime(h * point + c + 1u);  // +1: keys that differ by leading NULs differ
  }
  return static_cast<uint32_t>(h);
}

std::size_t TVoStringHash::Probe(const TBucket& Bucket, std::u16string_view Key, uint32_t Placement,
                                 bool CaseSensitive) {
  const std::size_t mask = Bucket.Items.size() - 1;
  std::size_t slot = HomeSlot(Placement, Bucket.Items.size());
  while (Bucket.Placements[slot] != kFree &&
         (Bucket.Placements[slot] != Placement || !SameKey(Bucket.Items[slot]->Key(), Key, CaseSensitive))) {
    slot = (slot + 1) & mask;
  }
  return slot;
}

std::size_t TVoStringHash::BucketPosition(int Number) const {
  // A large list soon has every bucket in use, and then a bucket's number is its position.
  if (FBuckets.size() == BucketCount) return static_cast<std::size_t>(Number);
  const auto bucket = std::lower_bound(FBuckets.begin(), FBuckets.end(), Number,
                                       [](const TBucket& b, int n) { return b.Number < n; });
  return static_cast<std::size_t>(bucket - FBuckets.begin());
}

bool TVoStringHash::HasBucketAt(std::size_t Position, int Number) const {
  return Position < FBuckets.size() && FBuckets[Position].Number == Number;
}

void TVoStringHash::Grow(TBucket& Bucket) {
  const std::size_t size = Bucket.Items.size() * 2;
  std::vector<TVoStringItem*> items(size);
  std::vector<uint32_t> placements(size, kFree);
  for (std::size_t i = 0; i < Bucket.Items.size(); ++i) {
    if (Bucket.Placements[i] == kFree) continue;
    std::size_t slot = HomeSlot(Bucket.Placements[i], size);
    while (placements[slot] != kFree) slot = (slot + 1) & (size - 1);
    items[slot] = Bucket.Items[i];
    placements[slot] = Bucket.Placements[i];
  }
  Bucket.Items.swap(items);
  Bucket.Placements.swap(placements);
}

void TVoStringHash::TakeOut(TBucket& Bucket, std::size_t Slot) {
  // Backward-shift deletion: entries after the hole whose home lies at or before it move into it,
  // so every entry stays reachable from its home slot without tombstones.
  const std::size_t mask = Bucket.Items.size() - 1;
  std::size_t hole = Slot;
  for (std::size_t next = (hole + 1) & mask; Bucket.Placements[next] != kFree; next = (next + 1) & mask) {
    const std::size_t home = HomeSlot(Bucket.Placements[next], Bucket.Items.size());
    if (((next - home) & mask) >= ((next - hole) & mask)) {
      Bucket.Items[hole] = Bucket.Items[next];
      Bucket.Placements[hole] = Bucket.Placements[next];
      hole = next;
    }
  }
  Bucket.Items[hole] = nullptr;
  Bucket.Placements[hole] = kFree;
  --Bucket.Count;
}

std::vector<TVoStringItem*>::const_iterator TVoStringHash::FewEntry(std::u16string_view Key) const {
  return std::find_if(FFew.begin(), FFew.end(),
                      [&](const TVoStringItem* item) { return SameKey(item->Key(), Key, FCaseSensitive); });
}

void TVoStringHash::Add(std::u16string_view Key, TVoStringItem* Item) {
  if (FBuckets.empty() && FFew.size() < kFewEntries) {
    if (FewEntry(Key) != FFew.end()) ThrowDuplicate(Key);
    FFew.push_back(Item);
    return;
  }
  if (!FFew.empty()) SpreadFew();
  AddToBucket(Key, Item);
}

void TVoStringHash::SpreadFew() {
  std::vector<TVoStringItem*> few;
  few.swap(FFew);
  try {
    for (TVoStringItem* item : few) AddToBucket(item->Key(), item);
  } catch (...) {
    FBuckets.clear();
    FFew.swap(few);
    throw;
  }
}

void TVoStringHash::ThrowDuplicate(std::u16string_view Key) {
  throw EVoDuplicateKeyError(u"Duplicate key \"" + String(Key) + u"\" in string list");
}

void TVoStringHash::AddToBucket(std::u16string_view Key, TVoStringItem* Item) {
  const int number = HashOf(Key);
  const uint32_t placement = PlacementOf(Key);
  const std::size_t position = BucketPosition(number);
  if (!HasBucketAt(position, number)) {
    FBuckets.insert(FBuckets.begin() + position, TBucket{number, 0, std::vector<TVoStringItem*>(kFirstSlots),
                                                         std::vector<uint32_t>(kFirstSlots, kFree)});
  } else if (FBuckets[position].Placements[Probe(FBuckets[position], Key, placement, FCaseSensitive)] !=
             kFree) {
    ThrowDuplicate(Key);
  }
  TBucket& bucket = FBuckets[position];
  // At most three quarters full, so probes stay short.
  if ((bucket.Count + 1) * 4 > bucket.Items.size() * 3) Grow(bucket);
  const std::size_t slot = Probe(bucket, Key, placement, FCaseSensitive);
  bucket.Items[slot] = Item;
  bucket.Placements[slot] = placement;
  ++bucket.Count;
}

void TVoStringHash::Remove(std::u16string_view Key, const TVoStringItem* Item) {
  if (FBuckets.empty()) {
    const auto entry = FewEntry(Key);
    if (entry != FFew.end() && *entry == Item) FFew.erase(entry);
    return;
  }
  const int number = HashOf(Key);
  const std::size_t position = BucketPosition(number);
  if (!HasBucketAt(position, number)) return;
  TBucket& bucket = FBuckets[position];
  const std::size_t slot = Probe(bucket, Key, PlacementOf(Key), FCaseSensitive);
  if (bucket.Items[slot] != Item) return;
  TakeOut(bucket, slot);
  if (bucket.Count == 0) FBuckets.erase(FBuckets.begin() + position);
}

TVoStringItem* TVoStringHash::Find(std::u16string_view Key) const {
  if (FBuckets.empty()) {
    const auto entry = FewEntry(Key);
    return entry == FFew.end() ? nullptr : *entry;
  }
  const int number = HashOf(Key);
  const std::size_t position = BucketPosition(number);
  if (!HasBucketAt(position, number)) return nullptr;
  const TBucket& bucket = FBuckets[position];
  const std::size_t slot = Probe(bucket, Key, PlacementOf(Key), FCaseSensitive);
  return bucket.Placements[slot] == kFree ? nullptr : bucket.Items[slot];
}

void TVoStringHash::Clear() {
  FFew.clear();
  FBuckets.clear();
}

std::size_t TVoStringHash::BucketLength(int Bucket) const {
  if (FBuckets.empty()) {
    return static_cast<std::size_t>(std::count_if(
        FFew.begin(), FFew.end(), [&](const TVoStringItem* item) { return HashOf(item->Key()) == Bucket; }));
  }
  const std::size_t position = BucketPosition(Bucket);
  return HasBucketAt(position, Bucket) ? FBuckets[position].Count : 0;
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
  for (const auto& item : FList) {
    if (IsIndexed(*item)) FKeyHash.Add(item->Key(), item.get());
  }
}

bool TVoHashedStringList::IsIndexed(const TVoStringItem& Item) const {
  return !FUseNameAsKey || !Item.Name().empty();
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
  const std::u16string_view newKey = FUseNameAsKey ? NamePart(S) : std::u16string_view(S);
  if (!FUseNameAsKey || !newKey.empty()) {
    const TVoStringItem* holder = FKeyHash.Find(newKey);
    if (holder != nullptr && holder != &item) {
      throw EVoDuplicateKeyError(u"Duplicate key \"" + String(newKey) + u"\" in string list");
    }
  }
  // The index reads keys from the items, so the entry leaves before the string changes.
  if (IsIndexed(item)) FKeyHash.Remove(item.Key(), &item);
  item.Str = S;
  if (IsIndexed(item)) FKeyHash.Add(item.Key(), &item);
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
  InsertItem(Index, S);
}

void TVoHashedStringList::InsertItem(int Index, String S) {
  CheckIndex(Index, Count());
  const auto position = FList.begin() + Index;
  TVoStringItem* item =
      FList.insert(position, std::make_unique<TVoStringItem>(this, std::move(S), nullptr))->get();
  if (!IsIndexed(*item)) return;
  try {
    FKeyHash.Add(item->Key(), item);
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
  const TVoStringItem& item = *FList[Index];
  if (IsIndexed(item)) FKeyHash.Remove(item.Key(), &item);
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

int TVoHashedStringList::PositionOf(const TVoStringItem* Item) const {
  if (Item == nullptr) return -1;
  for (int i = 0; i < Count(); ++i) {
    if (FList[i].get() == Item) return i;
  }
  return -1;
}

TVoStringItem* TVoHashedStringList::FindByStr(std::u16string_view Str) const {
  if (!FUseNameAsKey) return FKeyHash.Find(Str);
  for (const auto& item : FList) {
    if (SameKey(item->Str, Str, FCaseSensitive)) return item.get();
  }
  return nullptr;
}

TVoStringItem* TVoHashedStringList::FindByName(std::u16string_view Name) const {
  // An item without a name ("plain", "=x") is never found by name, in either mode.
  if (Name.empty()) return nullptr;
  if (FUseNameAsKey) return FKeyHash.Find(Name);
  for (const auto& item : FList) {
    if (SameKey(item->Name(), Name, FCaseSensitive)) return item.get();
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
  const std::u16string_view name = TrimmedView(Name);
  TVoStringItem* item = FindByName(name);
  String line;
  line.reserve(name.size() + 1 + Value.size());
  line += name;
  line += u'=';
  AppendQuoted(line, Value);
  if (item == nullptr) {
    InsertItem(Count(), std::move(line));
  } else if (FUseNameAsKey) {
    // The line's name differs from the indexed one at most in letter case, which the index ignores
    // then, so the entry stays valid; only the written line changes.
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
