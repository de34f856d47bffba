#include "platform/appintents/ConcurrentExecutor.h"

#include <algorithm>

namespace AppIntents {

ConcurrentExecutor::ConcurrentExecutor(std::size_t workerCount) {
  workers_.reserve(workerCount);
  for (std::size_t i = 0; i < workerCount; ++i) workers_.emplace_back([this] { work(); });
}

ConcurrentExecutor::~ConcurrentExecutor() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (auto& worker : workers_) worker.join();
}

ConcurrentExecutor& ConcurrentExecutor::shared() {
  static ConcurrentExecutor executor(std::max<std::size_t>(2, std::thread::hardware_concurrency()));
  return executor;
}

void ConcurrentExecutor::enqueue(Job job) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void ConcurrentExecutor::work() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) return;  // stopping, and nothing left to run
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    job();
  }
}

}  // namespace AppIntents
