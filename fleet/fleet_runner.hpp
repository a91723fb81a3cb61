// Working on many printers at once: a bounded number of threads, each taking
// the next printer; printers behind one shared channel go one at a time.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace rovant::fleet {

// Calls work(i) for every i below `count` on at most `parallel` threads. Items
// whose queueKey is not empty and the same run one after another, in their
// order, on one thread; all others run independently. Returns when all are done.
void RunInParallel(std::size_t count, std::size_t parallel,
                   const std::function<std::string(std::size_t)>& queueKey,
                   const std::function<void(std::size_t)>& work);

}  // namespace rovant::fleet
