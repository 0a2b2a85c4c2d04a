#pragma once
// Runs one work function on `threads` threads, the caller's included, for
// jobs that take their items from a shared counter. When the system gives no
// more threads, those already running share the items.

#include <system_error>
#include <thread>
#include <vector>

namespace vantrix {

template <typename Work>
void RunOnThreads(int threads, Work& work) {
  std::vector<std::thread> pool;
  try {
    for (int t = 1; t < threads; ++t) pool.emplace_back(std::ref(work));
  } catch (const std::system_error&) {
    // Fewer helpers than asked: the work is still all done.
  }
  work();
  for (std::thread& t : pool) t.join();
}

}  // namespace vantrix
