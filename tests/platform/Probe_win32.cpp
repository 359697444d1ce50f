#include "tests/platform/Probe.h"

#include <windows.h>

namespace kestrum::test {

// The probe is named without a folder: CreateProcessW looks first in the test program's own.
int RunProbe(const std::string& AProbe, const std::vector<std::string>& AArgs) {
  std::string commandLine = "\"" + AProbe + "\"";
  for (const std::string& arg : AArgs) commandLine += " \"" + arg + "\"";
  const String wide = FromUtf8(commandLine);
  std::wstring buffer(wide.begin(), wide.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return -1;
  DWORD exitCode = 0;
  const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0 &&
                     GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ended ? static_cast<int>(exitCode) : -1;
}

}  // namespace kestrum::test
