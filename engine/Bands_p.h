#pragma once
// Bands of rows drawn at once. A frame's rows never interact while they are
// filled or painted, so each band runs on a thread of its own and the picture
// is the same, byte for byte, whatever the number of bands. Threads are
// started per call: a frame takes milliseconds, a thread's start microseconds,
// and nothing is left running between frames.

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace vantrix {

inline constexpr int kMaxThreads = 64;

// Calls work(b) for b = 0 .. bands - 1, band 0 on the calling thread and each
// other on a thread of its own; returns when all are done, rethrowing the
// first band's exception, if any.
template <class Work>
void RunBands(int bands, Work&& work) {
  bands = std::clamp(bands, 1, kMaxThreads);
  if (bands == 1) {
    work(0);
    return;
  }
  std::vector<std::exception_ptr> errors(static_cast<size_t>(bands));
  auto guarded = [&](int b) {
    try {
      work(b);
    } catch (...) {
      errors[static_cast<size_t>(b)] = std::current_exception();
    }
  };
  std::vector<std::thread> threads;
  threads.reserve(static_cast<size_t>(bands - 1));
  for (int b = 1; b < bands; ++b) threads.emplace_back(guarded, b);
  guarded(0);
  for (std::thread& t : threads) t.join();
  for (const std::exception_ptr& e : errors)
    if (e) std::rethrow_exception(e);
}

}  // namespace vantrix
