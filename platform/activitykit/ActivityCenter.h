#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/CodingError.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Result.h"

// The platform's side of Live Activities: the store of running activities
// that host apps request, update and end, and that the platform renders.
//
// States cross as their JSON wire form: the host app encodes, the platform
// refuses a payload over maximumPayloadSize bytes before reading it, then
// decodes it with the attributes type's own decoding, all or nothing. A
// refused update changes nothing: the activity keeps its last state and the
// caller gets the error. An ended activity accepts no update.
//
// Error policy: every entry point that can be refused returns a
// Foundation::Result whose error is an ActivityError; none throws. Threads: every member may be
// called from any thread. `mutex_` guards the activities and the observer list; `deliveryMutex_` is
// held from the moment a change is accepted until its observers have run, so observers see changes
// one at a time, in the order they were accepted. An observer must therefore not request, update or
// end an activity of the same centre (it may read).
namespace ActivityKit {

// Where an activity is in its life.
enum class ActivityState : std::uint8_t { active, ended };

// "active" or "ended".
std::string_view nameOf(ActivityState state);

// Why a request, an update or an end was refused.
struct ActivityError {
  enum class Kind : std::uint8_t {
    payloadTooLarge,   // the encoded state (or attributes) is over the limit
    decodingFailed,    // the payload does not decode as the attributes type's state
    encodingFailed,    // the host app's encoder could not write the value
    activityEnded,     // the activity has ended and takes no more updates
    activityNotFound,  // no activity has this identifier
  };

  Kind kind = Kind::decodingFailed;
  std::string message;                                     // one line, for people
  std::optional<Foundation::DecodingError> decodingError;  // with decodingFailed only

  // "payloadTooLarge", "decodingFailed", …
  static std::string_view name(Kind kind);
};

// What the platform holds of one activity.
struct ActivitySnapshot {
  std::string id;
  std::string attributesName;  // the attributes type's name
  std::string attributes;      // JSON, as requested
  std::string contentState;    // JSON, the last state accepted
  ActivityState state = ActivityState::active;
  std::uint64_t updateCount = 0;  // states accepted after the first
};

// One accepted change, as observers see it.
struct ActivityEvent {
  enum class Kind : std::uint8_t { requested, updated, ended };
  Kind kind = Kind::updated;
  ActivitySnapshot activity;   // after the change
  std::uint64_t sequence = 0;  // 1, 2, … across the centre's activities
  Foundation::Date date;       // the centre's clock when the change was accepted
};

// How the platform reads the payloads of one attributes type: the type's
// name and its decodings, each succeeding or giving the error that stopped
// it.
struct ActivityType {
  using Decoding =
      std::function<Foundation::Result<void, Foundation::DecodingError>(std::string_view json)>;
  std::string name;
  Decoding decodeAttributes;
  Decoding decodeContentState;
};

class ActivityCenter {
 public:
  // The largest payload the platform takes for one state, in bytes of JSON.
  static constexpr std::size_t maximumPayloadSize = 4096;
  // Ended activities the centre keeps (the newest); older ones are
  // dismissed and forgotten, so a long session holds a bounded number.
  static constexpr std::size_t maximumEndedActivities = 4;

  using Clock = std::function<Foundation::Date()>;
  using Observer = std::function<void(const ActivityEvent&)>;
  using ObserverToken = std::uint64_t;

  // `clock` stamps every event (the system clock by default).
  explicit ActivityCenter(Clock clock = {});
  ActivityCenter(const ActivityCenter&) = delete;
  ActivityCenter& operator=(const ActivityCenter&) = delete;

  // Starts an activity with its attributes and first state and returns its
  // identifier ("activity-1", "activity-2", … in this centre). Refused as
  // an update would be; the attributes are held to the same limit.
  Foundation::Result<std::string, ActivityError> request(const ActivityType& type,
                                                         std::string attributes,
                                                         std::string contentState);

  // Replaces the activity's state. Refused (and the state kept) when the
  // payload is over the limit or does not decode, or the activity has ended.
  Foundation::Result<void, ActivityError> update(const std::string& id, std::string contentState);

  // Ends the activity, first replacing its state with `finalState` when
  // given (refused as update would be, and then the activity stays active).
  // Ending an ended activity is refused with activityEnded.
  Foundation::Result<void, ActivityError> end(const std::string& id,
                                              std::optional<std::string> finalState = std::nullopt);

  // The activity, or nothing for an unknown identifier.
  std::optional<ActivitySnapshot> activity(const std::string& id) const;
  // Every activity, oldest first, the ended ones still kept included.
  std::vector<ActivitySnapshot> activities() const;

  // Calls `observer` for every change accepted from now on, on the thread
  // that made it. Cost: one allocation.
  ObserverToken addObserver(Observer observer);
  // Stops calls to the observer; waits for a delivery in progress on another
  // thread to finish (must not be called from an observer).
  void removeObserver(ObserverToken token);

 private:
  struct Entry {
    ActivityType type;
    ActivitySnapshot snapshot;
  };

  // Checks a payload against the limit and the decoding.
  static Foundation::Result<void, ActivityError> check(const ActivityType& type,
                                                       std::string_view json, bool attributes);
  void deliver(ActivityEvent::Kind kind, const ActivitySnapshot& snapshot);

  Clock clock_;
  std::mutex deliveryMutex_;
  mutable std::mutex mutex_;
  std::map<std::string, Entry> entries_;                          // guarded by mutex_
  std::vector<std::string> order_;                                // guarded by mutex_
  std::uint64_t nextId_ = 1;                                      // guarded by mutex_
  std::uint64_t sequence_ = 0;                                    // guarded by deliveryMutex_
  std::map<ObserverToken, std::shared_ptr<Observer>> observers_;  // guarded by mutex_
  ObserverToken nextToken_ = 1;                                   // guarded by mutex_
};

}  // namespace ActivityKit
