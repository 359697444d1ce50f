#include "tests/support/TimeScale.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace kestrum::test {

double ParseTimeScale(const char* AText) {
  if (AText == nullptr || *AText == '\0') return 1;
  // from_chars reads the same whatever the locale; strtod would want a decimal comma in some.
  const std::string_view text(AText);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value <= 0) {
    std::fprintf(stderr, "KESTRUM_TEST_TIME_SCALE=%s is not a positive number; using 1\n", AText);
    return 1;
  }
  return value;
}

double TimeScale() {
  // Sanitizer builds start and run programs several times slower.
  static const double scale =
      ParseTimeScale(std::getenv("KESTRUM_TEST_TIME_SCALE")) * KESTRUM_BUILD_TIME_SCALE;
  return scale;
}

std::chrono::milliseconds Scaled(std::chrono::milliseconds ATime) {
  return std::chrono::milliseconds(std::llround(static_cast<double>(ATime.count()) * TimeScale()));
}

int ScaledMs(int AMilliseconds) {
  return static_cast<int>(Scaled(std::chrono::milliseconds(AMilliseconds)).count());
}

}  // namespace kestrum::test
