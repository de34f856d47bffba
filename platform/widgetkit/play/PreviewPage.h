#pragma once

#include <string_view>

namespace WidgetKit {

// The served preview page: one HTML document with its script and style. It
// listens to /events (server-sent events, one snapshot a message), draws
// the four pictures, lays a tap target over every button, and posts
// /start, /state and /tap.
std::string_view previewPage();

}  // namespace WidgetKit
