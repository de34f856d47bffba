#include <CLI/CLI.hpp>

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

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>

#include "platform/activitykit/HostApp.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONWriter.h"
#include "platform/foundation/Result.h"
#include "platform/host/PlatformHostCommand.h"
#include "platform/host/play/HostAppSession.h"
#include "platform/host/play/PlayCommands.h"
#include "platform/host/play/PresentationHitTest.h"
#include "platform/host/play/PreviewPage.h"
#include "platform/host/play/PreviewServer.h"
#include "platform/ui/Tap.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"
#include "platform/widgetkit/PresentationRenderer.h"

// serve [--listen HOST:PORT] [--speed FACTOR]
//
// A local web page that shows the activity live as the host app pushes its
// states: the lock screen and the island's expanded, compact and minimal
// forms, each a PNG of its own. Routes (PreviewServer.h says who may call
// them and how much they may send):
//
//   GET  /            the page; /preview.js and /preview.css its script and
//                     style (PreviewPage.h)
//   GET  /events      server-sent events, one snapshot a message: on connect
//                     the latest, then each new one (a slow client skips to
//                     the newest; every client ends up with the last)
//   GET  /snapshot    the latest snapshot
//   GET  /picture/NAME.png
//                     the latest snapshot's picture of a presentation
//   POST /start       launches the app (body: its JSON, or empty for its
//                     default); 422 {"error"} when the app refuses it
//   POST /state       pushes the body as the activity's next state, as a push
//                     update would; 422 {"error"} when the platform refuses it
//                     (too large, undecodable), 409 without an activity
//   POST /tap         a tap at (x, y) points on a picture, given as a JSON
//                     body {"presentation", "x", "y"} or as the query
//                     ?presentation=NAME&x=X&y=Y: a button runs its intent on
//                     the platform's executor ({"intent"}); elsewhere on the
//                     island's shape the platform opens the island's link in
//                     the app ({"opened"}); anywhere else, nothing ({})
//
// A snapshot: {"version", "date" (the moment it shows, for timers),
// "activity", "activityState", "state" (the JSON the platform holds),
// "texts" (the lock screen's, in reading order), "pictures": [{"name",
// "width", "height" (points), "scale" (pixels a point), "src", "buttons":
// [{"x", "y", "width", "height", "intent"}]}]}.
//
// Binds to 127.0.0.1:8080 unless told otherwise: the host is resolved and
// every address it names must be a loopback one; port 0 picks a free one.
// Prints "serving http://HOST:PORT/" and stops within a second on SIGINT or
// SIGTERM. Errors: 64 usage, 74 cannot listen.
namespace Host {

namespace {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

// Pixels a point in the page's pictures: sharp on a 2× screen.
constexpr double pictureScale = 2;

// Where to listen: the host as given (a name or an address, brackets
// taken off) and the port.
struct Listen {
  std::string host;
  unsigned short port = 0;
};

// The text as HOST:PORT, or what is wrong with it (after "--listen ").
Foundation::Result<Listen, std::string> parseListen(const std::string& text) {
  const std::string wrong = "needs HOST:PORT, not " + text;
  const auto colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return wrong;
  Listen listen{text.substr(0, colon), 0};
  if (listen.host.size() > 2 && listen.host.front() == '[' && listen.host.back() == ']') {
    listen.host = listen.host.substr(1, listen.host.size() - 2);
  }
  const std::string port = text.substr(colon + 1);
  if (port.empty() || port.size() > 5 ||
      port.find_first_not_of("0123456789") != std::string::npos) {
    return wrong;
  }
  const int number = std::stoi(port);
  if (number > 65535) return wrong;
  listen.port = static_cast<unsigned short>(number);
  return listen;
}

// The endpoint to bind: the host's first address, when every address it
// resolves to is a loopback one; else why not.
Foundation::Result<tcp::endpoint, std::string> loopbackEndpoint(const Listen& listen) {
  boost::system::error_code error;
  const auto literal = asio::ip::make_address(listen.host, error);
  if (!error) {
    if (!literal.is_loopback()) return listen.host + " is not a loopback address";
    return tcp::endpoint(literal, listen.port);
  }
  asio::io_context context;
  tcp::resolver resolver(context);
  const auto found = resolver.resolve(listen.host, std::to_string(listen.port),
                                      tcp::resolver::numeric_service, error);
  if (error || found.empty()) return listen.host + " does not resolve to an address";
  for (const auto& entry : found) {
    if (!entry.endpoint().address().is_loopback()) {
      return listen.host + " resolves to " + entry.endpoint().address().to_string() +
             ", not a loopback address";
    }
  }
  return found.begin()->endpoint();
}

PreviewResponse jsonAnswer(int status, std::string body) {
  return {status, "application/json", std::move(body)};
}

// The page's view of the platform: the latest snapshot, published by the
// drawing thread and read by every connection. Only the latest is kept.
class Preview {
 public:
  struct Published {
    std::uint64_t version = 0;
    std::string json = "{\"version\":0,\"activity\":null}";
    std::shared_ptr<const std::string> event;               // "data: <json>\n\n"
    std::map<PresentationKind, PlacedPresentation> placed;  // where taps land
    std::map<std::string, std::string, std::less<>> pngs;   // by presentation name
    std::optional<std::string> widgetURL;
  };

  Preview(const HostedActivity& activity, const ActivityKit::HostAppFactory& factory, double speed,
          std::function<void()> onPublish)
      : activity_(activity),
        session_(factory, speed),
        onPublish_(std::move(onPublish)),
        published_state_(std::make_shared<const Published>()),
        drawer_([this] { draw(); }) {}

  ~Preview() { finish(); }

  // Stops drawing and waits for the drawing thread.
  void finish() {
    stop();
    if (drawer_.joinable()) drawer_.join();
  }

  void stop() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
  }

  bool stopping() {
    std::lock_guard lock(mutex_);
    return stopping_;
  }

  HostAppSession& session() { return session_; }

  std::shared_ptr<const Published> latest() {
    std::lock_guard lock(mutex_);
    return published_state_;
  }

 private:
  // The drawing thread: takes the newest change (skipping older ones still
  // queued), draws it and publishes it.
  void draw() {
    SwiftUI::Drawing::PangoTextMeasurer measurer;
    PresentationRenderer renderer(measurer);
    while (!stopping()) {
      auto event = session_.nextEvent(std::chrono::milliseconds(50));
      if (!event) continue;
      while (auto newer = session_.nextEvent(std::chrono::milliseconds(0)))
        event = std::move(newer);
      auto presentations = activity_.presentContentState(event->activity.contentState, event->date);
      if (!presentations) continue;  // the platform took it, so it decodes

      auto next = std::make_shared<Published>();
      next->version = latest()->version + 1;  // only this thread publishes
      next->widgetURL = presentations->dynamicIsland.widgetURLValue();
      Foundation::JSONWriter writer({false, false});
      writer.beginObject();
      writer.key("version");
      writer.integer(static_cast<std::int64_t>(next->version));
      writer.key("date");
      writer.number(event->date.timeIntervalSinceReferenceDate);
      writer.key("activity");
      writer.string(event->activity.id);
      writer.key("activityState");
      writer.string(ActivityKit::nameOf(event->activity.state));
      writer.key("state");
      writer.string(event->activity.contentState);
      writer.key("texts");
      writer.beginArray();
      for (const auto& text : textsShown(presentations->lockScreen, event->date))
        writer.string(text);
      writer.endArray();
      writer.key("pictures");
      writer.beginArray();
      for (PresentationKind kind : allPresentationKinds) {
        PlacedPresentation placed = renderer.place(*presentations, kind, event->date);
        const Picture picture = PresentationRenderer::picture(placed);
        std::string png;
        if (!encodePicture(picture, PictureFormat::png, pictureScale, png)) png.clear();
        const std::string name(nameOf(kind));
        writer.beginObject();
        writer.key("name");
        writer.string(name);
        writer.key("width");
        writer.number(picture.canvas.width);
        writer.key("height");
        writer.number(picture.canvas.height);
        writer.key("scale");
        writer.number(pictureScale);
        writer.key("src");
        writer.string("/picture/" + name + ".png?v=" + std::to_string(next->version));
        writer.key("buttons");
        writer.beginArray();
        for (const ButtonRegion& region : placed.buttons) {
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
        next->placed.emplace(kind, std::move(placed));
        next->pngs.emplace(name, std::move(png));
      }
      writer.endArray();
      writer.endObject();
      next->json = writer.take();
      next->event = std::make_shared<const std::string>("data: " + next->json + "\n\n");
      {
        std::lock_guard lock(mutex_);
        published_state_ = std::move(next);
      }
      onPublish_();
    }
  }

  const HostedActivity& activity_;
  HostAppSession session_;
  std::function<void()> onPublish_;
  std::mutex mutex_;
  std::shared_ptr<const Published> published_state_;  // guarded by mutex_
  bool stopping_ = false;                             // guarded by mutex_
  std::thread drawer_;                                // last: starts once the rest is ready
};

// A tap's arguments, from a JSON body.
struct TapArguments {
  std::string presentation;
  double x = 0;
  double y = 0;

  static TapArguments decode(Foundation::Decoder& decoder) {
    auto c = decoder.container();
    TapArguments tap;
    tap.presentation = c.decode<std::string>("presentation");
    tap.x = c.decode<double>("x");
    tap.y = c.decode<double>("y");
    return tap;
  }
};

// The value of `key` in a query (no escapes are needed for what it holds).
std::optional<std::string> queryValue(const std::string& query, std::string_view key) {
  std::size_t at = 0;
  while (at <= query.size()) {
    const auto end = std::min(query.find('&', at), query.size());
    const std::string_view pair(query.data() + at, end - at);
    const auto equals = pair.find('=');
    if (pair.substr(0, equals) == key) {
      return equals == std::string_view::npos ? std::string()
                                              : std::string(pair.substr(equals + 1));
    }
    at = end + 1;
  }
  return std::nullopt;
}

std::optional<double> number(const std::optional<std::string>& text) {
  if (!text || text->empty()) return std::nullopt;
  try {
    std::size_t used = 0;
    const double value = std::stod(*text, &used);
    if (used == text->size() && std::isfinite(value)) return value;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

PreviewRoutes routes(Preview& preview, const std::atomic<bool>& stopping) {
  PreviewRoutes routes;
  routes.latestEvent = [&preview] {
    auto latest = preview.latest();
    return std::make_pair(latest->version, latest->event);
  };

  routes.read = [&preview](const std::string& path,
                           const std::string&) -> std::optional<PreviewResponse> {
    if (path == "/")
      return PreviewResponse{200, "text/html; charset=utf-8", std::string(previewPage()), true};
    if (path == "/preview.js")
      return PreviewResponse{200, "text/javascript; charset=utf-8", std::string(previewScript())};
    if (path == "/preview.css")
      return PreviewResponse{200, "text/css; charset=utf-8", std::string(previewStyle())};
    if (path == "/snapshot") return jsonAnswer(200, preview.latest()->json);
    constexpr std::string_view picture = "/picture/", png = ".png";
    if (path.rfind(picture, 0) == 0 && path.size() > picture.size() + png.size() &&
        path.compare(path.size() - png.size(), png.size(), png) == 0) {
      const auto latest = preview.latest();
      const auto found =
          latest->pngs.find(path.substr(picture.size(), path.size() - picture.size() - png.size()));
      if (found == latest->pngs.end() || found->second.empty())
        return PreviewResponse::refusal(404, "no such picture");
      return PreviewResponse{200, "image/png", found->second};
    }
    return std::nullopt;
  };

  routes.act = [&preview, &stopping](const std::string& path, const std::string& query,
                                     const std::string& body) -> std::optional<PreviewResponse> {
    if (path == "/start") {
      std::optional<std::string_view> input;
      if (body.find_first_not_of(" \t\r\n") != std::string::npos) input = body;
      if (auto launched = preview.session().app().launch(input); !launched)
        return PreviewResponse::refusal(422, launched.error());
      return jsonAnswer(200, "{\"started\":true}\n");
    }
    if (path == "/state") {
      const auto activities = preview.session().center().activities();
      if (activities.empty())
        return PreviewResponse::refusal(409, "no activity yet: POST /start first");
      if (auto updated = preview.session().center().update(activities.back().id, body); !updated) {
        const ActivityKit::ActivityError& error = updated.error();
        return PreviewResponse::refusal(
            422, std::string(ActivityKit::ActivityError::name(error.kind)) + ": " + error.message);
      }
      return jsonAnswer(200, "{\"accepted\":true}\n");
    }
    if (path != "/tap") return std::nullopt;

    TapArguments tap;
    if (body.find_first_not_of(" \t\r\n") != std::string::npos) {
      auto decoded = Foundation::JSONDecoder().decode<TapArguments>(body);
      if (!decoded || !std::isfinite(decoded->x) || !std::isfinite(decoded->y)) {
        return PreviewResponse::refusal(
            400, "a tap needs {\"presentation\", \"x\", \"y\"} with finite numbers");
      }
      tap = *decoded;
    } else {
      const auto x = number(queryValue(query, "x")), y = number(queryValue(query, "y"));
      if (!x || !y) return PreviewResponse::refusal(400, "a tap needs presentation, x and y");
      tap = {queryValue(query, "presentation").value_or(""), *x, *y};
    }
    const auto kind = presentationKind(tap.presentation);
    if (!kind) return PreviewResponse::refusal(400, "no such presentation: " + tap.presentation);
    const auto latest = preview.latest();
    const auto found = latest->placed.find(*kind);
    const TapTarget target =
        found == latest->placed.end() ? TapTarget{} : tapTarget(found->second, {tap.x, tap.y});
    if (const ButtonRegion* hit = target.button) {
      if (auto done = SwiftUI::tap(hit->button)) {
        // The intent only posts a notification; wait for it a little, but
        // never past a stop.
        for (int i = 0; i < 40 && !stopping; ++i) {
          if (done->wait_for(std::chrono::milliseconds(50)) == std::future_status::ready) {
            done->get();
            break;
          }
        }
      }
      const auto* node = hit->button.as<SwiftUI::ButtonNode>();
      Foundation::JSONWriter writer({false, false});
      writer.beginObject();
      writer.key("intent");
      writer.string(node ? node->intent.typeName() : std::string_view());
      writer.endObject();
      return jsonAnswer(200, writer.take() + "\n");
    }
    if (target.onPresentation && *kind != PresentationKind::lockScreen && latest->widgetURL) {
      preview.session().app().open(*latest->widgetURL);
      Foundation::JSONWriter writer({false, false});
      writer.beginObject();
      writer.key("opened");
      writer.string(*latest->widgetURL);
      writer.endObject();
      return jsonAnswer(200, writer.take() + "\n");
    }
    return jsonAnswer(200, "{}\n");
  };
  return routes;
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
  CLI::App* command = app.add_subcommand(
      "serve", "Show the activity live on a local web page where the badge works");
  command->add_option("--listen", options->listen,
                      "HOST:PORT on a loopback address (default 127.0.0.1:8080)");
  addSpeedOption(command, options->speed);

  setCommandBody(command, context, [options, factory, &context]() -> CommandOutcome {
    const auto listen = parseListen(options->listen);
    if (!listen) return CommandFailure{exitUsage, "--listen " + listen.error()};
    auto endpoint = loopbackEndpoint(*listen);
    if (!endpoint) {
      return CommandFailure{exitUsage, "--listen needs a loopback address: " + endpoint.error()};
    }

    asio::io_context io(1);
    std::unique_ptr<PreviewServer> server;
    std::atomic<PreviewServer*> publisher{nullptr};
    std::atomic<bool> stopping{false};
    // Signals are taken by the loop, set up before any thread starts.
    asio::signal_set signals(io, SIGINT, SIGTERM);
    Preview preview(context.activity, factory, options->speed, [&publisher] {
      if (PreviewServer* to = publisher.load()) to->publish();
    });
    std::vector<std::string> names;
    names.push_back(listen->host);
    names.push_back("localhost");
    auto listening = PreviewServer::listen(io, *endpoint, names, routes(preview, stopping));
    if (!listening) {
      preview.finish();
      return CommandFailure{
          exitIOError, "cannot listen on " + options->listen + ": " + listening.error().message()};
    }
    server = std::move(listening).value();
    signals.async_wait([&](boost::system::error_code error, int) {
      if (error) return;
      stopping = true;
      preview.stop();
      server->stop();
    });
    publisher = server.get();
    server->start();
    context.out << "serving " << server->origin() << "/\n";
    context.out.flush();
    io.run();
    stopping = true;
    preview.finish();
    publisher = nullptr;
    server.reset();
    context.out << "stopped\n";
    return exitOK;
  });
}

}  // namespace Host
