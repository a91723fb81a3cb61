#include "fleet/fleet_runner.hpp"

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>
#include <vector>

namespace rovant::fleet {

void RunInParallel(std::size_t count, std::size_t parallel,
                   const std::function<std::string(std::size_t)>& queueKey,
                   const std::function<void(std::size_t)>& work) {
  // Each task is a queue of items done in order; an item of its own is a queue of one.
  std::vector<std::vector<std::size_t>> tasks;
  std::map<std::string, std::size_t> queues;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string key = queueKey ? queueKey(i) : std::string();
    if (key.empty()) {
      tasks.push_back({i});
      continue;
    }
    const auto [at, added] = queues.try_emplace(key, tasks.size());
    if (added) tasks.emplace_back();
    tasks[at->second].push_back(i);
  }
  std::atomic<std::size_t> next{0};
  const auto worker = [&] {
    for (std::size_t t = next++; t < tasks.size(); t = next++) {
      for (const std::size_t item : tasks[t]) work(item);
    }
  };
  const std::size_t threads = std::min(std::max<std::size_t>(parallel, 1), tasks.size());
  std::vector<std::thread> pool;
  pool.reserve(threads);
  for (std::size_t i = 1; i < threads; ++i) pool.emplace_back(worker);
  if (threads > 0) worker();
  for (std::thread& thread : pool) thread.join();
}

}  // namespace rovant::fleet
