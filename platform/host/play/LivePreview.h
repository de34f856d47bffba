#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/activitykit/HostApp.h"
#include "platform/host/Host.h"
#include "platform/host/play/HostAppSession.h"
#include "platform/widgetkit/HostedActivity.h"
#include "platform/widgetkit/PresentationRenderer.h"

// The page's view of the platform for `serve`: the host app runs in a
// session of its own, and a drawing thread turns each change it pushes
// into the latest snapshot (its JSON with the audit's findings of the
// pictures, its pictures, where taps land),
// which every connection reads. Only the latest is kept; a change that
// comes while one is drawn replaces any older one still waiting.
namespace Host {

class LivePreview {
 public:
  // One published snapshot. Never changed once published.
  struct Published {
    std::uint64_t version = 0;
    std::string json;                                       // PreviewSnapshot.h
    std::shared_ptr<const std::string> event;               // "data: <json>\n\n"
    std::map<PresentationKind, PlacedPresentation> placed;  // where taps land
    std::map<std::string, std::string, std::less<>> pngs;   // by presentation name
    std::optional<std::string> widgetURL;
  };

  // Starts the app and the drawing thread; `onPublish` is called on the
  // drawing thread after each new snapshot.
  LivePreview(const HostedActivity& activity, const ActivityKit::HostAppFactory& factory,
              double speed, std::function<void()> onPublish);
  ~LivePreview() { finish(); }
  LivePreview(const LivePreview&) = delete;
  LivePreview& operator=(const LivePreview&) = delete;

  // Stops drawing (any thread); finish() also waits for the drawing thread.
  void stop();
  void finish();

  HostAppSession& session() { return session_; }
  // The latest snapshot. Any thread.
  std::shared_ptr<const Published> latest();

 private:
  bool stopping();
  void draw();

  const HostedActivity& activity_;
  HostAppSession session_;
  std::function<void()> onPublish_;
  std::mutex mutex_;
  std::shared_ptr<const Published> published_;  // guarded by mutex_
  bool stopping_ = false;                       // guarded by mutex_
  std::thread drawer_;                          // last: starts once the rest is ready
};

}  // namespace Host
