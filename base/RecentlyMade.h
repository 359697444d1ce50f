#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace kestrum {

// The values made for the last few keys asked for, so that a caller asking thousands of times under
// the same key (a roster's dates under one regional format) makes the value once.
template <class Key, class Value, std::size_t Kept>
class TRecentlyMade final {
 public:
  // The value kept for a key that same() finds equal to key, else make() kept in place of the
  // oldest. The reference holds until the next call.
  template <class Same, class Make>
  const Value& Get(const Key& key, Same&& same, Make&& make) {
    for (const auto& item : FItems)
      if (same(item.first, key)) return item.second;
    if (FItems.size() == Kept) FItems.erase(FItems.begin());
    FItems.emplace_back(key, make());
    return FItems.back().second;
  }

 private:
  std::vector<std::pair<Key, Value>> FItems;
};

}  // namespace kestrum
