#include "presentation/DownloadLiveActivityView.h"

#include <string>

#include "platform/ui/Views.h"
#include "presentation/FormatAppNames.h"
#include "presentation/PhaseBadge.h"
#include "presentation/PresentationRules.h"

namespace tolvane {

using namespace SwiftUI;

namespace {

// The phase label alone below two downloads, else "Label (current/total)",
// with both counters in decimal as they are.
std::string statusLine(std::string_view label, const ContentState& state) {
  std::string line(label);
  if (state.totalDownloads < 2) return line;
  line += " (";
  line += std::to_string(state.currentDownload);
  line += '/';
  line += std::to_string(state.totalDownloads);
  line += ')';
  return line;
}

}  // namespace

View DownloadLiveActivityView::body() const {
  const ContentState& state = context.state;
  const DownloadPhase phase = effectivePhase(state);
  const Color accent = phaseColor(phase);
  const std::string label(phaseLabel(phase));
  const bool isDownloading = phase == DownloadPhase::downloading;
  const Foundation::Date now = context.date;
  const bool showsTimeRemaining =
      isDownloading && state.estimatedCompletionDate && *state.estimatedCompletionDate >= now;

  return VStack(
             HorizontalAlignment::center, 10,
             {
                 // Header row.
                 HStack(VerticalAlignment::center, 10,
                        {
                            PhaseBadge{state, 28, 3},
                            VStack(HorizontalAlignment::leading, 2,
                                   {
                                       Text::verbatim(formatAppNames(state.appNames, 35))
                                           .font(Font::subheadline)
                                           .fontWeight(Font::Weight::bold)
                                           .lineLimit(1)
                                           .truncationMode(TruncationMode::tail),
                                       Text::verbatim(statusLine(label, state))
                                           .font(Font::caption)
                                           .foregroundColor(accent),
                                   }),
                            Spacer(),
                            Text(percentageText(state.overallProgress))
                                .font(Font::title3)
                                .fontWeight(Font::Weight::bold)
                                .foregroundColor(accent),
                        }),
                 // Progress block.
                 VStack(
                     HorizontalAlignment::center, 4,
                     {
                         ProgressView(state.overallProgress, 1.0).tint(accent),
                         HStack(
                             VerticalAlignment::center, std::nullopt,
                             {
                                 isDownloading ? Text::verbatim(speedText(state.bytesPerSecond))
                                                     .font(Font::caption2)
                                                     .foregroundColor(Color::secondary)
                                               : Text::verbatim(label)
                                                     .font(Font::caption2)
                                                     .fontWeight(Font::Weight::semibold)
                                                     .foregroundColor(accent),
                                 Spacer(),
                                 If(showsTimeRemaining,
                                    [&] {
                                      return HStack(
                                                 VerticalAlignment::center, 3,
                                                 {
                                                     Image("clock"),
                                                     Text(
                                                         TimerInterval{
                                                             now, *state.estimatedCompletionDate},
                                                         std::nullopt, true, true),
                                                 })
                                          .font(Font::caption2)
                                          .foregroundColor(Color::secondary);
                                    }),
                                 Spacer(),
                                 If(showsBytes(phase),
                                    [&] {
                                      return Text(
                                                 LocalizedStringKey::interpolated(
                                                     {"", byteCountText(state.totalBytesDownloaded),
                                                      " / ",
                                                      byteCountText(state.totalBytesExpected), ""}))
                                          .font(Font::caption2)
                                          .foregroundColor(Color::secondary);
                                    }),
                             }),
                     }),
             })
      .padding(16);
}

}  // namespace tolvane
