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
// set and not empty (taken as it is), else the user's own directory
// "/tmp/user-<uid>/" (<uid> the effective user id). That one is the user's
// alone, as on the platform: it is created with mode 0700 when missing and
// used only when it is a directory (not a link) owned by the effective user
// that gives no access to anyone else. When something else sits at that
// path (another user's folder, a link planted there, a folder others may
// enter), the process uses a fresh private directory "/tmp/user-<uid>.XXXXXX"
// instead, made once and kept for the life of the process. Read on every
// call.
FOUNDATION_EXPORT std::string NSTemporaryDirectory();

namespace Foundation::detail {

// The user's own temporary directory under `base` ("/tmp" for
// NSTemporaryDirectory), without the trailing "/": base/user-<uid> when it is
// private to the effective user (made so when missing), else a fresh private
// directory base/user-<uid>.XXXXXX, made the first time one is needed for
// that base and kept. When not even that can be made, base/user-<uid>,
// whatever it is, and the caller's writes there find out. Thread-safe.
FOUNDATION_EXPORT std::string userTemporaryDirectory(std::string_view base);

}  // namespace Foundation::detail

// `base` joined with `component` by exactly one "/": trailing slashes of base
// and leading slashes of component are dropped first. An empty base gives the
// component alone; an empty component gives base without trailing slashes
// ("/" stays "/").
FOUNDATION_EXPORT std::string NSStringByAppendingPathComponent(std::string_view base,
                                                               std::string_view component);

// The last component of a path: the part after the last "/" once trailing
// slashes are dropped. "/" gives "/", "" gives "", "a" gives "a".
FOUNDATION_EXPORT std::string NSStringLastPathComponent(std::string_view path);
