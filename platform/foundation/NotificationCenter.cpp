#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace Foundation {

struct NotificationCenter::Observer {
  std::uint64_t id;
  std::optional<std::string> name;
  const void* object;
  Block block;
  // Set once the observer is removed; a delivery that already holds the
  // observer checks it before each call.
  std::atomic<bool> removed{false};

  bool matches(const Notification& notification) const {
    if (name && *name != notification.name) return false;
    return object == nullptr || object == notification.object;
  }
};

NotificationCenter& NotificationCenter::defaultCenter() {
  // Never destroyed: observers may still post from worker threads while the
  // process exits.
  static NotificationCenter* const center = new NotificationCenter();
  return *center;
}

NotificationCenter::ObserverToken NotificationCenter::addObserver(std::optional<std::string> name,
                                                                  const void* object, Block block) {
  auto observer = std::make_shared<Observer>();
  observer->name = std::move(name);
  observer->object = object;
  observer->block = std::move(block);
  std::lock_guard lock(mutex_);
  observer->id = nextId_++;
  observers_.push_back(observer);
  return ObserverToken(observer->id);
}

void NotificationCenter::removeObserver(ObserverToken token) {
  std::lock_guard lock(mutex_);
  auto found = std::find_if(observers_.begin(), observers_.end(),
                            [&](const auto& observer) { return observer->id == token.id_; });
  if (found == observers_.end()) return;
  (*found)->removed.store(true, std::memory_order_release);
  observers_.erase(found);
}

void NotificationCenter::post(std::string_view name, const void* object) {
  post(Notification{std::string(name), object, std::nullopt});
}

void NotificationCenter::post(std::string_view name, const void* object, UserInfo userInfo) {
  post(Notification{std::string(name), object, std::move(userInfo)});
}

void NotificationCenter::post(const Notification& notification) {
  std::vector<std::shared_ptr<Observer>> matching;
  {
    std::lock_guard lock(mutex_);
    for (const auto& observer : observers_) {
      if (observer->matches(notification)) matching.push_back(observer);
    }
  }
  for (const auto& observer : matching) {
    if (observer->removed.load(std::memory_order_acquire)) continue;
    observer->block(notification);
  }
}

}  // namespace Foundation
