#pragma once

#include <concepts>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/activitykit/ActivityAttributes.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/JSONDecoder.h"
#include "platform/foundation/JSONEncoder.h"
#include "platform/widgetkit/ActivityPresentations.h"

namespace WidgetKit {

using ActivityKit::ActivityAttributes;

// What checking one JSON payload found: the decoding error, or (when asked)
// the decoded value written again, or the error that stopped that.
struct PayloadCheck {
  std::optional<Foundation::DecodingError> decodingError;
  std::optional<Foundation::EncodingError> encodingError;
  std::string encoded;  // only when re-encoding was asked for and succeeded

  bool ok() const { return !decodingError && !encodingError; }
};

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
  // from the activity's configuration, with Foundation::currentDate() pinned
  // to `now` while they are built. Empty when the host serves no
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
    PayloadCheck result;
    auto value = Foundation::JSONDecoder().decode<T>(json);
    if (!value) {
      result.decodingError = value.error();
      return result;
    }
    if (reencode) {
      auto text = Foundation::JSONEncoder().encode(*value);
      if (text) {
        result.encoded = std::move(*text);
      } else {
        result.encodingError = text.error();
      }
    }
    return result;
  }
};

}  // namespace WidgetKit
