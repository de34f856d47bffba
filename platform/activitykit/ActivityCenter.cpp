#include "platform/activitykit/ActivityCenter.h"

#include <utility>

#include "platform/foundation/Clock.h"

namespace ActivityKit {

std::string_view nameOf(ActivityState state) {
  return state == ActivityState::active ? "active" : "ended";
}

std::string_view ActivityError::name(Kind kind) {
  switch (kind) {
    case Kind::payloadTooLarge: return "payloadTooLarge";
    case Kind::decodingFailed: return "decodingFailed";
    case Kind::encodingFailed: return "encodingFailed";
    case Kind::activityEnded: return "activityEnded";
    case Kind::activityNotFound: return "activityNotFound";
  }
  return "decodingFailed";
}

ActivityCenter::ActivityCenter(Clock clock)
    : clock_(clock ? std::move(clock) : Clock(&Foundation::currentDate)) {}

Foundation::Result<void, ActivityError> ActivityCenter::check(const ActivityType& type,
                                                              std::string_view json,
                                                              bool attributes) {
  const char* what = attributes ? "attributes" : "content state";
  if (json.size() > maximumPayloadSize) {
    return ActivityError{ActivityError::Kind::payloadTooLarge,
                         std::string(what) + " of " + std::to_string(json.size()) +
                             " bytes exceeds the limit of " + std::to_string(maximumPayloadSize) +
                             " bytes",
                         std::nullopt};
  }
  const auto& decode = attributes ? type.decodeAttributes : type.decodeContentState;
  if (auto decoded = decode(json); !decoded) {
    const Foundation::DecodingError& error = decoded.error();
    return ActivityError{ActivityError::Kind::decodingFailed,
                         std::string(error.kindName()) + " at " +
                             Foundation::describeCodingPath(error.codingPath) + ": " +
                             error.debugDescription,
                         error};
  }
  return {};
}

Foundation::Result<std::string, ActivityError> ActivityCenter::request(const ActivityType& type,
                                                                       std::string attributes,
                                                                       std::string contentState) {
  if (auto checked = check(type, attributes, true); !checked) return checked.error();
  if (auto checked = check(type, contentState, false); !checked) return checked.error();
  std::lock_guard delivery(deliveryMutex_);
  ActivitySnapshot snapshot;
  {
    std::lock_guard lock(mutex_);
    snapshot.id = "activity-" + std::to_string(nextId_++);
    snapshot.attributesName = type.name;
    snapshot.attributes = std::move(attributes);
    snapshot.contentState = std::move(contentState);
    entries_.emplace(snapshot.id, Entry{type, snapshot});
    order_.push_back(snapshot.id);
  }
  deliver(ActivityEvent::Kind::requested, snapshot);
  return snapshot.id;
}

Foundation::Result<void, ActivityError> ActivityCenter::update(const std::string& id,
                                                               std::string contentState) {
  std::optional<ActivityType> type;
  {
    std::lock_guard lock(mutex_);
    auto found = entries_.find(id);
    if (found == entries_.end()) {
      return ActivityError{ActivityError::Kind::activityNotFound, "no activity " + id,
                           std::nullopt};
    }
    type = found->second.type;
  }
  // Decoding runs outside the locks: it is the costly part.
  if (auto checked = check(*type, contentState, false); !checked) return checked;
  std::lock_guard delivery(deliveryMutex_);
  ActivitySnapshot snapshot;
  {
    std::lock_guard lock(mutex_);
    Entry& entry = entries_.at(id);
    if (entry.snapshot.state == ActivityState::ended) {
      return ActivityError{ActivityError::Kind::activityEnded, id + " has ended", std::nullopt};
    }
    entry.snapshot.contentState = std::move(contentState);
    ++entry.snapshot.updateCount;
    snapshot = entry.snapshot;
  }
  deliver(ActivityEvent::Kind::updated, snapshot);
  return {};
}

Foundation::Result<void, ActivityError> ActivityCenter::end(const std::string& id,
                                                            std::optional<std::string> finalState) {
  std::optional<ActivityType> type;
  {
    std::lock_guard lock(mutex_);
    auto found = entries_.find(id);
    if (found == entries_.end()) {
      return ActivityError{ActivityError::Kind::activityNotFound, "no activity " + id,
                           std::nullopt};
    }
    type = found->second.type;
  }
  if (finalState) {
    if (auto checked = check(*type, *finalState, false); !checked) return checked;
  }
  std::lock_guard delivery(deliveryMutex_);
  ActivitySnapshot snapshot;
  {
    std::lock_guard lock(mutex_);
    Entry& entry = entries_.at(id);
    if (entry.snapshot.state == ActivityState::ended) {
      return ActivityError{ActivityError::Kind::activityEnded, id + " has ended", std::nullopt};
    }
    if (finalState) {
      entry.snapshot.contentState = std::move(*finalState);
      ++entry.snapshot.updateCount;
    }
    entry.snapshot.state = ActivityState::ended;
    snapshot = entry.snapshot;
    // The system dismisses the oldest ended activities beyond a few.
    std::size_t ended = 0;
    for (auto it = order_.rbegin(); it != order_.rend();) {
      if (entries_.at(*it).snapshot.state == ActivityState::ended &&
          ++ended > maximumEndedActivities) {
        entries_.erase(*it);
        it = std::make_reverse_iterator(order_.erase(std::next(it).base()));
      } else {
        ++it;
      }
    }
  }
  deliver(ActivityEvent::Kind::ended, snapshot);
  return {};
}

std::optional<ActivitySnapshot> ActivityCenter::activity(const std::string& id) const {
  std::lock_guard lock(mutex_);
  auto found = entries_.find(id);
  if (found == entries_.end()) return std::nullopt;
  return found->second.snapshot;
}

std::vector<ActivitySnapshot> ActivityCenter::activities() const {
  std::lock_guard lock(mutex_);
  std::vector<ActivitySnapshot> all;
  all.reserve(order_.size());
  for (const auto& id : order_) all.push_back(entries_.at(id).snapshot);
  return all;
}

ActivityCenter::ObserverToken ActivityCenter::addObserver(Observer observer) {
  std::lock_guard lock(mutex_);
  const ObserverToken token = nextToken_++;
  observers_.emplace(token, std::make_shared<Observer>(std::move(observer)));
  return token;
}

void ActivityCenter::removeObserver(ObserverToken token) {
  {
    std::lock_guard lock(mutex_);
    observers_.erase(token);
  }
  std::lock_guard delivery(deliveryMutex_);  // a delivery in progress ends first
}

// Called with deliveryMutex_ held.
void ActivityCenter::deliver(ActivityEvent::Kind kind, const ActivitySnapshot& snapshot) {
  std::vector<std::shared_ptr<Observer>> observers;
  {
    std::lock_guard lock(mutex_);
    observers.reserve(observers_.size());
    for (const auto& [token, observer] : observers_) observers.push_back(observer);
  }
  const ActivityEvent event{kind, snapshot, ++sequence_, clock_()};
  for (const auto& observer : observers) (*observer)(event);
}

}  // namespace ActivityKit
