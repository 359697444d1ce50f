#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kestrum::fuzz {

// A property of the code under test does not hold: say which and let libFuzzer save the input.
[[noreturn]] inline void Fail(std::string_view what, std::string_view detail = {}) {
  std::fprintf(stderr, "\nPROPERTY VIOLATED: %.*s\n%.*s\n", static_cast<int>(what.size()), what.data(),
               static_cast<int>(detail.size()), detail.data());
  std::abort();
}

inline void Check(bool holds, std::string_view what, std::string_view detail = {}) {
  if (!holds) Fail(what, detail);
}

}  // namespace kestrum::fuzz
