#pragma once

// A URL object: a file URL (scheme "file", made from a path) or any other URL
// with a scheme ("https://host/a.pdf").
//
// Security-scoped access: a URL that hands out access to a file outside the
// app's container (as a picker's URLs do) is security scoped. Access is
// started and stopped in balanced pairs; the URL counts both so that a test
// can see that every start was matched. The counts are per URL object and
// not thread-safe, like the rest of the object.

#include <string>
#include <string_view>

#include "platform/foundation/NSError.h"
#include "platform/foundation/NSObjCBridge.h"

class FOUNDATION_EXPORT NSURL : public objc_object {
 public:
  // A file URL for `path`, autoreleased. A relative path is taken against the
  // current directory; runs of "/" collapse to one and trailing slashes are
  // dropped; "." and ".." and symbolic links are kept as written.
  static NSURL* fileURLWithPath(std::string_view path);

  // The same, for a URL that is security scoped (startAccessing... says YES).
  static NSURL* securityScopedFileURLWithPath(std::string_view path);

  // A URL parsed from `string`, autoreleased, or nil when it does not start
  // with a scheme (a letter, then letters, digits, "+", "-" or ".", then ":").
  // A "file:" URL parsed this way is a file URL.
  static NSURL* URLWithString(std::string_view string);

  // YES when the scheme is "file" (in any case).
  bool isFileURL() const { return isFile_; }

  // The scheme, lower-cased ("file", "https").
  const std::string& scheme() const { return scheme_; }

  // The path, percent-decoded, without trailing slashes ("/" stays "/"); for
  // a URL without a path, "".
  const std::string& path() const { return path_; }

  // The last component of path() ("May.pdf"), "/" for the root, "" for none.
  std::string lastPathComponent() const;

  // The whole URL as text ("file:///tmp/May%20Report.pdf", "https://x/y").
  const std::string& absoluteString() const { return string_; }

  // YES when `other` is a URL with the same absoluteString; NO for nil.
  bool isEqual(id other) const;

  // For a file URL whose path runs through symbolic links, a new file URL
  // (autoreleased) for the path they lead to; the URL itself when it is not a
  // file URL or when the path cannot be resolved (a dangling link, a loop).
  NSURL* URLByResolvingSymlinksInPath();

  // YES when the item a file URL names can be reached, following symbolic
  // links (a dangling link or a loop cannot). NO with *error set
  // (autoreleased) when error is not null: 260 when there is no such item, a
  // link dangles or loops, 257 without permission, 256 otherwise, 262 for a
  // URL that is not a file URL. One stat(2).
  bool checkResourceIsReachableAndReturnError(NSError** error);

  // Starts access: YES for a security-scoped URL (counted; balance it with
  // stop...), NO for any other URL (nothing to balance).
  bool startAccessingSecurityScopedResource();

  // Ends one access started with start... on this URL; does nothing when none
  // is open.
  void stopAccessingSecurityScopedResource();

  // Accesses started and not yet stopped, and the number ever started.
  int securityScopedAccessCount() const { return openAccesses_; }
  int securityScopedAccessStarts() const { return accessStarts_; }

  static Class classObject();
  static NSURL* cast(id obj);

 private:
  NSURL() { isa = classObject(); }
  template <typename T>
  friend void Foundation::detail::deallocDelete(id, SEL);
  ~NSURL() = default;

  static NSURL* makeFileURL(std::string_view path, bool scoped);

  std::string string_;
  std::string scheme_;
  std::string path_;
  bool isFile_ = false;
  bool scoped_ = false;
  int openAccesses_ = 0;
  int accessStarts_ = 0;
};
