#pragma once

namespace kestrum {

// How copies of the program find each other: the lock the first copy holds, and the hand-over
// channel it listens on for later copies.
inline constexpr char16_t kInstanceMutexName[] = u"Kestrum2010";
inline constexpr char16_t kNotifierName[] = u"Kestrum2010_Notifier";

}  // namespace kestrum
