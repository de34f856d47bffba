#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Foundation {

// The optional dictionary a notification may carry.
using UserInfo = std::map<std::string, std::string>;

// One posted notification. `object` is the sender's identity: it is only
// compared, never dereferenced, and nullptr is the nil object.
struct Notification {
  std::string name;
  const void* object = nullptr;
  std::optional<UserInfo> userInfo;

  friend bool operator==(const Notification&, const Notification&) = default;
};

// A process-local notification centre.
//
// Delivery: post() calls every matching observer synchronously, on the
// posting thread, before it returns, in the order the observers were added.
// The set of observers is taken when post() starts: an observer added during a
// delivery does not see that notification; one removed during a delivery (by
// any thread, also by an observer of that same delivery) is not called from
// then on.
//
// Matching: an observer registered for a name sees only notifications of that
// name (no name: all of them). An observer registered with a sender object
// sees only notifications posted with that very object, so it never sees a
// nil-object post; one registered without an object sees every sender.
//
// Threads: every member may be called from any thread. `mutex_` guards the
// observer list; it is never held while an observer runs, so observers may
// post, add and remove observers. Removing an observer that another thread is
// running at that moment does not wait for that call to end.
class NotificationCenter {
 public:
  using Block = std::function<void(const Notification&)>;

  // The handle addObserver gives back; pass it to removeObserver.
  class ObserverToken {
   public:
    friend bool operator==(ObserverToken, ObserverToken) = default;

   private:
    friend class NotificationCenter;
    explicit ObserverToken(std::uint64_t id) : id_(id) {}
    std::uint64_t id_;
  };

  NotificationCenter() = default;
  NotificationCenter(const NotificationCenter&) = delete;
  NotificationCenter& operator=(const NotificationCenter&) = delete;

  // The process's default centre: one instance, created on first use,
  // thread-safely, and never destroyed before exit.
  static NotificationCenter& defaultCenter();

  // Registers `block` for notifications named `name` (nullopt: any name) from
  // `object` (nullptr: any sender). The centre keeps the block until the
  // token is removed. Cost: one allocation.
  ObserverToken addObserver(std::optional<std::string> name, const void* object, Block block);

  // Unregisters the observer. Removing a token twice, or one of another
  // centre, does nothing.
  void removeObserver(ObserverToken token);

  // Posts a notification with the name and sender and no user info.
  void post(std::string_view name, const void* object = nullptr);
  // Posts a notification with a user-info dictionary.
  void post(std::string_view name, const void* object, UserInfo userInfo);
  void post(const Notification& notification);

 private:
  struct Observer;

  std::mutex mutex_;
  std::vector<std::shared_ptr<Observer>> observers_;  // guarded by mutex_
  std::uint64_t nextId_ = 1;                          // guarded by mutex_
};

}  // namespace Foundation
