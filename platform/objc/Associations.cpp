// Associated objects: values attached to any object (class objects included)
// under a key, in one process-wide table.

#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/objc/NSObject.h"
#include "platform/objc/message.h"
#include "platform/objc/runtime.h"

namespace {

struct Association {
  objc_AssociationPolicy policy;
  id value;
};

using ObjectAssociations = std::unordered_map<const void*, Association>;

struct AssociationsManager {
  std::mutex lock;  // guards `table`, and nothing else
  std::unordered_map<id, ObjectAssociations> table;
};

AssociationsManager& associations() {
  static auto* manager = new AssociationsManager();
  return *manager;
}

bool retains(objc_AssociationPolicy policy) {
  return policy != OBJC_ASSOCIATION_ASSIGN;
}

bool copies(objc_AssociationPolicy policy) {
  return policy == OBJC_ASSOCIATION_COPY || policy == OBJC_ASSOCIATION_COPY_NONATOMIC;
}

void releaseHeld(const Association& association) {
  if (retains(association.policy)) objc_release(association.value);
}

}  // namespace

void objc_setAssociatedObject(id object, const void* key, id value, objc_AssociationPolicy policy) {
  if (object == nil || key == nullptr) return;
  // Take ownership before the lock: -copy runs object code.
  if (value != nil) {
    if (copies(policy)) {
      value = objc_msgSendTyped<id>(value, sel_registerName("copy"));
    } else if (retains(policy)) {
      objc_retain(value);
    }
  }
  Association old{OBJC_ASSOCIATION_ASSIGN, nil};
  {
    auto& manager = associations();
    std::lock_guard guard(manager.lock);
    if (value != nil) {
      auto& own = manager.table[object];
      auto [slot, inserted] = own.try_emplace(key, Association{policy, value});
      if (!inserted) old = std::exchange(slot->second, Association{policy, value});
    } else {
      auto found = manager.table.find(object);
      if (found != manager.table.end()) {
        auto entry = found->second.find(key);
        if (entry != found->second.end()) {
          old = entry->second;
          found->second.erase(entry);
          if (found->second.empty()) manager.table.erase(found);
        }
      }
    }
  }
  releaseHeld(old);
}

id objc_getAssociatedObject(id object, const void* key) {
  if (object == nil || key == nullptr) return nil;
  auto& manager = associations();
  std::lock_guard guard(manager.lock);
  auto found = manager.table.find(object);
  if (found == manager.table.end()) return nil;
  auto entry = found->second.find(key);
  return entry != found->second.end() ? entry->second.value : nil;
}

void objc_removeAssociatedObjects(id object) {
  if (object == nil) return;
  ObjectAssociations removed;
  {
    auto& manager = associations();
    std::lock_guard guard(manager.lock);
    auto found = manager.table.find(object);
    if (found == manager.table.end()) return;
    removed = std::move(found->second);
    manager.table.erase(found);
  }
  for (auto& [key, association] : removed) releaseHeld(association);
}
