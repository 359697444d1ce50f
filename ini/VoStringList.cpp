#include "ini/VoStringList.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <random>
#include <type_traits>
#include <utility>

namespace kestrum {

namespace {

std::u16string_view NamePart(std::u16string_view S) {
  const auto pos = S.find(u'=');
  return pos == std::u16string_view::npos ? std::u16string_view() : S.substr(0, pos);
}

bool NeedsQuotes(std::u16string_view Value) {
  return !Value.empty() && Value.find_first_of(u" \"") != std::u16string_view::npos;
}

// The length of Value in stored form: enclosed in double quotes, inner ones doubled, when it is
// not empty and holds a space or a double quote.
std::size_t StoredLength(std::u16string_view Value) {
  if (!NeedsQuotes(Value)) return Value.size();
  return Value.size() + 2 + static_cast<std::size_t>(std::count(Value.begin(), Value.end(), u'"'));
}

// Writes Value in stored form at Out, StoredLength(Value) code units.
void PutStored(char16_t* Out, std::u16string_view Value) {
  if (!NeedsQuotes(Value)) {
    std::copy(Value.begin(), Value.end(), Out);
    return;
  }
  *Out++ = u'"';
  for (const char16_t c : Value) {
    if (c == u'"') *Out++ = u'"';
    *Out++ = c;
  }
  *Out = u'"';
}

// The case rule's folding, inline: hashing calls it for every code unit of every key.
inline char16_t FoldedUnit(char16_t c) {
  return static_cast<char16_t>(c - (static_cast<char16_t>(c - u'a') < 26 ? u'a' - u'A' : 0));
}

// The second hash, which places keys in the index: a polynomial over the folded code units, taken
// three at a time, and the key's length, modulo the prime 2^61 - 1 at a point drawn once per
// process. A file cannot be crafted to make many keys collide without knowing that point.
constexpr uint64_t kPrime = (uint64_t{1} << 61) - 1;

// (h * point + Chunk) mod the prime, for h and point below it and Chunk below 2^48.
uint64_t PolynomialStep(uint64_t h, uint64_t Point, uint64_t Chunk) {
  const unsigned __int128 product = static_cast<unsigned __int128>(h) * Point + Chunk;
  const uint64_t folded = (static_cast<uint64_t>(product) & kPrime) + static_cast<uint64_t>(product >> 61);
  return folded >= kPrime ? folded - kPrime : folded;
}

uint64_t PlacementPoint() {
  static const uint64_t point = [] {
    std::random_device source;
    const uint64_t drawn = (uint64_t{source()} << 32) | source();
    return 2 + drawn % (kPrime - 3);
  }();
  return point;
}

// The home slot of a placement in a table of Size slots (a power of two, at least 2): Fibonacci
// hashing spreads the polynomial's value over the table.
std::size_t HomeSlot(uint32_t Placement, std::size_t Size) {
  return static_cast<std::size_t>((Placement * uint64_t{0x9E3779B97F4A7C15}) >>
                                  (64 - std::countr_zero(Size)));
}

// A code unit of either form of a TVoText.
inline char16_t UnitOf(char c) {
  return static_cast<char16_t>(static_cast<unsigned char>(c));
}
inline char16_t UnitOf(char16_t c) {
  return c;
}

template <class A, class B>
bool SameUnits(A a, B b, bool CaseSensitive) {
  if constexpr (std::is_same_v<A, B>) {
    // Most look-ups give a name in the case it is stored in, so the exact comparison comes first.
    if (a == b) return true;
    if (CaseSensitive) return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    const char16_t x = UnitOf(a[i]);
    const char16_t y = UnitOf(b[i]);
    if (x != y && (CaseSensitive || FoldedUnit(x) != FoldedUnit(y))) return false;
  }
  return true;
}

// The case rule of keys, for the index and for scans alike: ASCII letters folded when not
// case-sensitive, every other code unit exact.
bool SameKey(TVoText A, TVoText B, bool CaseSensitive) {
  if (A.size() != B.size()) return false;
  return A.Visit([&](auto a) { return B.Visit([&](auto b) { return SameUnits(a, b, CaseSensitive); }); });
}

constexpr std::size_t kFirstSlots = 16;
constexpr std::size_t kFewItems = 8;
constexpr std::size_t kFirstBlockUnits = 64;
constexpr std::size_t kLargestBlockUnits = std::size_t{1} << 20;

}  // namespace

// ---- TVoText

TVoText TVoText::substr(std::size_t Pos, std::size_t Count) const {
  return Visit([&](auto units) -> TVoText {
    const auto part = units.substr(std::min(Pos, units.size()), Count);
    if constexpr (std::is_same_v<decltype(part), const std::string_view>)
      return FromAscii(part);
    else
      return TVoText(part);
  });
}

std::size_t TVoText::find(char16_t C) const {
  return Visit([C](auto units) -> std::size_t {
    if constexpr (std::is_same_v<decltype(units), std::string_view>)
      return C < 0x80 ? units.find(static_cast<char>(C)) : std::string_view::npos;
    else
      return units.find(C);
  });
}

String TVoText::ToString() const {
  return Visit([](auto units) { return String(units.begin(), units.end()); });
}

std::u16string_view TrimmedView(std::u16string_view S) {
  std::size_t start = 0;
  while (start < S.size() && S[start] <= u' ') ++start;
  std::size_t end = S.size();
  while (end > start && S[end - 1] <= u' ') --end;
  return S.substr(start, end - start);
}

// ---- TVoStringHash

int TVoStringHash::HashOf(std::u16string_view Key) const {
  uint32_t h = 0;
  for (char16_t c : Key) {
    if (!FCaseSensitive) c = FoldedUnit(c);
    // h < 1024 and c < 65536, so the product stays below 2^31.
    h = ((h + c) * 9973u) % BucketCount;
  }
  return static_cast<int>(h);
}

uint32_t TVoStringHash::PlacementOf(TVoText Key) const {
  return Key.Visit([this](auto units) {
    return FCaseSensitive ? PlacementUnder<true>(units) : PlacementUnder<false>(units);
  });
}

// The same for either form of a text: it depends on the code units only.
template <bool CaseSensitive, class Units>
uint32_t TVoStringHash::PlacementUnder(Units Key) {
  const uint64_t point = PlacementPoint();
  const auto unit = [](auto c) -> uint64_t { return CaseSensitive ? UnitOf(c) : FoldedUnit(UnitOf(c)); };
  uint64_t h = 0;
  std::size_t i = 0;
  for (; i + 3 <= Key.size(); i += 3)
    h = PolynomialStep(h, point, unit(Key[i]) | unit(Key[i + 1]) << 16 | unit(Key[i + 2]) << 32);
  uint64_t rest = 0;
  for (std::size_t shift = 0; i < Key.size(); ++i, shift += 16) rest |= unit(Key[i]) << shift;
  // The length last: keys that differ only by NULs at the end or at the start differ in it.
  h = PolynomialStep(PolynomialStep(h, point, rest), point, Key.size());
  return static_cast<uint32_t>(h ^ (h >> 32));
}

std::size_t TVoStringHash::Probe(TVoText Key, uint32_t Placement, const TVoKeySource& Keys) const {
  const std::size_t mask = FSlots.size() - 1;
  std::size_t slot = HomeSlot(Placement, FSlots.size());
  while (FSlots[slot].Entry != kFree && (FSlots[slot].Placement != Placement ||
                                         !SameKey(Keys.KeyOf(FSlots[slot].Entry), Key, FCaseSensitive))) {
    slot = (slot + 1) & mask;
  }
  return slot;
}

void TVoStringHash::Grow() {
  const std::size_t size = std::max(kFirstSlots, FSlots.size() * 2);
  std::vector<TSlot> slots(size, TSlot{kFree, 0});
  for (const TSlot& entry : FSlots) {
    if (entry.Entry == kFree) continue;
    std::size_t slot = HomeSlot(entry.Placement, size);
    while (slots[slot].Entry != kFree) slot = (slot + 1) & (size - 1);
    slots[slot] = entry;
  }
  FSlots.swap(slots);
}

void TVoStringHash::TakeOut(std::size_t Slot) {
  // Backward-shift deletion: entries after the hole whose home lies at or before it move into it,
  // so every entry stays reachable from its home slot without tombstones.
  const std::size_t mask = FSlots.size() - 1;
  std::size_t hole = Slot;
  for (std::size_t next = (hole + 1) & mask; FSlots[next].Entry != kFree; next = (next + 1) & mask) {
    const std::size_t home = HomeSlot(FSlots[next].Placement, FSlots.size());
    if (((next - home) & mask) >= ((next - hole) & mask)) {
      FSlots[hole] = FSlots[next];
      hole = next;
    }
  }
  FSlots[hole].Entry = kFree;
  --FCount;
}

void TVoStringHash::Add(TVoText Key, uint32_t Placement, uint32_t Entry, const TVoKeySource& Keys) {
  if (!FSlots.empty() && FSlots[Probe(Key, Placement, Keys)].Entry != kFree) {
    throw EVoDuplicateKeyError(u"Duplicate key \"" + Key.ToString() + u"\" in string list");
  }
  // At most three quarters full, so probes stay short.
  if ((FCount + 1) * 4 > FSlots.size() * 3) Grow();
  FSlots[Probe(Key, Placement, Keys)] = TSlot{Entry, Placement};
  ++FCount;
}

void TVoStringHash::Remove(TVoText Key, uint32_t Entry, const TVoKeySource& Keys) {
  if (FSlots.empty()) return;
  const std::size_t slot = Probe(Key, PlacementOf(Key), Keys);
  if (FSlots[slot].Entry == Entry) TakeOut(slot);
}

int64_t TVoStringHash::Find(TVoText Key, uint32_t Placement, const TVoKeySource& Keys) const {
  if (FSlots.empty()) return -1;
  const TSlot& slot = FSlots[Probe(Key, Placement, Keys)];
  return slot.Entry == kFree ? int64_t{-1} : int64_t{slot.Entry};
}

void TVoStringHash::Clear() {
  FSlots.clear();
  FCount = 0;
}

std::size_t TVoStringHash::BucketLength(int Bucket, const TVoKeySource& Keys) const {
  return static_cast<std::size_t>(std::count_if(FSlots.begin(), FSlots.end(), [&](const TSlot& slot) {
    return slot.Entry != kFree && HashOf(Keys.KeyOf(slot.Entry).ToString()) == Bucket;
  }));
}

// ---- TVoHashedStringList

TVoHashedStringList::TVoHashedStringList(bool HasObjects) : FHasObjects(HasObjects) {}

TVoHashedStringList::~TVoHashedStringList() {
  Clear();
}

TVoText TVoHashedStringList::KeyOf(uint32_t Entry) const {
  return KeyOfItem(FItems[Entry]);
}

TVoText TVoHashedStringList::KeyOfItem(const TVoStringItem& Item) const {
  return FUseNameAsKey ? Item.Name() : Item.Str();
}

bool TVoHashedStringList::IsIndexed(const TVoStringItem& Item) const {
  return !FUseNameAsKey || Item.NameLength != 0;
}

TVoHashedStringList::TMore& TVoHashedStringList::More() {
  if (!FMore) FMore = std::make_unique<TMore>();
  return *FMore;
}

TVoObject* TVoHashedStringList::ObjectAt(int Index) const {
  return HasObjectSlots() ? FMore->Objects[Index] : nullptr;
}

bool TVoHashedStringList::HasObjectSlots() const {
  return FMore && !FMore->Objects.empty();
}

char16_t* TVoHashedStringList::ReserveText(std::size_t Length) {
  TMore& more = More();
  if (Length > more.BlockFree) {
    // Blocks grow with the text held, so a list of one key costs one small block and a list of
    // millions a few dozen large ones.
    const std::size_t size =
        std::max({Length, kFirstBlockUnits, std::min(more.HeldText, kLargestBlockUnits)});
    more.Blocks.push_back(std::make_unique_for_overwrite<char16_t[]>(size));
    more.FreeText = more.Blocks.back().get();
    more.BlockFree = size;
    more.HeldText += size;
  }
  char16_t* target = more.FreeText;
  more.FreeText += Length;
  more.BlockFree -= Length;
  more.LiveText += Length;
  return target;
}

std::u16string_view TVoHashedStringList::StoreText(TVoText S) {
  if (S.empty()) return {};
  char16_t* target = ReserveText(S.size());
  S.Visit([target](auto units) {
    std::transform(units.begin(), units.end(), target, [](auto c) { return UnitOf(c); });
  });
  return {target, S.size()};
}

std::u16string_view TVoHashedStringList::StoreKeyLine(std::u16string_view Name, std::u16string_view Value) {
  const std::size_t length = Name.size() + 1 + StoredLength(Value);
  char16_t* target = ReserveText(length);
  std::copy(Name.begin(), Name.end(), target);
  target[Name.size()] = u'=';
  PutStored(target + Name.size() + 1, Value);
  return {target, length};
}

void TVoHashedStringList::ReleaseText(const TVoStringItem& Item) {
  if (!Item.Owned) return;
  FMore->LiveText -= Item.Length;
  if (FMore->HeldText > kFirstBlockUnits && FMore->LiveText < FMore->HeldText / 4) CompactText();
}

void TVoHashedStringList::CompactText() {
  std::vector<std::unique_ptr<char16_t[]>> blocks;
  blocks.swap(FMore->Blocks);
  FMore->FreeText = nullptr;
  FMore->BlockFree = FMore->HeldText = FMore->LiveText = 0;
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    TVoStringItem& item = FItems[i];
    if (item.Owned) item.Text = StoreText(item.Str()).data();
  }
}

void TVoHashedStringList::CheckLength(std::size_t Length) {
  if (Length > kMaxLength) throw EVoStringListError(u"String too long for a string list");
}

TVoHashedStringList::TVoStringItem TVoHashedStringList::MakeItem(std::u16string_view S, bool Borrowed) {
  CheckLength(S.size());
  return ItemOf(Borrowed ? S : StoreText(S), !Borrowed && !S.empty());
}

TVoHashedStringList::TVoStringItem TVoHashedStringList::ItemOf(TVoText Text, bool Owned) {
  const std::size_t equals = Text.find(u'=');
  TVoStringItem item{};
  item.Text = Text.Visit([](auto units) -> const void* { return units.data(); });
  item.Length = static_cast<uint32_t>(Text.size());
  item.NameLength = equals == std::u16string_view::npos ? 0 : static_cast<uint32_t>(equals);
  item.Owned = Owned;
  item.Narrow = Text.IsNarrow();
  return item;
}

void TVoHashedStringList::SetCaseSensitive(bool Value) {
  if (Value == FCaseSensitive) return;
  FCaseSensitive = Value;
  Clear();
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
  FIndexed = FItems.size() > kFewItems;
  if (FIndexed || FMore) {
    More().KeyHash.Clear();
    FMore->KeyHash.SetCaseSensitive(FCaseSensitive);
  }
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    const TVoStringItem& item = FItems[i];
    if (!IsIndexed(item)) continue;
    if (FIndexed) {
      FMore->KeyHash.Add(KeyOfItem(item), static_cast<uint32_t>(i), *this);
    } else if (FindKey(KeyOfItem(item)) != static_cast<int>(i)) {
      throw EVoDuplicateKeyError(u"Duplicate key \"" + KeyOfItem(item).ToString() + u"\" in string list");
    }
  }
}

int TVoHashedStringList::FindKey(TVoText Key) const {
  // Look-ups come in runs for one key (a reader takes a section's keys one after another), so the
  // item found last is tried first. Keys are unique, so an item that has Key is the one, however
  // the list changed since.
  const std::size_t last = FLastFound.load(std::memory_order_relaxed);
  if (last < FItems.size() && HasKey(FItems[last], Key)) return static_cast<int>(last);
  const int found = FIndexed ? static_cast<int>(FMore->KeyHash.Find(Key, *this)) : ScanForKey(Key);
  if (found >= 0) FLastFound.store(static_cast<uint32_t>(found), std::memory_order_relaxed);
  return found;
}

int TVoHashedStringList::ScanForKey(TVoText Key) const {
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    if (HasKey(FItems[i], Key)) return static_cast<int>(i);
  }
  return -1;
}

bool TVoHashedStringList::HasKey(const TVoStringItem& Item, TVoText Key) const {
  return IsIndexed(Item) && SameKey(KeyOfItem(Item), Key, FCaseSensitive);
}

void TVoHashedStringList::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index > Limit) {
    throw EVoListIndexError(u"List index out of bounds (" + IntToStr(Index) + u")");
  }
}

String TVoHashedStringList::GetStrings(int Index) const {
  return TextOf(Index).ToString();
}

TVoText TVoHashedStringList::TextOf(int Index) const {
  CheckIndex(Index, Count() - 1);
  return FItems[Index].Str();
}

void TVoHashedStringList::Put(int Index, const String& S) {
  CheckIndex(Index, Count() - 1);
  const std::u16string_view newKey = FUseNameAsKey ? NamePart(S) : std::u16string_view(S);
  if (!FUseNameAsKey || !newKey.empty()) {
    const int holder = FindKey(newKey);
    if (holder >= 0 && holder != Index) {
      throw EVoDuplicateKeyError(u"Duplicate key \"" + String(newKey) + u"\" in string list");
    }
  }
  // The index reads keys from the items, so the entry leaves before the string changes.
  const uint32_t entry = static_cast<uint32_t>(Index);
  if (FIndexed && IsIndexed(FItems[Index])) FMore->KeyHash.Remove(KeyOfItem(FItems[Index]), entry, *this);
  ReplaceString(Index, S);
  if (FIndexed && IsIndexed(FItems[Index])) FMore->KeyHash.Add(KeyOfItem(FItems[Index]), entry, *this);
}

void TVoHashedStringList::ReplaceString(int Index, std::u16string_view S) {
  ReplaceItem(Index, MakeItem(S, false));
}

void TVoHashedStringList::ReplaceItem(int Index, TVoStringItem Item) {
  const TVoStringItem old = FItems[Index];
  FItems[Index] = Item;
  // Releasing may move the text of every item, the new one included, but no item changes.
  ReleaseText(old);
}

TVoObject* TVoHashedStringList::GetObjects(int Index) const {
  CheckIndex(Index, Count() - 1);
  return ObjectAt(Index);
}

void TVoHashedStringList::AttachObject(int Index, TVoObject* AObject) {
  if (!HasObjectSlots()) {
    if (AObject == nullptr) return;
    More().Objects.assign(FItems.size(), nullptr);
  }
  TVoObject*& attached = FMore->Objects[Index];
  if (AObject == attached) return;  // re-attaching the same object must not destroy it
  TVoObject* previous = attached;
  attached = AObject;
  if (FHasObjects) delete previous;
}

void TVoHashedStringList::DestroyObject(int Index) {
  AttachObject(Index, nullptr);
}

void TVoHashedStringList::PutObject(int Index, TVoObject* AObject) {
  CheckIndex(Index, Count() - 1);
  AttachObject(Index, AObject);
}

String TVoHashedStringList::GetNames(int Index) const {
  CheckIndex(Index, Count() - 1);
  return FItems[Index].Name().ToString();
}

void TVoHashedStringList::Insert(int Index, const String& S) {
  CheckIndex(Index, Count());
  InsertItem(Index, MakeItem(S, false));
}

void TVoHashedStringList::InsertItem(int Index, TVoStringItem Item) {
  const TVoText key = KeyOfItem(Item);
  const bool keyed = IsIndexed(Item);
  // Hashed once, for the check and for the entry.
  const uint32_t placement = keyed && FIndexed ? FMore->KeyHash.PlacementOf(key) : 0;
  if (keyed && (FIndexed ? FMore->KeyHash.Find(key, placement, *this) >= 0 : ScanForKey(key) >= 0)) {
    ReleaseText(Item);
    throw EVoDuplicateKeyError(u"Duplicate key \"" + key.ToString() + u"\" in string list");
  }
  const bool atEnd = Index == Count();
  FItems.insert(Index, Item);
  if (HasObjectSlots()) FMore->Objects.insert(Index, nullptr);
  if (!FIndexed) {
    if (FItems.size() > kFewItems) RebuildIndex();
    return;
  }
  if (!atEnd) {
    const uint32_t from = static_cast<uint32_t>(Index);
    FMore->KeyHash.Renumber([from](uint32_t entry) { return entry >= from ? entry + 1 : entry; });
  }
  if (keyed) FMore->KeyHash.Add(key, placement, static_cast<uint32_t>(Index), *this);
}

int TVoHashedStringList::Add(const String& S) {
  const int index = Count();
  Insert(index, S);
  return index;
}

void TVoHashedStringList::Append(const String& S) {
  Add(S);
}

int TVoHashedStringList::AddBorrowed(std::u16string_view S) {
  const int index = Count();
  InsertItem(index, MakeItem(S, true));
  return index;
}

int TVoHashedStringList::AddBorrowed(std::string_view Ascii) {
  CheckLength(Ascii.size());
  const int index = Count();
  InsertItem(index, ItemOf(TVoText::FromAscii(Ascii), false));
  return index;
}

int TVoHashedStringList::AddObject(const String& S, TVoObject* AObject) {
  const int index = Count();
  InsertObject(index, S, AObject);
  return index;
}

void TVoHashedStringList::InsertObject(int Index, const String& S, TVoObject* AObject) {
  Insert(Index, S);
  AttachObject(Index, AObject);
}

void TVoHashedStringList::Delete(int Index) {
  CheckIndex(Index, Count() - 1);
  const TVoStringItem item = FItems[Index];
  if (FIndexed && IsIndexed(item))
    FMore->KeyHash.Remove(KeyOfItem(item), static_cast<uint32_t>(Index), *this);
  DestroyObject(Index);
  FItems.erase(Index);
  if (HasObjectSlots()) FMore->Objects.erase(Index);
  if (FIndexed && Index < Count()) {
    const uint32_t from = static_cast<uint32_t>(Index);
    FMore->KeyHash.Renumber([from](uint32_t entry) { return entry > from ? entry - 1 : entry; });
  }
  ReleaseText(item);
}

void TVoHashedStringList::Clear() {
  if (HasObjectSlots()) {
    for (int i = 0; i < Count(); ++i) DestroyObject(i);
  }
  FItems.clear();
  FMore.reset();
  FIndexed = false;
}

void TVoHashedStringList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex, Count() - 1);
  CheckIndex(NewIndex, Count() - 1);
  // The item itself moves, so its string, object and index entry stay as they are.
  FItems.move(CurIndex, NewIndex);
  if (HasObjectSlots()) FMore->Objects.move(CurIndex, NewIndex);
  if (!FIndexed) return;
  const uint32_t from = static_cast<uint32_t>(CurIndex);
  const uint32_t to = static_cast<uint32_t>(NewIndex);
  FMore->KeyHash.Renumber([from, to](uint32_t entry) -> uint32_t {
    if (entry == from) return to;
    if (from < to && entry > from && entry <= to) return entry - 1;
    if (to < from && entry >= to && entry < from) return entry + 1;
    return entry;
  });
}

int TVoHashedStringList::FindByStr(std::u16string_view Str) const {
  if (!FUseNameAsKey) return FindKey(Str);
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    if (SameKey(FItems[i].Str(), Str, FCaseSensitive)) return static_cast<int>(i);
  }
  return -1;
}

int TVoHashedStringList::FindByName(std::u16string_view Name) const {
  // An item without a name ("plain", "=x") is never found by name, in either mode.
  if (Name.empty()) return -1;
  if (FUseNameAsKey) return FindKey(Name);
  for (std::size_t i = 0; i < FItems.size(); ++i) {
    if (SameKey(FItems[i].Name(), Name, FCaseSensitive)) return static_cast<int>(i);
  }
  return -1;
}

void TVoHashedStringList::ShrinkToFit() {
  FItems.shrink_to_fit();
  if (FMore) FMore->Objects.shrink_to_fit();
}

int TVoHashedStringList::IndexOf(std::u16string_view S) const {
  return FindByStr(S);
}

int TVoHashedStringList::IndexOfName(std::u16string_view Name) const {
  return FindByName(Name);
}

bool TVoHashedStringList::NameExists(std::u16string_view Name) const {
  return FindByName(Name) >= 0;
}

bool TVoHashedStringList::StrExists(std::u16string_view Str) const {
  return FindByStr(Str) >= 0;
}

TVoText TVoHashedStringList::ValueViewByName(std::u16string_view Name) const {
  const int index = FindByName(Name);
  if (index < 0) return {};
  return FItems[index].Str().substr(Name.size() + 1);
}

String TVoHashedStringList::GetValuesByName(const String& Name) const {
  return ValueViewByName(Name).ToString();
}

void TVoHashedStringList::SetValuesByName(std::u16string_view Name, std::u16string_view Value) {
  // Looked up trimmed too, so a padded name finds the key its line is written under.
  const std::u16string_view name = TrimmedView(Name);
  const int index = FindByName(name);
  if (index >= 0 && !FUseNameAsKey) {
    // Keyed by the whole string, the index follows the new line as a Put makes it.
    String line(name.size() + 1 + StoredLength(Value), u'=');
    std::copy(name.begin(), name.end(), line.begin());
    PutStored(line.data() + name.size() + 1, Value);
    Put(index, line);
    return;
  }
  CheckLength(name.size() + 1 + StoredLength(Value));
  const TVoStringItem item = ItemOf(StoreKeyLine(name, Value), true);
  if (index < 0) {
    InsertItem(Count(), item);
  } else {
    // The line's name differs from the indexed one at most in letter case, which the index ignores
    // then, so the entry stays valid; only the written line changes.
    ReplaceItem(index, item);
  }
}

TVoObject* TVoHashedStringList::GetObjectsByName(std::u16string_view Name) const {
  const int index = FindByName(Name);
  return index < 0 ? nullptr : ObjectAt(index);
}

void TVoHashedStringList::SetObjectsByName(std::u16string_view Name, TVoObject* Value) {
  const int index = FindByName(Name);
  if (index >= 0) AttachObject(index, Value);
}

TVoObject* TVoHashedStringList::GetObjectsByString(std::u16string_view Str) const {
  const int index = FindByStr(Str);
  return index < 0 ? nullptr : ObjectAt(index);
}

void TVoHashedStringList::SetObjectsByString(std::u16string_view Str, TVoObject* Value) {
  const int index = FindByStr(Str);
  if (index >= 0) AttachObject(index, Value);
}

}  // namespace kestrum
