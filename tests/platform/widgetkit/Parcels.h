#pragma once

// A small activity of the tests' own, so that the widget layer and its host
// are checked without any of the extension's code: its attributes, a
// configuration and a bundle that offers two preview states.

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/ui/Views.h"
#include "platform/widgetkit/WidgetBundle.h"

namespace parcels {

struct ParcelAttributes {
  struct ContentState {
    std::int64_t parcels = 0;
    std::vector<std::string> labels;
    std::optional<double> eta;
    static ContentState decode(Foundation::Decoder& decoder) {
      auto c = decoder.container();
      return {c.decode<std::int64_t>("parcels"),
              c.decodeIfPresent<std::vector<std::string>>("labels").value_or(
                  std::vector<std::string>{}),
              c.decodeIfPresent<double>("eta")};
    }
    void encode(Foundation::Encoder& encoder) const {
      auto c = encoder.container();
      c.encode("parcels", parcels);
      c.encode("labels", labels);
      c.encodeIfPresent("eta", eta);
    }
  };
  Foundation::Date sentAt;
  static ParcelAttributes decode(Foundation::Decoder& decoder) {
    return {decoder.container().decode<Foundation::Date>("sentAt")};
  }
  void encode(Foundation::Encoder& encoder) const { encoder.container().encode("sentAt", sentAt); }
};

// The lock screen shows the count and a timer started at "now"; the island
// shows the count compactly.
inline WidgetKit::ActivityConfiguration<ParcelAttributes> parcelConfiguration() {
  return {[](const WidgetKit::ActivityViewContext<ParcelAttributes>& context) {
            const Foundation::Date now = context.date;
            using namespace SwiftUI;
            return View(VStack(
                {Text::verbatim(std::to_string(context.state.parcels)),
                 Text(TimerInterval{now, now.addingTimeInterval(90)}, std::nullopt, true, true)}));
          },
          [](const WidgetKit::ActivityViewContext<ParcelAttributes>& context) {
            using namespace SwiftUI;
            return WidgetKit::DynamicIsland(
                       {{WidgetKit::DynamicIslandExpandedRegionPosition::leading, 1,
                         Image("shippingbox.fill")},
                        {WidgetKit::DynamicIslandExpandedRegionPosition::bottom, 0, EmptyView()}},
                       Text::verbatim(std::to_string(context.state.parcels)), EmptyView(), Circle())
                .widgetURL("parcels://open/list")
                .keylineTint(Color::orange);
          }};
}

inline constexpr WidgetKit::ActivityPreviewState parcelPreviews[] = {
    {"two", "Two parcels & a <timer>.", R"({"parcels": 2})"},
    {"none", "None.", R"({"parcels": 0})"},
};

struct ParcelWidget {
  WidgetKit::ActivityConfiguration<ParcelAttributes> body() const { return parcelConfiguration(); }
  static WidgetKit::ActivityPreviews previews() {
    return {"Parcel gallery", Foundation::Date(100), parcelPreviews};
  }
};
struct ParcelBundle {
  std::tuple<ParcelWidget> body() const {
    return WidgetKit::WidgetBundleBuilder::buildBlock(ParcelWidget());
  }
};

}  // namespace parcels
