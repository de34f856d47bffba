// The platform's side of activities, with an attributes type of the test's
// own: states cross as JSON, the 4,096-byte limit, all-or-nothing decoding,
// and the end of an activity.
#include "platform/activitykit/Activity.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using ActivityKit::Activity;
using ActivityKit::ActivityCenter;
using ActivityKit::ActivityError;
using ActivityKit::ActivityEvent;
using ActivityKit::ActivityState;

struct TimerAttributes {
  std::string label;
  struct ContentState {
    std::int64_t seconds = 0;
    std::string note;
    static ContentState decode(Foundation::Decoder& decoder) {
      auto c = decoder.container();
      return {c.decode<std::int64_t>("seconds"), c.decode<std::string>("note")};
    }
    void encode(Foundation::Encoder& encoder) const {
      auto c = encoder.container();
      c.encode("seconds", seconds);
      c.encode("note", note);
    }
    friend bool operator==(const ContentState&, const ContentState&) = default;
  };
  static TimerAttributes decode(Foundation::Decoder& decoder) {
    return {decoder.container().decode<std::string>("label")};
  }
  void encode(Foundation::Encoder& encoder) const { encoder.container().encode("label", label); }
};

using TimerActivity = Activity<TimerAttributes>;

// {"seconds":1,"note":"<n characters>"} is 23 + n bytes.
TimerAttributes::ContentState stateOfSize(std::size_t bytes) {
  return {1, std::string(bytes - 23, 'x')};
}

TEST(Activity, StatesCrossAsJSONAndObserversSeeEachChangeInOrder) {
  ActivityCenter center([] { return Foundation::Date(7); });
  std::vector<ActivityEvent> events;
  center.addObserver([&](const ActivityEvent& event) { events.push_back(event); });

  auto activity = TimerActivity::request(center, {"Tea"}, {180, "steeping"}, "TimerAttributes");
  ASSERT_TRUE(activity);
  EXPECT_TRUE(activity->update({120, "still steeping"}));
  EXPECT_TRUE(activity->end(TimerAttributes::ContentState{0, "ready"}));

  std::vector<std::string> states;
  for (std::size_t i = 0; i < events.size(); ++i) {
    states.push_back(events[i].activity.contentState);
    EXPECT_EQ(events[i].sequence, i + 1);
    EXPECT_EQ(events[i].date, Foundation::Date(7));
  }
  EXPECT_EQ(states, (std::vector<std::string>{R"({"seconds":180,"note":"steeping"})",
                                              R"({"seconds":120,"note":"still steeping"})",
                                              R"({"seconds":0,"note":"ready"})"}));
  EXPECT_EQ(events.back().kind, ActivityEvent::Kind::ended);
  EXPECT_EQ(events[0].activity.attributes, R"({"label":"Tea"})");
}

// Over the limit, an update keeps the last state, a final state leaves the
// activity active, and a first state starts nothing.
TEST(Activity, AStateOfExactly4096BytesIsTakenAndOneByteMoreIsRefusedKeepingTheLast) {
  ActivityCenter center;
  auto activity = TimerActivity::request(center, {"Tea"}, {1, "first"});
  ASSERT_TRUE(activity);
  EXPECT_TRUE(activity->update(stateOfSize(4096)));
  auto updated = activity->update(stateOfSize(4097));
  ASSERT_FALSE(updated);
  EXPECT_EQ(updated.error().kind, ActivityError::Kind::payloadTooLarge);
  EXPECT_EQ(updated.error().message, "content state of 4097 bytes exceeds the limit of 4096 bytes");
  EXPECT_FALSE(activity->end(stateOfSize(4097)));
  EXPECT_EQ(activity->activityState(), ActivityState::active);
  EXPECT_EQ(activity->content(), stateOfSize(4096));
  EXPECT_EQ(center.activity(activity->id())->updateCount, 1u);
  auto refused = TimerActivity::request(center, {"Tea"}, stateOfSize(5000));
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().kind, ActivityError::Kind::payloadTooLarge);
  EXPECT_EQ(center.activities().size(), 1u);
}

// A payload that does not decode is refused whole, with the decoding error;
// so is anything sent to an ended or unknown activity.
TEST(Activity, RefusedUpdatesLeaveTheLastStateAndOnlyNewestEndedActivitiesAreKept) {
  ActivityCenter center;
  auto activity = TimerActivity::request(center, {"Tea"}, {60, "steeping"});
  ASSERT_TRUE(activity);
  const std::pair<const char*, const char*> refused[] = {
      {R"({"seconds":"ten","note":"x"})",
       "typeMismatch at [\"seconds\"]: Expected to decode Int but found a string instead."},
      {R"({"seconds":5})", "keyNotFound at []: No value associated with key \"note\"."},
      {R"({"seconds":5,)", "dataCorrupted at []: The given data was not valid JSON."},
  };
  for (const auto& [json, message] : refused) {
    auto updated = center.update(activity->id(), json);
    ASSERT_FALSE(updated) << json;
    EXPECT_EQ(updated.error().kind, ActivityError::Kind::decodingFailed);
    EXPECT_EQ(updated.error().message, message);
    EXPECT_TRUE(updated.error().decodingError);
  }
  EXPECT_EQ(activity->content(), (TimerAttributes::ContentState{60, "steeping"}));
  EXPECT_TRUE(center.update(activity->id(), R"({"note":"raw","seconds":9,"extra":true})"));
  EXPECT_EQ(activity->content(), (TimerAttributes::ContentState{9, "raw"}));

  // Once ended, an activity takes neither an update nor a second end.
  EXPECT_TRUE(activity->end());
  EXPECT_EQ(activity->activityState(), ActivityState::ended);
  for (auto refusal : {activity->update({1, "late"}), activity->end()}) {
    ASSERT_FALSE(refusal);
    EXPECT_EQ(refusal.error().kind, ActivityError::Kind::activityEnded);
  }
  EXPECT_EQ(activity->content(), (TimerAttributes::ContentState{9, "raw"}));
  EXPECT_EQ(center.update("activity-99", "{}").error().kind, ActivityError::Kind::activityNotFound);

  // A long session keeps only the newest ended activities, and every active one.
  auto running = TimerActivity::request(center, {"Kettle"}, {1, "on"});
  for (int i = 0; i < 10; ++i)
    EXPECT_TRUE(TimerActivity::request(center, {"Egg"}, {1, "boiling"})->end());
  const auto kept = center.activities();
  ASSERT_EQ(kept.size(), ActivityCenter::maximumEndedActivities + 1);
  EXPECT_EQ(kept.front().id, running->id());
  EXPECT_EQ(kept.back().id, "activity-12");
}

TEST(Activity, UpdatesFromSeveralThreadsAreSeenOneAtATimeInSequence) {
  ActivityCenter center;
  auto activity = TimerActivity::request(center, {"Tea"}, {0, "start"});
  ASSERT_TRUE(activity);
  std::vector<std::uint64_t> sequences;
  std::vector<std::string> states;
  center.addObserver([&](const ActivityEvent& event) {  // serialised by the centre
    sequences.push_back(event.sequence);
    states.push_back(event.activity.contentState);
  });
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 50; ++i) EXPECT_TRUE(activity->update({t * 100 + i, "n"}));
    });
  }
  for (auto& thread : threads) thread.join();
  ASSERT_EQ(sequences.size(), 200u);
  for (std::size_t i = 0; i < sequences.size(); ++i) EXPECT_EQ(sequences[i], i + 2);
  EXPECT_EQ(center.activity(activity->id())->contentState, states.back());
}

}  // namespace
