#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace tolvane {

// The host app's own queue: one worker thread that runs jobs one at a time,
// in the order they fall due (jobs due at the same moment in the order they
// were queued). Everything the app's state holds is touched only from here,
// so it needs no lock of its own.
//
// Threads: async, asyncAfter and sync may be called from any thread; sync
// must not be called from the queue's own thread (asserted). `mutex_` guards
// `jobs_`, `nextOrder_` and `stopping_`. The destructor drops the jobs not yet
// started, waits for the running one and joins the thread.
class SerialQueue {
 public:
  using Job = std::function<void()>;
  using Clock = std::chrono::steady_clock;

  SerialQueue();
  ~SerialQueue();
  SerialQueue(const SerialQueue&) = delete;
  SerialQueue& operator=(const SerialQueue&) = delete;

  // Queues a job to run as soon as the ones before it have run.
  void async(Job job) { asyncAt(Clock::now(), std::move(job)); }
  // Queues a job to run once `delay` has passed (a delay past the clock's
  // range waits until the end of it).
  void asyncAfter(Clock::duration delay, Job job) {
    const auto now = Clock::now();
    asyncAt(delay >= Clock::time_point::max() - now ? Clock::time_point::max() : now + delay,
            std::move(job));
  }
  // A wait in seconds as the clock's duration: nothing for what is not
  // above 0, the longest duration for what does not fit.
  static Clock::duration duration(double seconds);
  // Runs `job` on the queue after the jobs now due, and waits for it (a
  // stopping queue runs nothing and returns at once).
  void sync(const Job& job);

  // True on the queue's own thread.
  bool isCurrent() const { return std::this_thread::get_id() == thread_.get_id(); }

 private:
  // False when the queue is stopping (the job is dropped).
  bool asyncAt(Clock::time_point due, Job job);
  void work();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::map<std::pair<Clock::time_point, std::uint64_t>, Job> jobs_;  // guarded by mutex_
  std::uint64_t nextOrder_ = 0;                                      // guarded by mutex_
  bool stopping_ = false;                                            // guarded by mutex_
  std::thread thread_;
};

}  // namespace tolvane
