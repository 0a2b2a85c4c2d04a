// The helpers that draw bands beside the calling thread (see Bands_p.h).

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/Bands_p.h"

namespace vantrix {

namespace {

// One RunBands call, on the caller's stack. The pool's lock guards Busy and
// the queue, so the caller can take back what no helper has begun and wait
// for those that have before its job goes.
struct TJob {
  const std::function<void(int)>* Work = nullptr;
  int Bands = 0;
  std::atomic<int> Next{0};
  int Busy = 0;  // helpers inside Take
  std::mutex ErrorLock;
  std::exception_ptr Error;

  void Take() {
    try {
      for (int b; (b = Next++) < Bands;) (*Work)(b);
    } catch (...) {
      const std::lock_guard<std::mutex> hold(ErrorLock);
      if (!Error) Error = std::current_exception();
      Next = Bands;  // the others stop after their band
    }
  }
};

class TBandPool {
 public:
  static TBandPool& Instance() {
    static TBandPool pool;
    return pool;
  }

  ~TBandPool() {
    {
      const std::lock_guard<std::mutex> hold(lock_);
      stop_ = true;
      wake_.notify_all();
    }
    for (std::thread& t : helpers_) t.join();
  }

  void Run(TJob& job, int helpers) {
    {
      const std::lock_guard<std::mutex> hold(lock_);
      while (static_cast<int>(helpers_.size()) < std::min(helpers, kMaxThreads - 1))
        helpers_.emplace_back([this] { Serve(); });
      for (int i = 0; i < helpers; ++i) queue_.push_back(&job);
      wake_.notify_all();
    }
    job.Take();
    std::unique_lock<std::mutex> hold(lock_);
    // Every band is taken: what no helper has picked up is withdrawn, and
    // those inside finish their band.
    std::erase(queue_, &job);
    idle_.wait(hold, [&] { return job.Busy == 0; });
  }

 private:
  void Serve() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
      wake_.wait(hold, [this] { return stop_ || !queue_.empty(); });
      if (stop_) return;
      TJob& job = *queue_.front();
      queue_.pop_front();
      if (job.Next >= job.Bands) continue;
      ++job.Busy;
      hold.unlock();
      job.Take();
      hold.lock();
      --job.Busy;
      idle_.notify_all();
    }
  }

  std::mutex lock_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<TJob*> queue_;
  std::vector<std::thread> helpers_;
  bool stop_ = false;
};

}  // namespace

void RunBands(int bands, int threads, const std::function<void(int)>& work) {
  threads = std::clamp(std::min(threads, bands), 1, kMaxThreads);
  if (threads == 1) {
    for (int b = 0; b < bands; ++b) work(b);
    return;
  }
  TJob job;
  job.Work = &work;
  job.Bands = bands;
  TBandPool::Instance().Run(job, threads - 1);
  if (job.Error) std::rethrow_exception(job.Error);
}

}  // namespace vantrix
