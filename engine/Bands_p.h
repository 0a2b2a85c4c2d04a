#pragma once
// Bands of rows drawn at once. A frame's rows never interact while they are
// filled or painted, so bands run on threads of their own and the picture is
// the same, byte for byte, whatever the number of bands and threads.
//
// The helper threads are started once and wait between calls: a frame passes
// several barriers (prepare the bodies, fill the rows, paint them) and takes
// a few milliseconds, so starting threads at each would cost a good share of
// it. Several callers may run at once (a preview and an export); a caller
// never waits for a helper that is busy elsewhere, it draws the bands nobody
// has taken itself.

#include <algorithm>
#include <functional>

namespace vantrix {

inline constexpr int kMaxThreads = 64;
// Bands per thread: a picture's rows are not equally busy (a caption in the
// middle, margins above and below), so threads take bands as they finish
// their last one rather than one fixed share each; more bands would cost
// more than they balance, since every band walks the bodies that reach it.
inline constexpr int kBandsPerThread = 2;

// How many bands a frame of `rows` rows is cut into for `threads` threads.
inline int BandCount(int threads, int rows) {
  return threads <= 1 ? 1 : std::clamp(threads * kBandsPerThread, 1, std::max(rows, 1));
}

// Calls work(b) once for each b = 0 .. bands - 1 on up to `threads` threads,
// the calling thread one of them, each taking the next band not yet taken;
// returns when all are done, rethrowing a band's exception, if any.
void RunBands(int bands, int threads, const std::function<void(int)>& work);

}  // namespace vantrix
