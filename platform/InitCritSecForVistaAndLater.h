#pragma once

#include <mutex>

namespace kestrum {

// The lock behind TSimpleTimer's interval. A std::mutex is initialised by its constructor and
// released by its destructor, and carries no debug information to leave out, so there is no
// separate InitCritSec step on this platform.
using TCriticalSection = std::mutex;

}  // namespace kestrum
