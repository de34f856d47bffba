#pragma once

#include <string>

#include "platform/foundation/Date.h"
#include "platform/foundation/JSONWriter.h"
#include "platform/ui/View.h"

namespace SwiftUI {

// Writes a view tree as JSON, the describe format that scripts and tools
// read:
//
//   {"view": "HStack", "alignment": "center", "spacing": 10,
//    "modifiers": [{"padding": {"edges": "all", "length": 16}}],
//    "children": [ … ]}
//
// A node names its kind ("view"), then the kind's own fields, then
// "modifiers" (one one-key object each, in the order applied) and
// "children"; both are left out when empty. A button writes its intent's
// type name ("intent") and its label node ("label") instead of children.
// Texts write "kind" ("verbatim", "localized", "timer") and "text", the
// string as shown at `now`; localized texts add "key" and "args", timers
// add "timer" with its dates in seconds since 2001. Colours are
// {"name": …} with "opacity" when one is set. Unset frame bounds are left
// out; an infinite bound is the string "infinity".
//
// The writer may be in the middle of a larger document (after a key, or in
// an array); one value is written.
void describe(Foundation::JSONWriter& writer, const View& view, Foundation::Date now);

// A colour as the describe format writes it: {"name": …, "opacity": …}.
void describe(Foundation::JSONWriter& writer, const Color& color);

// The description as a string, "/" unescaped.
std::string describe(const View& view, Foundation::Date now, bool prettyPrinted = false);

}  // namespace SwiftUI
