#include "tests/support/FileSizeLimit.h"

namespace kestrum::test {

bool TFileSizeLimit::Supported() {
  return false;
}

TFileSizeLimit::TFileSizeLimit(size_t /*ALimit*/) {}

TFileSizeLimit::~TFileSizeLimit() = default;

}  // namespace kestrum::test
