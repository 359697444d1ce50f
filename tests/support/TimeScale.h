#pragma once

#include <chrono>

namespace kestrum::test {

// How much every time limit and wait of the tests stretches: the environment variable
// KESTRUM_TEST_TIME_SCALE (a positive number, 1 when unset), times the slow-down of a sanitizer
// build. A slow or busy machine sets the variable instead of failing tests that merely ran late.
double TimeScale();

// What a value of KESTRUM_TEST_TIME_SCALE asks for: 1 when it is unset (null) or empty; a value
// that is no positive number is reported on stderr and taken as 1, so that a typo shows instead of
// silently changing every limit.
double ParseTimeScale(const char* AText);

std::chrono::milliseconds Scaled(std::chrono::milliseconds ATime);
// For the Qt waits, which take milliseconds as an int.
int ScaledMs(int AMilliseconds);

}  // namespace kestrum::test
