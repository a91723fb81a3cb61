// Bounded waits on a POSIX descriptor, and a time-out as the user reads it.
#pragma once

#include "connection/deadline.hpp"

namespace rovant {

// Waits up to `ms` for `events` (POLLIN, POLLOUT) on `fd`; >0 ready, 0 time-out,
// <0 error (errno set). Waits interrupted by a signal go on with what is left.
int WaitForFd(int fd, short events, int ms);
// Sleeps `ms`; a signal does not cut it short.
void PauseMs(int ms);

}  // namespace rovant
