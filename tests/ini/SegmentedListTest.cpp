#include "ini/SegmentedList.h"

#include <algorithm>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace kestrum {
namespace {

// Random edits across several segments give what the same edits give on a vector.
TEST(SegmentedListTest, EditsMatchAVector) {
  std::mt19937 random(20240611);
  TSegmentedList<int> list;
  std::vector<int> expected;
  for (int step = 0; step < 6000; ++step) {
    const std::size_t size = expected.size();
    const auto at = [&](std::size_t limit) {
      return std::uniform_int_distribution<std::size_t>(0, limit)(random);
    };
    switch (step < 3000 ? random() % 4 : random() % 6) {
      case 0:
      case 4:
        list.push_back(step);
        expected.push_back(step);
        break;
      case 1: {
        const std::size_t index = at(size);
        list.insert(index, step);
        expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(index), step);
        break;
      }
      case 2:
        if (size > 0) {
          // An element of the list itself, inserted where growing may move it.
          const std::size_t from = at(size - 1);
          const std::size_t to = at(size);
          const int value = expected[from];
          list.insert(to, list[from]);
          expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(to), value);
          break;
        }
        [[fallthrough]];
      case 3:
      case 5:
        if (size > 0) {
          const std::size_t index = at(size - 1);
          list.erase(index);
          expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(index));
        }
        break;
    }
    ASSERT_EQ(list.size(), expected.size()) << "step " << step;
  }
  for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(list[i], expected[i]) << i;
}

TEST(SegmentedListTest, MoveClosesUpBetween) {
  TSegmentedList<int> list;
  std::vector<int> expected;
  for (int i = 0; i < 2500; ++i) {
    list.push_back(i);
    expected.push_back(i);
  }
  const struct {
    std::size_t from;
    std::size_t to;
  } moves[] = {{0, 2499}, {2499, 0}, {10, 1500}, {2000, 3}, {7, 7}};
  for (const auto& m : moves) {
    list.move(m.from, m.to);
    const auto begin = expected.begin();
    if (m.from < m.to)
      std::rotate(begin + m.from, begin + m.from + 1, begin + m.to + 1);
    else
      std::rotate(begin + m.to, begin + m.from, begin + m.from + 1);
  }
  for (std::size_t i = 0; i < expected.size(); ++i) ASSERT_EQ(list[i], expected[i]) << i;
  list.assign(3, 9);
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(list[2], 9);
  list.clear();
  EXPECT_TRUE(list.empty());
}

}  // namespace
}  // namespace kestrum
