#include "cli_front/standard_output.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace rovant::front {

int CheckedOutput(std::string_view program, int code) {
  std::cout.flush();
  const bool lost = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
  if (!lost) return code;
  const int error = errno;
  std::cerr << program << ": writing to standard output failed: " << std::strerror(error) << '\n';
  return code == 0 ? 1 : code;
}

}  // namespace rovant::front
