#pragma once

#include <algorithm>
#include <vector>

namespace kestrum {

// Moves the element at FromIdx to ToIdx; the elements in between close up.
template <typename T>
void MoveItem(std::vector<T>& items, int FromIdx, int ToIdx) {
  if (FromIdx < ToIdx)
    std::rotate(items.begin() + FromIdx, items.begin() + FromIdx + 1, items.begin() + ToIdx + 1);
  else if (FromIdx > ToIdx)
    std::rotate(items.begin() + ToIdx, items.begin() + FromIdx, items.begin() + FromIdx + 1);
}

}  // namespace kestrum
