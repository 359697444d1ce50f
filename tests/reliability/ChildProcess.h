#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kestrum::test {

// A program the test starts, with its standard output and error going to files. It inherits the
// test's environment (the private home of TempHome). A child still running when the object goes is
// killed and reaped, so a failing test leaves no process behind.
class TChildProcess final {
 public:
  using Clock = std::chrono::steady_clock;

  TChildProcess(const std::string& AProgram, const std::vector<std::string>& AArgs,
                const std::filesystem::path& AStdout, const std::filesystem::path& AStderr);
  ~TChildProcess();
  TChildProcess(const TChildProcess&) = delete;
  TChildProcess& operator=(const TChildProcess&) = delete;

  pid_t Pid() const { return FPid; }
  bool Running();
  void Kill();
  // Waits at most ATimeout for the child to end; its status then, else nullopt.
  std::optional<int> WaitFor(std::chrono::milliseconds ATimeout);
  // The exit code, or 128 + the signal that ended it; nullopt while it runs.
  std::optional<int> Status() const { return FStatus; }
  // How long the child ran; only meaningful once it has ended.
  std::chrono::milliseconds Lifetime() const;

 private:
  bool Reap(int AOptions);

  pid_t FPid = -1;
  Clock::time_point FStarted;
  Clock::time_point FEnded;
  std::optional<int> FStatus;
};

}  // namespace kestrum::test
