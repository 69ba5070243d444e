// The progress line the fleet reader shows while it reads, on a terminal
// only and only once reading has taken longer than a second.
#pragma once

#include <chrono>
#include <cstdio>

namespace varnoll::fleet {

// Whether `stream` is a terminal (a console on Windows): see the platform
// sides in posix/ and win32/.
bool IsTerminal(std::FILE* stream);

class CProgress {
 public:
  // `start`: when reading began.
  explicit CProgress(bool terminal, std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now())
      : terminal_(terminal), start_(start) {}

  // After each machine: redraws the line at most a few times a second.
  void Machines(long long count);
  // Takes the line away again.
  void Done();

 private:
  bool terminal_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_;
};

}  // namespace varnoll::fleet
