#include "data/RaidNames.h"

#include <algorithm>
#include <utility>

#include "ini/VoStringList.h"

namespace kestrum {

namespace {

constexpr std::u16string_view kCountSuffix = u" COUNT";

std::u16string_view TrimmedLeftView(std::u16string_view AText) {
  const std::u16string_view trimmed = TrimmedView(AText);
  return AText.substr(static_cast<size_t>(trimmed.data() - AText.data()));
}

// Whether a's key is b's count key "<b> COUNT", which the file trims at its start only.
bool IsCountKeyOf(std::u16string_view a, std::u16string_view b) {
  const std::u16string_view key = TrimmedView(a);
  const std::u16string_view stem = TrimmedLeftView(b);
  return key.size() == stem.size() + kCountSuffix.size() && SameTextAscii(key.substr(0, stem.size()), stem) &&
         SameTextAscii(key.substr(stem.size()), kCountSuffix);
}

bool KeysClash(std::u16string_view a, std::u16string_view b) {
  return IsCountKeyOf(a, b) || IsCountKeyOf(b, a);
}

// The problems a name has on its own, whatever the other names.
TRaidNameProblem ProblemOfItself(std::u16string_view AName) {
  const std::u16string_view key = TrimmedView(AName);
  if (key.empty()) return TRaidNameProblem::Empty;
  if (key.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string_view::npos)
    return TRaidNameProblem::HasLineBreak;
  if (key.find(u'=') != std::u16string_view::npos) return TRaidNameProblem::HasEquals;
  if (key.front() == u';') return TRaidNameProblem::StartsWithSemicolon;
  if (SameTextAscii(key, u"NAME")) return TRaidNameProblem::CharaKey;
  return TRaidNameProblem::None;
}

// Orders keys as the file compares them: trimmed, ASCII letters in upper case.
bool KeyLess(std::u16string_view a, std::u16string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char16_t x, char16_t y) { return AsciiUpper(x) < AsciiUpper(y); });
}

// The storable names of a roster ordered by key, so that names sharing a key stand together and a
// key is found by halving. A hostile file names tens of thousands of raids: the index takes four
// bytes a name and no copy of any.
class TKeyIndex final {
 public:
  TKeyIndex(std::span<const String> ANames, const std::vector<TRaidNameProblem>& AProblems) : FNames(ANames) {
    for (size_t k = 0; k < ANames.size(); ++k)
      if (AProblems[k] == TRaidNameProblem::None) FOrder.push_back(static_cast<int32_t>(k));
    // Equal keys stay in file order, without the buffer a stable sort would take.
    std::sort(FOrder.begin(), FOrder.end(), [this](int32_t a, int32_t b) {
      return KeyLess(Key(a), Key(b)) || (!KeyLess(Key(b), Key(a)) && a < b);
    });
  }

  // The positions in FOrder of the names whose key is AKey (trimmed already), in file order.
  std::pair<size_t, size_t> Holders(std::u16string_view AKey) const {
    const auto less = [this](int32_t index, std::u16string_view key) { return KeyLess(Key(index), key); };
    const auto greater = [this](std::u16string_view key, int32_t index) { return KeyLess(key, Key(index)); };
    const auto first = std::lower_bound(FOrder.begin(), FOrder.end(), AKey, less);
    const auto last = std::upper_bound(first, FOrder.end(), AKey, greater);
    return {static_cast<size_t>(first - FOrder.begin()), static_cast<size_t>(last - FOrder.begin())};
  }
  bool Held(std::u16string_view AKey) const {
    const auto [first, last] = Holders(AKey);
    return first != last;
  }
  const std::vector<int32_t>& Order() const { return FOrder; }
  std::u16string_view Key(int32_t AIndex) const { return TrimmedView(FNames[AIndex]); }

 private:
  std::span<const String> FNames;
  std::vector<int32_t> FOrder;
};

// Marks the later name of each pair that shares a key, or whose key is the other's count key.
void MarkClashes(std::span<const String> ANames, const TKeyIndex& AIndex,
                 std::vector<TRaidNameProblem>& AProblems) {
  const std::vector<int32_t>& order = AIndex.Order();
  for (size_t i = 1; i < order.size(); ++i)
    if (!KeyLess(AIndex.Key(order[i - 1]), AIndex.Key(order[i])))
      AProblems[order[i]] = TRaidNameProblem::Taken;
  for (const int32_t k : order) {
    const std::u16string_view key = AIndex.Key(k);
    if (key.size() <= kCountSuffix.size() ||
        !SameTextAscii(key.substr(key.size() - kCountSuffix.size()), kCountSuffix))
      continue;
    const auto [first, last] = AIndex.Holders(TrimmedView(key.substr(0, key.size() - kCountSuffix.size())));
    for (size_t i = first; i < last; ++i) {
      const int32_t other = order[i];
      if (IsCountKeyOf(ANames[k], ANames[other])) AProblems[std::max(k, other)] = TRaidNameProblem::CharaKey;
    }
  }
}

}  // namespace

bool SameRaidKey(std::u16string_view a, std::u16string_view b) {
  return SameTextAscii(TrimmedView(a), TrimmedView(b));
}

TRaidNameProblem RaidNameProblem(std::u16string_view AName, std::span<const String> ARaidNames,
                                 int AExceptIdx) {
  if (const TRaidNameProblem own = ProblemOfItself(AName); own != TRaidNameProblem::None) return own;
  for (size_t k = 0; k < ARaidNames.size(); ++k) {
    if (static_cast<int>(k) == AExceptIdx) continue;
    if (SameRaidKey(AName, ARaidNames[k])) return TRaidNameProblem::Taken;
    if (KeysClash(AName, ARaidNames[k])) return TRaidNameProblem::CharaKey;
  }
  return TRaidNameProblem::None;
}

std::vector<TRaidNameProblem> RaidNameProblems(std::span<const String> ARaidNames) {
  std::vector<TRaidNameProblem> problems(ARaidNames.size());
  std::transform(ARaidNames.begin(), ARaidNames.end(), problems.begin(), ProblemOfItself);
  MarkClashes(ARaidNames, TKeyIndex(ARaidNames, problems), problems);
  return problems;
}

String RaidNameProblemMessage(TRaidNameProblem AProblem, const String& AName) {
  const String quoted = u"\"" + AName + u"\"";
  switch (AProblem) {
    case TRaidNameProblem::None:
      break;
    case TRaidNameProblem::Empty:
      return u"レイド名が空です";
    case TRaidNameProblem::HasEquals:
      return u"レイド名 " + quoted + u" は \"=\" を含むため使えません";
    case TRaidNameProblem::StartsWithSemicolon:
      return u"レイド名 " + quoted + u" は \";\" で始まるため使えません";
    case TRaidNameProblem::HasLineBreak:
      return u"レイド名が改行を含むため使えません";
    case TRaidNameProblem::CharaKey:
      return u"レイド名 " + quoted + u" はキャラクターのデータのキーと重なるため使えません";
    case TRaidNameProblem::Taken:
      return u"同名のレイドが存在します: " + quoted;
  }
  return String();
}

std::vector<TRenamedRaid> RenameUnstorableRaids(TRaidNames& ARaidNames) {
  const std::vector<TRaidNameProblem> problems = RaidNameProblems(ARaidNames);
  std::vector<TRenamedRaid> renamed;
  if (std::all_of(problems.begin(), problems.end(),
                  [](TRaidNameProblem p) { return p == TRaidNameProblem::None; }))
    return renamed;
  // New names differ from each other by their position; each must keep clear of the names that stay.
  const TKeyIndex kept(ARaidNames, problems);
  const auto free = [&kept](const String& AName) {
    return !kept.Held(AName) && !kept.Held(AName + String(kCountSuffix));
  };
  for (size_t k = 0; k < ARaidNames.size(); ++k) {
    if (problems[k] == TRaidNameProblem::None) continue;
    const String stem = u"Raid " + IntToStr(static_cast<int64_t>(k + 1));
    String name = stem;
    for (int n = 2; !free(name); ++n) name = stem + u" (" + IntToStr(n) + u")";
    renamed.push_back({static_cast<int>(k), ARaidNames[k], name});
  }
  for (const TRenamedRaid& raid : renamed) ARaidNames[raid.Index] = raid.NewName;
  return renamed;
}

}  // namespace kestrum
