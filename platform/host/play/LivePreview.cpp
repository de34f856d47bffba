#include "platform/host/play/LivePreview.h"

#include <chrono>

#include "platform/host/Audit.h"
#include "platform/host/play/PresentationHitTest.h"
#include "platform/host/play/PreviewSnapshot.h"
#include "platform/ui/drawing/PangoTextMeasurer.h"

namespace Host {

namespace {

// Pixels a point in the page's pictures: sharp on a 2× screen.
constexpr double pictureScale = 2;

}  // namespace

LivePreview::LivePreview(const HostedActivity& activity, const ActivityKit::HostAppFactory& factory,
                         double speed, std::function<void()> onPublish)
    : activity_(activity),
      session_(factory, speed),
      onPublish_(std::move(onPublish)),
      published_([] {
        auto none = std::make_shared<Published>();
        none->json = PreviewSnapshot::none;
        return none;
      }()),
      drawer_([this] { draw(); }) {}

void LivePreview::stop() {
  std::lock_guard lock(mutex_);
  stopping_ = true;
}

void LivePreview::finish() {
  stop();
  if (drawer_.joinable()) drawer_.join();
}

bool LivePreview::stopping() {
  std::lock_guard lock(mutex_);
  return stopping_;
}

std::shared_ptr<const LivePreview::Published> LivePreview::latest() {
  std::lock_guard lock(mutex_);
  return published_;
}

// Takes the newest change (skipping older ones still queued), draws it and
// publishes it.
void LivePreview::draw() {
  SwiftUI::Drawing::PangoTextMeasurer measurer;
  PresentationRenderer renderer(measurer);
  while (!stopping()) {
    auto event = session_.nextEvent(std::chrono::milliseconds(50));
    if (!event) continue;
    while (auto newer = session_.nextEvent(std::chrono::milliseconds(0))) event = std::move(newer);
    auto presentations = activity_.presentContentState(event->activity.contentState, event->date);
    if (!presentations) continue;  // the platform took it, so it decodes

    auto next = std::make_shared<Published>();
    next->version = latest()->version + 1;  // only this thread publishes
    next->widgetURL = presentations->dynamicIsland.widgetURLValue();
    PreviewSnapshot snapshot{static_cast<std::int64_t>(next->version),
                             event->date,
                             event->activity.id,
                             std::string(ActivityKit::nameOf(event->activity.state)),
                             event->activity.contentState,
                             textsShown(presentations->lockScreen, event->date),
                             {},
                             {}};
    for (PresentationKind kind : allPresentationKinds) {
      PlacedPresentation placed = renderer.place(*presentations, kind, event->date);
      const Picture picture = PresentationRenderer::picture(placed);
      auditPlaced(placed, picture, event->activity.id, renderer.variant(), event->date,
                  snapshot.findings);
      std::string png;
      if (!encodePicture(picture, PictureFormat::png, pictureScale, png)) png.clear();
      const std::string name(nameOf(kind));
      PreviewPicture& shown = snapshot.pictures.emplace_back(
          PreviewPicture{name,
                         picture.canvas.width,
                         picture.canvas.height,
                         pictureScale,
                         "/picture/" + name + ".png?v=" + std::to_string(next->version),
                         {}});
      for (const ButtonRegion& region : placed.buttons) {
        shown.buttons.push_back({region.frame.x, region.frame.y, region.frame.width,
                                 region.frame.height, intentName(region)});
      }
      next->placed.emplace(kind, std::move(placed));
      next->pngs.emplace(name, std::move(png));
    }
    next->json = snapshot.json();
    next->event = std::make_shared<const std::string>("data: " + next->json + "\n\n");
    {
      std::lock_guard lock(mutex_);
      published_ = std::move(next);
    }
    onPublish_();
  }
}

}  // namespace Host
