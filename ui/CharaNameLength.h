#pragma once

namespace kestrum {

// How many characters the name fields take when a character is added or renamed; a longer
// name read from the file is still shown and kept whole.
inline constexpr int kCharaNameMaxLength = 12;

}  // namespace kestrum
