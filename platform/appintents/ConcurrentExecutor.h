#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

namespace AppIntents {

// The platform's shared concurrent executor: a pool of worker threads that
// runs jobs off the caller's thread, in no promised order, several at once.
//
// shared() creates the pool on first use (thread-safely) with
// max(2, hardware threads) workers; the workers start then, never at load.
// At exit the pool runs the jobs still queued and joins its workers.
//
// Threads: enqueue and submit may be called from any thread, also from a
// job. `mutex_` guards `jobs_` and `stopping_`.
class ConcurrentExecutor {
 public:
  using Job = std::function<void()>;

  explicit ConcurrentExecutor(std::size_t workerCount);
  ~ConcurrentExecutor();
  ConcurrentExecutor(const ConcurrentExecutor&) = delete;
  ConcurrentExecutor& operator=(const ConcurrentExecutor&) = delete;

  static ConcurrentExecutor& shared();

  // Queues a job; returns at once. A job must not throw (submit catches for
  // its callers).
  void enqueue(Job job);

  // Queues `function` and returns a future for its result; an exception
  // thrown by the function is stored in the future.
  template <class F>
  auto submit(F function) -> std::future<std::invoke_result_t<F&>> {
    using Result = std::invoke_result_t<F&>;
    auto task = std::make_shared<std::packaged_task<Result()>>(std::move(function));
    std::future<Result> future = task->get_future();
    enqueue([task] { (*task)(); });
    return future;
  }

  std::size_t workerCount() const { return workers_.size(); }

 private:
  void work();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;   // guarded by mutex_
  bool stopping_ = false;  // guarded by mutex_
  std::vector<std::thread> workers_;
};

}  // namespace AppIntents
