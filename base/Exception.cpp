#include "base/Exception.h"

#include <utility>

namespace kestrum {

Exception::Exception(String message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

}  // namespace kestrum
