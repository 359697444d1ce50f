#include "tests/platform/Probe.h"

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace kestrum::test {

int RunProbe(const std::string& AProbe, const std::vector<std::string>& AArgs) {
  std::vector<std::string> args{AProbe};
  args.insert(args.end(), AArgs.begin(), AArgs.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, AProbe.c_str(), nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace kestrum::test
