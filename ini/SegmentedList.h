#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace kestrum {

// A list of T stored in segments of a fixed size, so that growing never copies what it holds and
// never needs room for the old and the new copy at once; a short list is one small segment that
// grows like a vector. T must be cheap to copy.
template <class T>
class TSegmentedList final {
 public:
  std::size_t size() const { return FSize; }
  bool empty() const { return FSize == 0; }
  T& operator[](std::size_t Index) { return FSegments[Index >> kShift][Index & kMask]; }
  const T& operator[](std::size_t Index) const { return FSegments[Index >> kShift][Index & kMask]; }

  // By value: Value may be one of the list's own elements, which growing a segment moves.
  void push_back(T Value) {
    if (FSize >> kShift == FSegments.size()) FSegments.emplace_back();
    std::vector<T>& last = FSegments.back();
    if (last.capacity() == last.size())
      last.reserve(last.empty() ? kFirst : std::min(2 * last.size(), kSegment));
    last.push_back(Value);
    ++FSize;
  }

  // Value goes to Index; the elements from there on move up by one.
  void insert(std::size_t Index, T Value) {
    if (FSize == 0) {
      push_back(Value);
      return;
    }
    push_back((*this)[FSize - 1]);
    for (std::size_t i = FSize - 2; i > Index; --i) (*this)[i] = (*this)[i - 1];
    (*this)[Index] = Value;
  }

  void erase(std::size_t Index) {
    for (std::size_t i = Index; i + 1 < FSize; ++i) (*this)[i] = (*this)[i + 1];
    FSegments.back().pop_back();
    if (FSegments.back().empty()) FSegments.pop_back();
    --FSize;
  }

  // The element at From goes to To; those in between close up.
  void move(std::size_t From, std::size_t To) {
    const T moved = (*this)[From];
    for (std::size_t i = From; i < To; ++i) (*this)[i] = (*this)[i + 1];
    for (std::size_t i = From; i > To; --i) (*this)[i] = (*this)[i - 1];
    (*this)[To] = moved;
  }

  void assign(std::size_t Count, const T& Value) {
    clear();
    for (std::size_t i = 0; i < Count; ++i) push_back(Value);
  }

  void clear() {
    FSegments.clear();
    FSize = 0;
  }

 private:
  static constexpr std::size_t kShift = 10;
  static constexpr std::size_t kSegment = std::size_t{1} << kShift;
  static constexpr std::size_t kMask = kSegment - 1;
  static constexpr std::size_t kFirst = 1;

  std::vector<std::vector<T>> FSegments;
  std::size_t FSize = 0;
};

}  // namespace kestrum
