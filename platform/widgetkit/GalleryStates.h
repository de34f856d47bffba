#pragma once

#include <string_view>
#include <vector>

#include "platform/foundation/Date.h"

// The content states the gallery draws: one of each phase as the host app
// sends them, and the edge cases worth looking at. Each is the JSON wire
// form of a download activity's state, read at galleryNow.
namespace WidgetKit {

struct GalleryState {
  std::string_view id;    // file-name stem: lower case, digits and '-'
  std::string_view note;  // what to look for, one line
  std::string_view json;
};

// The moment every gallery picture is drawn at (timer texts read from it):
// 2026-12-03 04:35:25.5 UTC.
inline constexpr Foundation::Date galleryNow{818003725.5};

const std::vector<GalleryState>& galleryStates();

}  // namespace WidgetKit
