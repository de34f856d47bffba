#pragma once

// The platform host is the system's side of the widget framework, played on a
// command line for people and scripts. It is not part of the framework, but it
// is written in the framework's names, so its namespace sees them.
namespace WidgetKit {}

namespace Host {
using namespace WidgetKit;
}  // namespace Host
