#pragma once

#include <exception>
#include <string>

#include "base/Strings.h"

namespace kestrum {

// Root of every error the program raises itself. The message is the text shown to the user.
class Exception : public std::exception {
 public:
  explicit Exception(String message);
  const String& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  String message_;
  std::string utf8_;
};

// Text that cannot be read as the value asked for (dates, times).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace kestrum
