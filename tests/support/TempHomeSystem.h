#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/TempHome.h"

namespace kestrum::test {

// What TempHome needs of the system it runs on.

// The environment variables that make the home's folders the user's, with their values.
std::vector<std::pair<const char*, std::filesystem::path>> HomeVariables(const TempHome& AHome);
std::optional<std::string> GetVariable(const char* AName);
// Sets the variable, or removes it when AValue is empty.
void SetVariable(const char* AName, const std::optional<std::string>& AValue);
// Throws when the program would still find the user's real files.
void CheckHomeIsUsed(const TempHome& AHome);

}  // namespace kestrum::test
