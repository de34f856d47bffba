#include "hostapp/SerialQueue.h"

#include <cassert>
#include <future>

namespace tolvane {

SerialQueue::Clock::duration SerialQueue::duration(double seconds) {
  using Seconds = std::chrono::duration<double>;
  if (!(seconds > 0)) return Clock::duration::zero();
  // Kept a little inside the range, where the conversion is exact enough.
  if (seconds >= 0.999 * std::chrono::duration_cast<Seconds>(Clock::duration::max()).count()) {
    return Clock::duration::max();
  }
  return std::chrono::duration_cast<Clock::duration>(Seconds(seconds));
}

SerialQueue::SerialQueue() : thread_([this] { work(); }) {}

SerialQueue::~SerialQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  wake_.notify_all();
  thread_.join();
}

bool SerialQueue::asyncAt(Clock::time_point due, Job job) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return false;
    jobs_.emplace(std::make_pair(due, nextOrder_++), std::move(job));
  }
  wake_.notify_all();
  return true;
}

void SerialQueue::sync(const Job& job) {
  assert(!isCurrent() && "SerialQueue::sync from its own thread would wait for itself");
  std::promise<void> done;
  auto finished = done.get_future();
  const bool queued = asyncAt(Clock::now(), [&] {
    job();
    done.set_value();
  });
  if (queued) finished.wait();
}

void SerialQueue::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (stopping_) return;
    if (jobs_.empty()) {
      wake_.wait(lock);
      continue;
    }
    auto first = jobs_.begin();
    const Clock::time_point due = first->first.first;  // a copy: the job may go while we wait
    if (due > Clock::now()) {
      wake_.wait_until(lock, due);
      continue;
    }
    Job job = std::move(first->second);
    jobs_.erase(first);
    lock.unlock();
    job();
    lock.lock();
  }
}

}  // namespace tolvane
