// One ordered record of every call the fakes receive, so a test can assert the
// exact sequence an operation makes across all of its surroundings.
#pragma once

#include <string>
#include <vector>

namespace rovant::testing {

struct CallLog {
  std::vector<std::string> calls;
  void Add(std::string call) { calls.push_back(std::move(call)); }
};

}  // namespace rovant::testing
