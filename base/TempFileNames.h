#pragma once

#include <cstddef>

#include "base/Strings.h"

namespace kestrum {

// A save writes "<target>.tmp-XXXXXX" first; a crash can leave such a file behind.
inline constexpr char16_t kTempInfix[] = u".tmp-";
inline constexpr size_t kTempSuffixLength = 6;

// kTempSuffixLength random letters and digits.
String RandomTempSuffix();

}  // namespace kestrum
