#include <windows.h>

#include <shlobj.h>

#include <cstdlib>
#include <stdexcept>

#include "tests/support/TempHomeSystem.h"

namespace kestrum::test {

// The shell reads the application-data folder from the registry, not from %APPDATA%; the test Wine
// prefix has it set to %KESTRUM_TEST_APPDATA% (cmake/KestrumWineTest.cmake).
std::vector<std::pair<const char*, std::filesystem::path>> HomeVariables(const TempHome& AHome) {
  return {{"USERPROFILE", AHome.Root()},
          {"APPDATA", AHome.DataHome()},
          {"KESTRUM_TEST_APPDATA", AHome.DataHome()}};
}

// _putenv_s changes the process environment the shell expands too; an empty value removes it.
void SetVariable(const char* AName, const std::optional<std::string>& AValue) {
  _putenv_s(AName, AValue ? AValue->c_str() : "");
}

void CheckHomeIsUsed(const TempHome& AHome) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) ||
      std::filesystem::path(path) != AHome.DataHome())
    throw std::runtime_error(
        "the shell's application-data folder is not the test's; run the tests in a "
        "Wine prefix whose AppData shell folder is %KESTRUM_TEST_APPDATA%");
}

}  // namespace kestrum::test
