#include "platform/host/play/PreviewRoutes.h"

#include <chrono>
#include <cmath>
#include <string_view>

#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"
#include "platform/host/play/LivePreview.h"
#include "platform/host/play/PresentationHitTest.h"
#include "platform/ui/Tap.h"
#include "play/PreviewPage.h"

namespace Host {

namespace {

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

// What a tap did: the intent it ran, or the link it opened, or nothing.
struct TapAnswer {
  std::optional<std::string> intent;
  std::optional<std::string> opened;

  void encode(Foundation::Encoder& encoder) const {
    auto c = encoder.container();
    c.encodeIfPresent("intent", intent);
    c.encodeIfPresent("opened", opened);
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

bool blank(const std::string& body) {
  return body.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::optional<PreviewResponse> read(LivePreview& preview, const std::string& path) {
  // The page's own files, built into the program (page/).
  if (path == "/")
    return PreviewResponse{200, "text/html; charset=utf-8", std::string(page::index), true};
  if (path == "/preview.js")
    return PreviewResponse{200, "text/javascript; charset=utf-8", std::string(page::script)};
  if (path == "/preview.css")
    return PreviewResponse{200, "text/css; charset=utf-8", std::string(page::style)};
  if (path == "/snapshot") return PreviewResponse::json(preview.latest()->json);
  constexpr std::string_view picture = "/picture/", png = ".png";
  if (path.starts_with(picture) && path.size() > picture.size() + png.size() &&
      path.ends_with(png)) {
    const auto latest = preview.latest();
    const auto found =
        latest->pngs.find(path.substr(picture.size(), path.size() - picture.size() - png.size()));
    if (found == latest->pngs.end() || found->second.empty())
      return PreviewResponse::refusal(404, "no such picture");
    return PreviewResponse{200, "image/png", found->second};
  }
  return std::nullopt;
}

PreviewResponse start(LivePreview& preview, const std::string& body) {
  std::optional<std::string_view> input;
  if (!blank(body)) input = body;
  if (auto launched = preview.session().app().launch(input); !launched)
    return PreviewResponse::refusal(422, launched.error());
  return PreviewResponse::json("{\"started\":true}\n");
}

PreviewResponse push(LivePreview& preview, const std::string& body) {
  const auto activities = preview.session().center().activities();
  if (activities.empty())
    return PreviewResponse::refusal(409, "no activity yet: POST /start first");
  if (auto updated = preview.session().center().update(activities.back().id, body); !updated) {
    const ActivityKit::ActivityError& error = updated.error();
    return PreviewResponse::refusal(
        422, std::string(ActivityKit::ActivityError::name(error.kind)) + ": " + error.message);
  }
  return PreviewResponse::json("{\"accepted\":true}\n");
}

PreviewResponse tap(LivePreview& preview, const std::atomic<bool>& stopping,
                    const std::string& query, const std::string& body) {
  TapArguments arguments;
  if (!blank(body)) {
    auto decoded = Foundation::JSONDecoder().decode<TapArguments>(body);
    if (!decoded || !std::isfinite(decoded->x) || !std::isfinite(decoded->y)) {
      return PreviewResponse::refusal(
          400, "a tap needs {\"presentation\", \"x\", \"y\"} with finite numbers");
    }
    arguments = *decoded;
  } else {
    const auto x = number(queryValue(query, "x")), y = number(queryValue(query, "y"));
    if (!x || !y) return PreviewResponse::refusal(400, "a tap needs presentation, x and y");
    arguments = {queryValue(query, "presentation").value_or(""), *x, *y};
  }
  const auto kind = presentationKind(arguments.presentation);
  if (!kind)
    return PreviewResponse::refusal(400, "no such presentation: " + arguments.presentation);
  const auto latest = preview.latest();
  const auto found = latest->placed.find(*kind);
  const TapTarget target = found == latest->placed.end()
                               ? TapTarget{}
                               : tapTarget(found->second, {arguments.x, arguments.y});
  TapAnswer answer;
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
    answer.intent = intentName(*hit);
  } else if (target.onPresentation && *kind != PresentationKind::lockScreen && latest->widgetURL) {
    preview.session().app().open(*latest->widgetURL);
    answer.opened = *latest->widgetURL;
  }
  auto json = Foundation::JSONEncoder({.withoutEscapingSlashes = true}).encode(answer);
  return PreviewResponse::json(std::move(json).value() + "\n");
}

}  // namespace

PreviewRoutes previewRoutes(LivePreview& preview, const std::atomic<bool>& stopping) {
  PreviewRoutes routes;
  routes.latestEvent = [&preview] {
    auto latest = preview.latest();
    return std::make_pair(latest->version, latest->event);
  };
  routes.read = [&preview](const std::string& path, const std::string&) {
    return read(preview, path);
  };
  routes.act = [&preview, &stopping](const std::string& path, const std::string& query,
                                     const std::string& body) -> std::optional<PreviewResponse> {
    if (path == "/start") return start(preview, body);
    if (path == "/state") return push(preview, body);
    if (path == "/tap") return tap(preview, stopping, query, body);
    return std::nullopt;
  };
  return routes;
}

}  // namespace Host
