#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/DownloadActivityAttributes.h"
#include "model/DownloadPhase.h"
#include "platform/ui/Color.h"
#include "platform/ui/LocalizedStringKey.h"

// The rules every view of the download activity derives its texts, colours
// and symbols from. Each is a pure function of the values it reads and keeps
// nothing between calls.
namespace tolvane {

// The phase a view shows: `phase` when present, whatever the flags say;
// otherwise completed when isCompleted (even when also paused), paused when
// isPaused, else downloading. Never queued or importing without `phase`.
DownloadPhase effectivePhase(const ContentState& state);

// "Queued", "Downloading", "Paused", "Importing" or "Done": display text shown
// verbatim, not the phase's raw value.
std::string_view phaseLabel(DownloadPhase phase);

// secondary, blue, orange, purple or green, each fully opaque.
SwiftUI::Color phaseColor(DownloadPhase phase);

// The system symbol name: "clock", "arrow.down", "pause.fill",
// "shippingbox.fill" or "checkmark".
std::string_view phaseIcon(DownloadPhase phase);

// overallProgress × 100.0 in double precision, truncated toward zero, with no
// rounding and no clamping: 0.29 gives 28 (the product is
// 28.999999999999996), 1.5 gives 150, -0.004 gives 0. NaN, either infinity
// and any product outside the int64 range give 0, the one display every
// view uses for progress that has no meaningful percentage.
std::int64_t progressPercent(double overallProgress);

// The percentage as every view shows it: the localizable "%lld%" of
// progressPercent ("42%").
SwiftUI::LocalizedStringKey percentageText(double overallProgress);

// Whether a view shows the bytes transferred: while downloading or paused.
bool showsBytes(DownloadPhase phase);

// The byte-count text: a new formatter for each call, binary, KB/MB/GB,
// unit shown, adaptive ("Zero KB", "1.5 MB", "1,024 GB").
std::string byteCountText(std::int64_t count);

// "0 KB/s" for a rate below 1 (the formatter is not asked); otherwise
// byteCountText of the rate directly followed by "/s", so 1 is "0 KB/s" by way
// of the formatter's "0 KB" and 1572864 is "1.5 MB/s".
std::string speedText(std::int64_t bytesPerSecond);

}  // namespace tolvane
