#include "tests/support/FileSizeLimit.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace kestrum::test {

bool TFileSizeLimit::Supported() {
  return true;
}

TFileSizeLimit::TFileSizeLimit(size_t ALimit) : FOldHandler(std::signal(SIGXFSZ, SIG_IGN)) {
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  FSavedSoft = saved.rlim_cur;
  FSavedHard = saved.rlim_max;
  const rlimit limit{ALimit, saved.rlim_max};  // the hard limit stays, so the old one can come back
  setrlimit(RLIMIT_FSIZE, &limit);
}

TFileSizeLimit::~TFileSizeLimit() {
  const rlimit saved{FSavedSoft, FSavedHard};
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, FOldHandler);
}

int ExitCodeUnderFileSizeLimit(size_t ALimit, const std::function<int()>& ABody) {
  const pid_t child = fork();
  if (child < 0) return -1;
  if (child == 0) {
    const TFileSizeLimit limit(ALimit);
    _exit(ABody());
  }
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace kestrum::test
