#pragma once

#include <concepts>
#include <optional>
#include <string>
#include <utility>

#include "platform/activitykit/ActivityAttributes.h"
#include "platform/activitykit/ActivityCenter.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"

namespace ActivityKit {

// How the platform reads payloads of A: with A's own decodings.
template <ActivityAttributes A>
ActivityType activityType(std::string name) {
  const auto decodes = [](auto tag) {
    using T = typename decltype(tag)::type;
    return [](std::string_view json) -> Foundation::Result<void, Foundation::DecodingError> {
      auto value = Foundation::JSONDecoder().decode<T>(json);
      if (value) return {};
      return std::move(value).error();
    };
  };
  return {std::move(name), decodes(std::type_identity<A>{}),
          decodes(std::type_identity<typename A::ContentState>{})};
}

// The host app's handle on one Live Activity of attributes type A.
//
//   auto activity = Activity<DownloadActivityAttributes>::request(center, attributes, state);
//   if (!activity) report(activity.error());
//   auto updated = activity->update(next);
//   if (!updated) report(updated.error());  // the old state stays
//
// Every state is encoded here, on the host app's side, and crosses to the
// platform as JSON (see ActivityCenter). A copyable handle; copies name the
// same activity. Threads: as ActivityCenter; the centre must outlive it.
template <ActivityAttributes A>
class Activity {
 public:
  using ContentState = typename A::ContentState;

  // Starts an activity with its attributes and first state.
  static Foundation::Result<Activity, ActivityError> request(ActivityCenter& center,
                                                             const A& attributes,
                                                             const ContentState& state,
                                                             std::string typeName = "Activity") {
    auto attributesJSON = encode(attributes);
    if (!attributesJSON) return attributesJSON.error();
    auto stateJSON = encode(state);
    if (!stateJSON) return stateJSON.error();
    auto id = center.request(activityType<A>(std::move(typeName)), std::move(*attributesJSON),
                             std::move(*stateJSON));
    if (!id) return id.error();
    return Activity(center, std::move(*id));
  }

  // Replaces the state shown; on an error the activity keeps its last one.
  Foundation::Result<void, ActivityError> update(const ContentState& state) const {
    auto json = encode(state);
    if (!json) return json.error();
    return center_->update(id_, std::move(*json));
  }

  // Ends the activity, with a last state to show when given.
  Foundation::Result<void, ActivityError> end(
      const std::optional<ContentState>& finalState = std::nullopt) const {
    if (!finalState) return center_->end(id_);
    auto json = encode(*finalState);
    if (!json) return json.error();
    return center_->end(id_, std::move(*json));
  }

  const std::string& id() const { return id_; }

  ActivityState activityState() const {
    auto snapshot = center_->activity(id_);
    return snapshot ? snapshot->state : ActivityState::ended;
  }

  // The state the platform holds now, decoded (it decoded when accepted).
  ContentState content() const {
    auto snapshot = center_->activity(id_);
    return std::move(
        Foundation::JSONDecoder().decode<ContentState>(snapshot->contentState).value());
  }

 private:
  Activity(ActivityCenter& center, std::string id) : center_(&center), id_(std::move(id)) {}

  template <class T>
  static Foundation::Result<std::string, ActivityError> encode(const T& value) {
    auto json = Foundation::JSONEncoder().encode(value);
    if (json) return std::move(*json);
    return ActivityError{ActivityError::Kind::encodingFailed,
                         std::string(Foundation::EncodingError::kindName()) + " at " +
                             Foundation::describeCodingPath(json.error().codingPath) + ": " +
                             json.error().debugDescription,
                         std::nullopt};
  }

  ActivityCenter* center_;
  std::string id_;
};

}  // namespace ActivityKit
