#pragma once

// What each phase shows, written once for every view's test: one row per
// case of DownloadPhase, always looked up with the effective phase. And the
// states that reach each effective phase, with and without a phase given.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "model/DownloadActivityAttributes.h"
#include "model/DownloadPhase.h"
#include "platform/ui/Color.h"

namespace tolvane::testing {

struct PhaseWords {
  DownloadPhase phase;
  const char* label;
  SwiftUI::Color color;
  const char* icon;
  bool showsBytes;
  const char* badgeIntent;  // "": the phase badge is no button
};

inline constexpr PhaseWords phaseVocabulary[] = {
    {DownloadPhase::queued, "Queued", SwiftUI::Color::secondary, "clock", false, ""},
    {DownloadPhase::downloading, "Downloading", SwiftUI::Color::blue, "arrow.down", true,
     "PauseDownloadsIntent"},
    {DownloadPhase::paused, "Paused", SwiftUI::Color::orange, "pause.fill", true,
     "ResumeDownloadsIntent"},
    {DownloadPhase::importing, "Importing", SwiftUI::Color::purple, "shippingbox.fill", false, ""},
    {DownloadPhase::completed, "Done", SwiftUI::Color::green, "checkmark", false, ""},
};

inline const PhaseWords& wordsOf(DownloadPhase phase) {
  for (const PhaseWords& row : phaseVocabulary) {
    if (row.phase == phase) return row;
  }
  ADD_FAILURE() << "no row for phase " << rawValue(phase);
  return phaseVocabulary[0];
}

// A state's phase and flags, and the phase it shows: a phase given wins over
// both flags; without one, completion comes before pause, else downloading.
struct PhaseState {
  std::optional<DownloadPhase> phase;
  bool isCompleted, isPaused;
  DownloadPhase shown;

  // `state` with this row's phase and flags.
  ContentState applied(ContentState state) const {
    state.phase = phase;
    state.isCompleted = isCompleted;
    state.isPaused = isPaused;
    return state;
  }
  std::string name() const {
    return (phase ? std::string(rawValue(*phase)) : "no phase") +
           (isCompleted ? " completed-flag" : "") + (isPaused ? " paused-flag" : "");
  }
};

inline constexpr PhaseState phaseStates[] = {
    {DownloadPhase::queued, true, false, DownloadPhase::queued},
    {DownloadPhase::downloading, true, true, DownloadPhase::downloading},
    {DownloadPhase::paused, true, false, DownloadPhase::paused},
    {DownloadPhase::importing, false, true, DownloadPhase::importing},
    {DownloadPhase::completed, false, false, DownloadPhase::completed},
    {std::nullopt, false, false, DownloadPhase::downloading},
    {std::nullopt, false, true, DownloadPhase::paused},
    {std::nullopt, true, false, DownloadPhase::completed},
    {std::nullopt, true, true, DownloadPhase::completed},
};

}  // namespace tolvane::testing
