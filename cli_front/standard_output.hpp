// The last check of a program that writes its results to standard output.
#pragma once

#include <string_view>

namespace rovant::front {

// `code` when everything written to standard output reached it; otherwise (a full disk, a closed
// pipe) says so with the system's reason ("PROGRAM: writing to standard output failed: ...") and
// turns a success (0) into a failure (1).
int CheckedOutput(std::string_view program, int code);

}  // namespace rovant::front
