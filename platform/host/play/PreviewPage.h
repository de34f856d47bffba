#pragma once

#include <string_view>

namespace Host {

// The served preview page: an HTML document, its script and its style, each
// served from the server's own origin (the page's content-security policy
// allows nothing else). The script listens to /events (server-sent events,
// one snapshot a message), shows the four pictures as PNG images, lays a tap
// target over every button, and posts JSON to /start, /state and /tap.
std::string_view previewPage();
std::string_view previewScript();
std::string_view previewStyle();

}  // namespace Host
