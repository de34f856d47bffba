#include "presentation/PhaseBadge.h"

#include <string>

#include "intents/PauseDownloadsIntent.h"
#include "intents/ResumeDownloadsIntent.h"
#include "platform/ui/Views.h"
#include "presentation/PresentationRules.h"

namespace tolvane {

using namespace SwiftUI;

View PhaseBadge::ring() const {
  DownloadPhase phase = effectivePhase(state);
  Color color = phaseColor(phase);
  double arcEnd = phase == DownloadPhase::completed ? 1.0 : state.overallProgress;

  return ZStack(Alignment::center,
                {
                    Circle().stroke(color.opacity(0.3), StrokeStyle{.lineWidth = lineWidth,
                                                                    .lineCap = CGLineCap::butt,
                                                                    .lineJoin = CGLineJoin::miter,
                                                                    .miterLimit = 10,
                                                                    .dash = {},
                                                                    .dashPhase = 0}),
                    Circle()
                        .trim(0, arcEnd)
                        .stroke(color, StrokeStyle{.lineWidth = lineWidth,
                                                   .lineCap = CGLineCap::round,
                                                   .lineJoin = CGLineJoin::miter,
                                                   .miterLimit = 10,
                                                   .dash = {},
                                                   .dashPhase = 0})
                        .rotationEffect(Angle::degrees(-90), UnitPoint::center),
                    Image(std::string(phaseIcon(phase)))
                        .font(Font::system(size * 0.45))
                        .foregroundColor(color),
                })
      .frame({.width = size, .height = size, .alignment = Alignment::center});
}

View PhaseBadge::body() const {
  switch (effectivePhase(state)) {
    case DownloadPhase::downloading:
      return Button(PauseDownloadsIntent(), ring()).buttonStyle(PlainButtonStyle());
    case DownloadPhase::paused:
      return Button(ResumeDownloadsIntent(), ring()).buttonStyle(PlainButtonStyle());
    case DownloadPhase::queued:
    case DownloadPhase::importing:
    case DownloadPhase::completed:
      break;
  }
  return ring();
}

}  // namespace tolvane
