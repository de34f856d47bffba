#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/Date.h"
#include "platform/foundation/JSONEncoder.h"
#include "platform/host/Audit.h"

// What the page shows at one moment, as /snapshot and each event of
// /events send it:
//
//   {"version", "date", "activity", "activityState", "state", "texts",
//    "pictures": [{"name", "width", "height", "scale", "src",
//                  "buttons": [{"x", "y", "width", "height", "intent"}]}],
//    "findings": [{"state", "presentation", "variant", "kind", "element",
//                  "text", "frame", …}]}
//
// `date` is the moment the pictures show (for timers), `state` the JSON the
// platform holds, `texts` the lock screen's in reading order; a picture's
// sizes are in points, `scale` its pixels a point, and each button is a
// frame on it with the intent a tap there runs. `findings` are the audit's
// (Audit.h) of the pictures shown, in their variant, each as `audit
// --format json` writes it, named with the activity as its state.
namespace Host {

struct PreviewButton {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
  std::string intent;

  void encode(Foundation::Encoder& encoder) const;
};

struct PreviewPicture {
  std::string name;
  double width = 0;
  double height = 0;
  double scale = 1;
  std::string src;
  std::vector<PreviewButton> buttons;

  void encode(Foundation::Encoder& encoder) const;
};

struct PreviewSnapshot {
  std::int64_t version = 0;
  Foundation::Date date;
  std::string activity;
  std::string activityState;
  std::string state;
  std::vector<std::string> texts;
  std::vector<PreviewPicture> pictures;
  std::vector<Finding> findings;

  void encode(Foundation::Encoder& encoder) const;

  // The snapshot's JSON text (slashes as they are, for the pictures' src).
  std::string json() const;
  // What the page shows before the first snapshot.
  static constexpr const char* none = "{\"version\":0,\"activity\":null}";
};

}  // namespace Host
