#include <cstdlib>

#include "tests/support/TempHomeSystem.h"

namespace kestrum::test {

std::vector<std::pair<const char*, std::filesystem::path>> HomeVariables(const TempHome& AHome) {
  return {
      {"HOME", AHome.Root()}, {"XDG_DATA_HOME", AHome.DataHome()}, {"XDG_RUNTIME_DIR", AHome.RuntimeDir()}};
}

void SetVariable(const char* AName, const std::optional<std::string>& AValue) {
  if (AValue)
    setenv(AName, AValue->c_str(), 1);
  else
    unsetenv(AName);
}

// The program takes its folders from the variables themselves.
void CheckHomeIsUsed(const TempHome&) {}

}  // namespace kestrum::test
