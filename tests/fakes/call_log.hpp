// One ordered record of every call the fakes receive, so a test can assert the
// exact sequence an operation makes across all of its surroundings.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace rovant::testing {

using Calls = std::vector<std::string>;

// The pieces one after the other.
inline Calls Join(std::initializer_list<Calls> pieces) {
  Calls all;
  for (const Calls& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

struct CallLog {
  std::vector<std::string> calls;
  void Add(std::string call) { calls.push_back(std::move(call)); }
};

// A fake's hold on the log it records its calls in.
class Recorder {
 public:
  explicit Recorder(CallLog& log) : log_(log) {}

 protected:
  // Records `call` and gives `answer`.
  template <typename T>
  T Logged(std::string call, T answer) {
    log_.Add(std::move(call));
    return answer;
  }
  CallLog& log_;
};

}  // namespace rovant::testing
