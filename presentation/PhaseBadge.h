#pragma once

#include <optional>

#include "model/DownloadActivityAttributes.h"
#include "platform/ui/View.h"

namespace tolvane {

// The ring the badge and the island's small views share, back to front in a
// centred ZStack: the full track in the phase colour at opacity 0.3 (butt
// caps), the arc from the top clockwise to `arcEnd` as given (round caps;
// trim clamps it when drawn), and the phase symbol at `iconSize` points in
// the phase colour. Both strokes are `lineWidth` wide, miter-joined at
// limit 10, undashed. With `circleSide` each circle is framed that size
// (the island's rings); without, the caller frames the stack (the badge).
SwiftUI::View phaseRing(DownloadPhase phase, double arcEnd, double lineWidth, double iconSize,
                        std::optional<double> circleSide = std::nullopt);

// The round emblem that leads a row of the lock-screen view and of the
// expanded island: a faint full circle (the track), an arc over it that
// grows clockwise from the top with the overall progress, and the phase's
// symbol in the middle, all in the colour of the effective phase. While
// downloads run or stand paused the badge is also the activity's button:
// a tap runs PauseDownloadsIntent or ResumeDownloadsIntent.
//
// A value that owns its copy of the state; `size` (the side of its square
// frame, and 0.45 × size the symbol's point size) and `lineWidth` (both
// strokes, centred on the outline) must be above zero.
struct PhaseBadge {
  ContentState state;
  double size;
  double lineWidth;

  // The drawing without any button: track, arc and icon in a centred
  // ZStack framed size × size. The arc ends at 1.0 when the phase shown is
  // completed, else at overallProgress as it is (trim clamps it when drawn).
  SwiftUI::View ring() const;

  // The ring as a plain-styled Button running PauseDownloadsIntent while
  // downloading, ResumeDownloadsIntent while paused; the ring alone for
  // queued, importing and completed.
  SwiftUI::View body() const;
};

}  // namespace tolvane
