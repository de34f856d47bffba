#include "presentation/PhaseBadge.h"

#include <string>

#include "intents/PauseDownloadsIntent.h"
#include "intents/ResumeDownloadsIntent.h"
#include "platform/ui/Views.h"
#include "presentation/PresentationRules.h"

namespace tolvane {

using namespace SwiftUI;

View phaseRing(DownloadPhase phase, double arcEnd, double lineWidth, double iconSize,
               std::optional<double> circleSide) {
  const Color color = phaseColor(phase);
  const auto style = [lineWidth](CGLineCap cap) {
    StrokeStyle stroke;
    stroke.lineWidth = lineWidth;
    stroke.lineCap = cap;
    return stroke;
  };
  const auto framed = [&circleSide](View circle) {
    return circleSide ? std::move(circle).frame({.width = *circleSide, .height = *circleSide})
                      : circle;
  };
  return ZStack(
      Alignment::center,
      {
          framed(Circle().stroke(color.opacity(0.3), style(CGLineCap::butt))),
          framed(Circle().trim(0, arcEnd).stroke(color, style(CGLineCap::round)))
              .rotationEffect(Angle::degrees(-90), UnitPoint::center),
          Image(std::string(phaseIcon(phase))).font(Font::system(iconSize)).foregroundColor(color),
      });
}

View PhaseBadge::ring() const {
  const DownloadPhase phase = effectivePhase(state);
  const double arcEnd = phase == DownloadPhase::completed ? 1.0 : state.overallProgress;
  return phaseRing(phase, arcEnd, lineWidth, size * 0.45)
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
    case DownloadPhase::completed: break;
  }
  return ring();
}

}  // namespace tolvane
