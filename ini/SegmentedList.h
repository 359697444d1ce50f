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
  // Counted from the segments, all full but the last: a list per INI section makes every word count.
  std::size_t size() const {
    return FSegments.empty() ? 0 : (FSegments.size() - 1) * kSegment + FSegments.back().size();
  }
  bool empty() const { return FSegments.empty(); }
  T& operator[](std::size_t Index) { return FSegments[Index >> kShift][Index & kMask]; }
  const T& operator[](std::size_t Index) const { return FSegments[Index >> kShift][Index & kMask]; }

  // By value: Value may be one of the list's own elements, which growing a segment moves.
  void push_back(T Value) {
    if (FSegments.empty() || FSegments.back().size() == kSegment) FSegments.emplace_back();
    std::vector<T>& last = FSegments.back();
    if (last.capacity() == last.size())
      last.reserve(last.empty() ? kFirst : std::min(2 * last.size(), kSegment));
    last.push_back(Value);
  }

  // Value goes to Index; the elements from there on move up by one.
  void insert(std::size_t Index, T Value) {
    const std::size_t count = size();
    if (count == 0) {
      push_back(Value);
      return;
    }
    push_back((*this)[count - 1]);
    for (std::size_t i = count - 1; i > Index; --i) (*this)[i] = (*this)[i - 1];
    (*this)[Index] = Value;
  }

  void erase(std::size_t Index) {
    for (std::size_t i = Index, count = size(); i + 1 < count; ++i) (*this)[i] = (*this)[i + 1];
    FSegments.back().pop_back();
    if (FSegments.back().empty()) FSegments.pop_back();
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

  // Gives back the room the last segment holds beyond its elements.
  void shrink_to_fit() {
    if (!FSegments.empty()) FSegments.back().shrink_to_fit();
  }

  void clear() { FSegments.clear(); }

 private:
  static constexpr std::size_t kShift = 10;
  static constexpr std::size_t kSegment = std::size_t{1} << kShift;
  static constexpr std::size_t kMask = kSegment - 1;
  static constexpr std::size_t kFirst = 1;

  std::vector<std::vector<T>> FSegments;
};

}  // namespace kestrum
