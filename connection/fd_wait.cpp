#include "connection/fd_wait.hpp"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace rovant {

int WaitForFd(int fd, short events, int ms) {
  const SteadyClock::time_point deadline = SteadyClock::now() + std::chrono::milliseconds(ms);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    pollfd entry{fd, events, 0};
    const int ready = ::poll(&entry, 1, RemainingMs(deadline));
    if (ready >= 0 || errno != EINTR) return ready;
  }
  return -1;
}

void PauseMs(int ms) {
  const SteadyClock::time_point deadline = SteadyClock::now() + std::chrono::milliseconds(ms);
  for (int left = ms; left > 0; left = RemainingMs(deadline)) ::poll(nullptr, 0, left);
}

}  // namespace rovant
