#include "tests/support/FileSizeLimit.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace kestrum::test {

int ExitCodeUnderFileSizeLimit(size_t ALimit, const std::function<int()>& ABody) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the process
    const rlimit limit{ALimit, ALimit};
    setrlimit(RLIMIT_FSIZE, &limit);
    _exit(ABody());
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace kestrum::test
