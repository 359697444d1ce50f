#include "tests/reliability/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace kestrum::test {

TChildProcess::TChildProcess(const std::string& AProgram, const std::vector<std::string>& AArgs,
                             const std::filesystem::path& AStdout, const std::filesystem::path& AStderr) {
  std::vector<std::string> args{AProgram};
  args.insert(args.end(), AArgs.begin(), AArgs.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, AStdout.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                   0644);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, AStderr.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                   0644);
  FStarted = Clock::now();
  const int error = posix_spawn(&FPid, AProgram.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) throw std::runtime_error("cannot start " + AProgram + ": " + std::strerror(error));
}

TChildProcess::~TChildProcess() {
  if (!FStatus) Kill();
}

bool TChildProcess::Reap(int AOptions) {
  if (FStatus) return true;
  int status = 0;
  pid_t done;
  do {
    done = waitpid(FPid, &status, AOptions);
  } while (done < 0 && errno == EINTR);
  if (done != FPid) return false;
  FEnded = Clock::now();
  FStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return true;
}

bool TChildProcess::Running() {
  return !Reap(WNOHANG);
}

void TChildProcess::Kill() {
  if (FStatus) return;
  kill(FPid, SIGKILL);
  Reap(0);
}

std::optional<int> TChildProcess::WaitFor(std::chrono::milliseconds ATimeout) {
  const Clock::time_point deadline = Clock::now() + ATimeout;
  while (!Reap(WNOHANG) && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  return FStatus;
}

std::chrono::milliseconds TChildProcess::Lifetime() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(FEnded - FStarted);
}

}  // namespace kestrum::test
