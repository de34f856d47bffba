#pragma once

// The process's standard directories and the path-string operations of the
// platform's string class, on std::string.

#include <string>
#include <string_view>

#include "platform/foundation/NSObjCBridge.h"

// The app's home directory: $HOME when set and not empty, else the user
// database's home of the real user, else "/". Trailing slashes are dropped
// ("/" stays "/"). Read on every call (no caching), so a test may change it.
FOUNDATION_EXPORT std::string NSHomeDirectory();

// The app's temporary directory, always with one trailing "/": $TMPDIR when
// set and not empty, else "/tmp/". Read on every call.
FOUNDATION_EXPORT std::string NSTemporaryDirectory();

// `base` joined with `component` by exactly one "/": trailing slashes of base
// and leading slashes of component are dropped first. An empty base gives the
// component alone; an empty component gives base without trailing slashes
// ("/" stays "/").
FOUNDATION_EXPORT std::string NSStringByAppendingPathComponent(std::string_view base,
                                                               std::string_view component);

// The last component of a path: the part after the last "/" once trailing
// slashes are dropped. "/" gives "/", "" gives "", "a" gives "a".
FOUNDATION_EXPORT std::string NSStringLastPathComponent(std::string_view path);
