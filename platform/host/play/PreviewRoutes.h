#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/host/play/PreviewResponse.h"

namespace Host {

class LivePreview;

// The routes, as the preview server calls them once a request is admitted
// (RequestPolicy.h).
struct PreviewRoutes {
  // GET routes, answered on the event loop (must not wait): the answer, or
  // nothing for a path that is not there.
  std::function<std::optional<PreviewResponse>(const std::string& path, const std::string& query)>
      read;
  // POST routes, answered on the worker (may wait); nothing for a path
  // that is not there.
  std::function<std::optional<PreviewResponse>(const std::string& path, const std::string& query,
                                               const std::string& body)>
      act;
  // The newest event of the stream (its version and its whole "data: …"
  // message), read on the event loop.
  std::function<std::pair<std::uint64_t, std::shared_ptr<const std::string>>()> latestEvent;
};

// serve's routes over a live preview (ServeCommand.cpp lists them). A tap
// that runs an intent waits for it a little, never past `stopping`.
PreviewRoutes previewRoutes(LivePreview& preview, const std::atomic<bool>& stopping);

}  // namespace Host
