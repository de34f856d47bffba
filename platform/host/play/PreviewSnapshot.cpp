#include "platform/host/play/PreviewSnapshot.h"

#include <cassert>

namespace Host {

void PreviewButton::encode(Foundation::Encoder& encoder) const {
  auto c = encoder.container();
  c.encode("x", x);
  c.encode("y", y);
  c.encode("width", width);
  c.encode("height", height);
  c.encode("intent", intent);
}

void PreviewPicture::encode(Foundation::Encoder& encoder) const {
  auto c = encoder.container();
  c.encode("name", name);
  c.encode("width", width);
  c.encode("height", height);
  c.encode("scale", scale);
  c.encode("src", src);
  c.encode("buttons", buttons);
}

void PreviewSnapshot::encode(Foundation::Encoder& encoder) const {
  auto c = encoder.container();
  c.encode("version", version);
  c.encode("date", date);
  c.encode("activity", activity);
  c.encode("activityState", activityState);
  c.encode("state", state);
  c.encode("texts", texts);
  c.encode("pictures", pictures);
  c.encode("findings", findings);
}

std::string PreviewSnapshot::json() const {
  auto text = Foundation::JSONEncoder({.withoutEscapingSlashes = true}).encode(*this);
  // Every number is a placed frame, a date or a ratio, finite by construction.
  assert(text);
  return text ? std::move(text).value() : std::string(none);
}

}  // namespace Host
