#pragma once

#include <concepts>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "platform/activitykit/ActivityAttributes.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"
#include "platform/foundation/Result.h"
#include "platform/widgetkit/ActivityPresentations.h"

namespace WidgetKit {

using ActivityKit::ActivityAttributes;

// Why checking one JSON payload failed: it does not decode, or (when asked
// to write it again) the decoded value does not encode.
using PayloadError = std::variant<Foundation::DecodingError, Foundation::EncodingError>;

// What checking one JSON payload found: the decoded value written again
// (when asked for; else empty), or why not.
using PayloadCheck = Foundation::Result<std::string, PayloadError>;

// A content state an activity offers for the platform host's gallery.
struct ActivityPreviewState {
  std::string_view id;       // file-name stem: lower case, digits and '-'
  std::string_view caption;  // what to look for, one line
  std::string_view json;     // the state's JSON wire form
};

// The content states an activity offers for previews, with the gallery's
// title and the moment they are drawn at (timer texts are read from it).
// Constant data of the extension: nothing is read or built at run time.
struct ActivityPreviews {
  std::string_view title;
  Foundation::Date now;
  std::span<const ActivityPreviewState> states;
};

// One kind of activity that the platform host serves, with its types erased:
// the host is built once for any attributes type, which the extension's
// widget configuration names. Each entry is a plain function value; copying
// a HostedActivity is cheap and shares nothing mutable.
struct HostedActivity {
  std::string attributesName;
  // Decodes a ContentState from JSON; with reencode, writes it back.
  std::function<PayloadCheck(std::string_view json, bool reencode)> checkContentState;
  // Decodes the attributes from JSON; with reencode, writes them back.
  std::function<PayloadCheck(std::string_view json, bool reencode)> checkAttributes;
  // Decodes a ContentState from JSON and builds every presentation of it
  // from the activity's configuration, with `now` as the views' current date
  // (ActivityViewContext::date). Empty when the host serves no
  // configuration (WidgetBundle::hostedActivity fills it).
  std::function<Foundation::Result<ActivityPresentations, Foundation::DecodingError>(
      std::string_view json, Foundation::Date now)>
      presentContentState;
  // The states the gallery draws; none unless the widget offers them
  // (a static previews() of the widget type; WidgetBundle::hostedActivity).
  ActivityPreviews previews;

  template <ActivityAttributes A>
  static HostedActivity make(std::string attributesName) {
    return {std::move(attributesName), &check<typename A::ContentState>, &check<A>, {}, {}};
  }

 private:
  template <class T>
  static PayloadCheck check(std::string_view json, bool reencode) {
    auto value = Foundation::JSONDecoder().decode<T>(json);
    if (!value) return PayloadError(std::move(value).error());
    if (!reencode) return std::string();
    auto text = Foundation::JSONEncoder().encode(*value);
    if (!text) return PayloadError(std::move(text).error());
    return std::move(*text);
  }
};

}  // namespace WidgetKit
