#include <CLI/CLI.hpp>
#include <httplib.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/activitykit/HostApp.h"
#include "platform/foundation/JSONWriter.h"
#include "platform/ui/Tap.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"
#include "platform/widgetkit/play/HostAppSession.h"
#include "platform/widgetkit/PlatformHostCommand.h"
#include "platform/widgetkit/play/PlayCommands.h"
#include "platform/widgetkit/play/PresentationHitTest.h"
#include "platform/widgetkit/PresentationRenderer.h"
#include "platform/widgetkit/play/PreviewPage.h"

// serve [--listen HOST:PORT] [--speed FACTOR]
//
// A local web page that shows the activity live as the host app pushes its
// states: the lock screen and the island's expanded, compact and minimal
// forms as SVG. Routes:
//
//   GET  /           the page (PreviewPage.h)
//   GET  /events     server-sent events, one snapshot a message: on connect
//                    the latest, then each new one (a slow client skips to
//                    the newest; every client ends up with the last)
//   GET  /snapshot   the latest snapshot
//   POST /start      starts the app's queue (body: its JSON, or empty for the
//                    built-in one); 422 {"error"} when the app refuses it
//   POST /state      pushes the body as the activity's next state, as a push
//                    update would; 422 {"error"} when the platform refuses it
//                    (too large, undecodable), 409 without an activity
//   POST /tap?presentation=NAME&x=X&y=Y
//                    a tap at (X, Y) points on a picture: a button runs its
//                    intent on the platform's executor ({"intent"}); elsewhere
//                    on the island the platform opens the island's link in the
//                    app ({"opened"})
//
// A snapshot: {"version", "activity", "activityState", "state" (the JSON the
// platform holds), "texts" (the lock screen's, in reading order),
// "pictures": [{"name", "width", "height", "svg", "buttons": [{"x", "y",
// "width", "height", "intent"}]}]}.
//
// Binds to 127.0.0.1:8080 unless told otherwise (only loopback addresses are
// taken; port 0 picks a free one), prints "serving http://HOST:PORT/" and
// stops cleanly on SIGINT or SIGTERM. Errors: 64 usage, 74 cannot listen.
namespace WidgetKit {

namespace {

constexpr int serverThreads = 96;  // one a connected page, and a few for requests

struct Listen {
  std::string host = "127.0.0.1";
  int port = 8080;
};

std::optional<Listen> parseListen(const std::string& text) {
  const auto colon = text.rfind(':');
  if (colon == std::string::npos) return std::nullopt;
  Listen listen{text.substr(0, colon), 0};
  if (listen.host.size() > 2 && listen.host.front() == '[' && listen.host.back() == ']') {
    listen.host = listen.host.substr(1, listen.host.size() - 2);
  }
  const bool loopback = listen.host == "localhost" || listen.host == "::1" || listen.host.rfind("127.", 0) == 0;
  if (!loopback) return std::nullopt;
  try {
    std::size_t used = 0;
    const std::string port = text.substr(colon + 1);
    listen.port = std::stoi(port, &used);
    if (used != port.size() || listen.port < 0 || listen.port > 65535) return std::nullopt;
  } catch (const std::exception&) {
    return std::nullopt;
  }
  return listen;
}

std::string errorJSON(const std::string& message) {
  Foundation::JSONWriter writer({false, false});
  writer.beginObject();
  writer.key("error");
  writer.string(message);
  writer.endObject();
  return writer.take();
}

// The page's view of the platform: the latest snapshot, published by the
// drawing thread and read by every connection.
class Preview {
 public:
  Preview(const HostedActivity& activity, const ActivityKit::HostAppFactory& factory, double speed)
      : activity_(activity), session_(factory, speed), drawer_([this] { draw(); }) {}

  ~Preview() {
    stop();
    drawer_.join();
  }

  void stop() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    published_.notify_all();
  }

  HostAppSession& session() { return session_; }

  struct Published {
    std::uint64_t version = 0;
    std::string json = "{\"version\":0,\"activity\":null}";
    std::string activity;
    std::map<PresentationKind, std::vector<ButtonRegion>> buttons;
    std::optional<std::string> widgetURL;
  };

  Published latest() {
    std::lock_guard lock(mutex_);
    return published_state_;
  }

  // Waits until a snapshot newer than `seen` is out (or `timeout` passes,
  // or the preview stops); gives it, or nothing.
  std::optional<std::pair<std::uint64_t, std::string>> waitForNewer(std::uint64_t seen,
                                                                    std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    published_.wait_for(lock, timeout, [&] { return stopping_ || published_state_.version > seen; });
    if (stopping_ || published_state_.version <= seen) return std::nullopt;
    return std::make_pair(published_state_.version, published_state_.json);
  }

  bool stopping() {
    std::lock_guard lock(mutex_);
    return stopping_;
  }

 private:
  // The drawing thread: takes the newest change (skipping older ones still
  // queued), draws it and publishes it.
  void draw() {
    SwiftUI::Drawing::PangoTextMeasurer measurer;
    PresentationRenderer renderer(measurer);
    while (!stopping()) {
      auto event = session_.nextEvent(std::chrono::milliseconds(100));
      if (!event) continue;
      while (auto newer = session_.nextEvent(std::chrono::milliseconds(0))) event = std::move(newer);
      auto presentations = activity_.presentContentState(event->activity.contentState, event->date);
      if (!presentations) continue;  // the platform took it, so it decodes

      Published next;
      next.activity = event->activity.id;
      next.widgetURL = presentations->dynamicIsland.widgetURLValue();
      Foundation::JSONWriter writer({false, false});
      writer.beginObject();
      writer.key("version");
      writer.integer(0);  // patched below, once the version is known
      writer.key("activity");
      writer.string(event->activity.id);
      writer.key("activityState");
      writer.string(ActivityKit::nameOf(event->activity.state));
      writer.key("state");
      writer.string(event->activity.contentState);
      writer.key("texts");
      writer.beginArray();
      for (const auto& text : textsShown(presentations->lockScreen, event->date)) writer.string(text);
      writer.endArray();
      writer.key("pictures");
      writer.beginArray();
      for (PresentationKind kind : allPresentationKinds) {
        const Picture picture = renderer.picture(*presentations, kind, event->date);
        std::string svg;
        if (auto error = encodePicture(picture, PictureFormat::svg, 1, svg)) svg.clear();
        auto regions = buttonRegions(*presentations, kind, event->date, measurer);
        writer.beginObject();
        writer.key("name");
        writer.string(nameOf(kind));
        writer.key("width");
        writer.number(picture.canvas.width);
        writer.key("height");
        writer.number(picture.canvas.height);
        writer.key("svg");
        writer.string(svg);
        writer.key("buttons");
        writer.beginArray();
        for (const ButtonRegion& region : regions) {
          writer.beginObject();
          writer.key("x");
          writer.number(region.frame.x);
          writer.key("y");
          writer.number(region.frame.y);
          writer.key("width");
          writer.number(region.frame.width);
          writer.key("height");
          writer.number(region.frame.height);
          writer.key("intent");
          const auto* node = region.button.as<SwiftUI::ButtonNode>();
          writer.string(node ? node->intent.typeName() : std::string_view());
          writer.endObject();
        }
        writer.endArray();
        writer.endObject();
        next.buttons.emplace(kind, std::move(regions));
      }
      writer.endArray();
      writer.endObject();
      std::string json = writer.take();
      {
        std::lock_guard lock(mutex_);
        next.version = published_state_.version + 1;
        next.json = "{\"version\":" + std::to_string(next.version) + json.substr(json.find(','));
        published_state_ = std::move(next);
      }
      published_.notify_all();
    }
  }

  const HostedActivity& activity_;
  HostAppSession session_;
  std::mutex mutex_;
  std::condition_variable published_;
  Published published_state_;  // guarded by mutex_
  bool stopping_ = false;      // guarded by mutex_
  std::thread drawer_;         // last: starts once the rest is ready
};

void routes(httplib::Server& server, Preview& preview) {
  server.Get("/", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(std::string(previewPage()), "text/html; charset=utf-8");
  });

  server.Get("/snapshot", [&preview](const httplib::Request&, httplib::Response& response) {
    response.set_content(preview.latest().json, "application/json");
  });

  server.Get("/events", [&preview](const httplib::Request&, httplib::Response& response) {
    response.set_header("Cache-Control", "no-store");
    auto seen = std::make_shared<std::uint64_t>(0);
    response.set_chunked_content_provider("text/event-stream", [&preview, seen](std::size_t,
                                                                                httplib::DataSink& sink) {
      if (preview.stopping()) return false;
      auto next = preview.waitForNewer(*seen, std::chrono::seconds(10));
      std::string message;
      if (next) {
        *seen = next->first;
        message = "data: " + next->second + "\n\n";
      } else {
        if (preview.stopping()) return false;
        message = ": keep-alive\n\n";
      }
      return sink.write(message.data(), message.size());
    });
  });

  server.Post("/start", [&preview](const httplib::Request& request, httplib::Response& response) {
    std::optional<std::string_view> queue;
    if (request.body.find_first_not_of(" \t\r\n") != std::string::npos) queue = request.body;
    if (auto error = preview.session().app().startQueue(queue)) {
      response.status = 422;
      response.set_content(errorJSON(*error), "application/json");
      return;
    }
    response.set_content("{\"started\":true}", "application/json");
  });

  server.Post("/state", [&preview](const httplib::Request& request, httplib::Response& response) {
    const auto activities = preview.session().center().activities();
    if (activities.empty()) {
      response.status = 409;
      response.set_content(errorJSON("no activity: start a queue first"), "application/json");
      return;
    }
    if (auto error = preview.session().center().update(activities.back().id, request.body)) {
      response.status = 422;
      response.set_content(errorJSON(std::string(ActivityKit::ActivityError::name(error->kind)) + ": " +
                                     error->message),
                           "application/json");
      return;
    }
    response.set_content("{\"accepted\":true}", "application/json");
  });

  server.Post("/tap", [&preview](const httplib::Request& request, httplib::Response& response) {
    const auto kind = presentationKind(request.get_param_value("presentation"));
    double x = 0, y = 0;
    try {
      x = std::stod(request.get_param_value("x"));
      y = std::stod(request.get_param_value("y"));
    } catch (const std::exception&) {
      response.status = 400;
      response.set_content(errorJSON("a tap needs presentation, x and y"), "application/json");
      return;
    }
    if (!kind) {
      response.status = 400;
      response.set_content(errorJSON("no such presentation"), "application/json");
      return;
    }
    const auto latest = preview.latest();
    const auto found = latest.buttons.find(*kind);
    const ButtonRegion* hit = found == latest.buttons.end() ? nullptr : buttonAt(found->second, {x, y});
    if (hit) {
      auto done = SwiftUI::tap(hit->button);
      if (done && done->wait_for(std::chrono::seconds(5)) == std::future_status::ready) done->get();
      const auto* node = hit->button.as<SwiftUI::ButtonNode>();
      Foundation::JSONWriter writer({false, false});
      writer.beginObject();
      writer.key("intent");
      writer.string(node ? node->intent.typeName() : std::string_view());
      writer.endObject();
      response.set_content(writer.take(), "application/json");
      return;
    }
    if (*kind != PresentationKind::lockScreen && latest.widgetURL) {
      preview.session().app().open(*latest.widgetURL);
      Foundation::JSONWriter writer({false, false});
      writer.beginObject();
      writer.key("opened");
      writer.string(*latest.widgetURL);
      writer.endObject();
      response.set_content(writer.take(), "application/json");
      return;
    }
    response.set_content("{}", "application/json");
  });
}

}  // namespace

void installServeCommand(CLI::App& app, HostContext& context) {
  auto factory = ActivityKit::installedHostApp();
  if (!factory || !context.activity.presentContentState) return;
  struct Options {
    std::string listen = "127.0.0.1:8080";
    double speed = 1;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand("serve", "Show the activity live on a local web page where the badge works");
  command->add_option("--listen", options->listen, "HOST:PORT on a loopback address (default 127.0.0.1:8080)");
  command->add_option("--speed", options->speed, "How many times faster than real time the app runs (default 1)")
      ->check(CLI::Range(1e-3, 1e6));

  command->callback([options, factory, &context] {
    const auto listen = parseListen(options->listen);
    if (!listen) {
      context.fail(exitUsage, "--listen needs a loopback HOST:PORT, not " + options->listen);
      return;
    }
    // SIGINT and SIGTERM are taken by a thread of our own, which stops the
    // server; every thread started from here on inherits the mask.
    sigset_t signals, previous;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, &previous);
    {
      Preview preview(context.activity, factory, options->speed);
      httplib::Server server;
      server.new_task_queue = [] { return new httplib::ThreadPool(serverThreads); };
      routes(server, preview);

      int port = listen->port;
      bool bound = false;
      if (port == 0) {
        port = server.bind_to_any_port(listen->host);
        bound = port > 0;
      } else {
        bound = server.bind_to_port(listen->host, port);
      }
      if (!bound) {
        preview.stop();
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        context.fail(exitIOError, "cannot listen on " + options->listen);
        return;
      }
      std::atomic<bool> finished{false};
      std::thread stopper([&] {
        int signal = 0;
        sigwait(&signals, &signal);
        if (finished) return;
        preview.stop();
        server.stop();
      });
      context.out << "serving http://" << listen->host << ':' << port << "/\n";
      context.out.flush();
      server.listen_after_bind();
      finished = true;
      preview.stop();
      pthread_kill(stopper.native_handle(), SIGTERM);  // wakes it if no signal came
      stopper.join();
      context.out << "stopped\n";
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    context.exitCode = exitOK;
  });
}

}  // namespace WidgetKit
