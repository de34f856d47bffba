#include "presentation/DynamicIslandViews.h"

#include <string>

#include "platform/ui/Views.h"
#include "presentation/FormatAppNames.h"
#include "presentation/PhaseBadge.h"
#include "presentation/PresentationRules.h"

namespace tolvane {

using namespace SwiftUI;
using WidgetKit::DynamicIslandExpandedRegion;
using WidgetKit::DynamicIslandExpandedRegionPosition;

namespace {

// "Label 42%" below two downloads, "Label 42% • 2/5" from two on; the
// counter is shown as stored.
LocalizedStringKey summary(const std::string& label, const ContentState& state) {
  const std::int64_t percent = progressPercent(state.overallProgress);
  if (state.totalDownloads < 2)
    return LocalizedStringKey::interpolated({"", label, " ", percent, "%"});
  return LocalizedStringKey::interpolated(
      {"", label, " ", percent, "% \u2022 ", state.currentDownload, "/", state.totalDownloads, ""});
}

View expandedCenter(const ContentState& state) {
  const DownloadPhase phase = effectivePhase(state);
  const Color color = phaseColor(phase);
  const std::string label(phaseLabel(phase));
  const bool isDownloading = phase == DownloadPhase::downloading;

  return VStack(HorizontalAlignment::center, 6,
                {
                    Text::verbatim(formatAppNames(state.appNames, 30))
                        .font(Font::subheadline)
                        .fontWeight(Font::Weight::medium)
                        .lineLimit(1)
                        .truncationMode(TruncationMode::tail)
                        .multilineTextAlignment(TextAlignment::center),
                    HStack(VerticalAlignment::center, 8,
                           {
                               PhaseBadge{state, 24, 2},
                               ProgressView(state.overallProgress, 1.0)
                                   .tint(color)
                                   .frame({.maxWidth = infinity, .alignment = Alignment::center})
                                   .scaleEffect(1.0, 1.5, UnitPoint::center),
                               isDownloading ? Text::verbatim(speedText(state.bytesPerSecond))
                                                   .font(Font::caption)
                                                   .foregroundColor(Color::secondary)
                                                   .monospacedDigit()
                                             : Text::verbatim(label)
                                                   .font(Font::caption)
                                                   .fontWeight(Font::Weight::semibold)
                                                   .foregroundColor(color),
                           }),
                    If(showsBytes(phase),
                       [&] {
                         return HStack(
                                    VerticalAlignment::center, 4,
                                    {
                                        Text::verbatim(byteCountText(state.totalBytesDownloaded)),
                                        Text(LocalizedStringKey("/")),
                                        Text::verbatim(byteCountText(state.totalBytesExpected)),
                                    })
                             .font(Font::caption2)
                             .foregroundColor(Color::secondary);
                       }),
                    Text(summary(label, state)).font(Font::caption).foregroundColor(color),
                })
      .padding(Edge::Set::horizontal, 8);
}

}  // namespace

WidgetKit::DynamicIslandExpandedContent expandedContent(DownloadActivityViewContext context) {
  return {
      DynamicIslandExpandedRegion{DynamicIslandExpandedRegionPosition::center, 0,
                                  expandedCenter(context.state)},
      DynamicIslandExpandedRegion{DynamicIslandExpandedRegionPosition::leading, 0, EmptyView()},
      DynamicIslandExpandedRegion{DynamicIslandExpandedRegionPosition::trailing, 0, EmptyView()},
      DynamicIslandExpandedRegion{DynamicIslandExpandedRegionPosition::bottom, 0, EmptyView()},
  };
}

View islandRing(DownloadActivityViewContext context, double size, double iconSize) {
  return phaseRing(effectivePhase(context.state), context.state.overallProgress, 2, iconSize, size);
}

View compactLeadingView(DownloadActivityViewContext context) {
  return HStack(VerticalAlignment::center, 0,
                {
                    islandRing(std::move(context), 20, 10),
                    Text(LocalizedStringKey(" ")).opacity(0),
                });
}

View compactTrailingView(DownloadActivityViewContext context) {
  const ContentState& state = context.state;
  const DownloadPhase phase = effectivePhase(state);
  if (phase == DownloadPhase::completed) {
    return HStack(VerticalAlignment::center, 2,
                  {
                      Image("checkmark.circle.fill"),
                      Text(LocalizedStringKey("Done")).fontWeight(Font::Weight::semibold),
                  })
        .font(Font::caption2)
        .foregroundColor(Color::green);
  }
  return Text(percentageText(state.overallProgress))
      .font(Font::caption2)
      .fontWeight(Font::Weight::semibold)
      .foregroundColor(phaseColor(phase));
}

View minimalView(DownloadActivityViewContext context) {
  return islandRing(std::move(context), 18, 9);
}

}  // namespace tolvane
