#pragma once

// The file manager: creating directories and copying items, with errors in
// the Cocoa domain (codes and wordings in NSError.h and below).
//
// copyItemAtURL / copyItemAtPath copy one item to a destination that must not
// exist yet:
// - a regular file: its bytes, its permission bits (without set-user-id and
//   set-group-id) and its modification time. The data moves by reflink
//   (FICLONE) where the file system shares extents, else by copy_file_range
//   (in-kernel, no user-space buffer), else by read and write.
// - a folder: the folder and, depth first, everything in it. The copy's
//   folders always give their owner read, write and search permission, so the
//   app can delete what was copied even when the source folders are read-only.
// - a symbolic link: a new link with the same target text, dangling or not;
//   what it points to is not copied.
// - anything else (a FIFO, a socket, a device): not copied, an error. The
//   source is never opened, so a copy never blocks on a FIFO or a device
//   (sources are opened with O_NONBLOCK | O_NOFOLLOW and checked again after
//   opening, in case the item was swapped).
// A folder is never copied into itself or its own subtree (that copy would
// never end): error 512 before anything is made.
// Nothing is ever overwritten: files are created with O_EXCL, folders and
// links fail on an existing name. On failure the copy stops at the first
// failing item and what was already made stays (no clean-up), so a caller
// that wants no partial copy removes the destination itself.
//
// Errors (S: the source's last component, D: the destination folder's):
//   260 The file “S” couldn’t be opened because there is no such file.
//   257 The file “S” couldn’t be opened because you don’t have permission to view it.
//   256 The file “S” couldn’t be opened.                       (other read errors)
//   256 “S” couldn’t be copied because it isn’t a regular file, folder or symbolic link.
//   516 “S” couldn’t be copied to “D” because an item with the same name already exists.
//   640 “S” couldn’t be copied to “D” because there isn’t enough space.
//   513 “S” couldn’t be copied because you don’t have permission to access “D”.
//   642 “S” couldn’t be copied to “D” because the volume is read only.
//   512 “S” couldn’t be copied to “D”.                          (other write errors)
//   262 The file “S” couldn’t be opened because the specified URL type isn’t supported.
//
// All calls are synchronous, take no locks of their own and may be made from
// any thread; the cost is that of the system calls (one pass over the data).

#include <string>
#include <string_view>

#include "platform/foundation/NSError.h"
#include "platform/foundation/NSObjCBridge.h"
#include "platform/foundation/NSURL.h"

class FOUNDATION_EXPORT NSFileManager : public objc_object {
 public:
  // The process's shared file manager; never released.
  static NSFileManager* defaultManager();

  // Creates the directory at `path` (mode 0777 less the umask).
  // withIntermediateDirectories YES: missing parents are created too, and a
  // directory that already exists is success. NO: the parent must exist and
  // the path must not. `attributes` must be nil (none are supported).
  // Returns YES on success; NO with *error set (autoreleased) when error is
  // not null:
  //   516 The file “P” couldn’t be saved in the folder “D” because a file with the same name
  //   already exists. 640 The file “P” couldn’t be saved because there isn’t enough space. 513 You
  //   don’t have permission to save the file “P” in the folder “D”. 642 The file “P” couldn’t be
  //   saved because the volume is read only.
  //     4 The folder “P” doesn’t exist.                          (missing parent)
  //   512 The file “P” couldn’t be saved in the folder “D”.
  bool createDirectoryAtPath(std::string_view path, bool withIntermediateDirectories, id attributes,
                             NSError** error);

  // Copies the item at srcURL to dstURL (both file URLs; otherwise 262).
  // YES on success; NO with *error set (autoreleased) when error is not null.
  bool copyItemAtURL(NSURL* srcURL, NSURL* dstURL, NSError** error);

  // The same for paths.
  bool copyItemAtPath(std::string_view srcPath, std::string_view dstPath, NSError** error);

  // YES when something exists at path (a dangling link does not count).
  bool fileExistsAtPath(std::string_view path) const;

  static Class classObject();

 private:
  NSFileManager() { isa = classObject(); }
};
