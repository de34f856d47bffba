#pragma once

#include "platform/foundation/Date.h"

namespace Foundation {

// The system clock's "now" (what the platform's Date() reads): its time
// converted to seconds since 2001-01-01 00:00:00 UTC. Views never call it;
// they read the date their context carries (WidgetKit's
// ActivityViewContext::date), which whoever asks for a presentation sets.
// Lock-free; may be called from any thread.
Date currentDate();

}  // namespace Foundation
