#include "platform/foundation/NSFileManager.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/foundation/NSPathUtilities.h"
#include "platform/foundation/Result.h"

namespace {

// Where a copy failed: reading the source, writing the destination, or an
// item of a kind that is not copied.
enum class Stage { read, write, kind };

struct Failure {
  Stage stage;
  int code;  // errno
};

// A copy done, or where it failed.
using Copied = Foundation::Result<void, Failure>;

struct FileDescriptor {
  int fd = -1;
  explicit FileDescriptor(int value) : fd(value) {}
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int release() { return std::exchange(fd, -1); }
};

struct DirCloser {
  void operator()(DIR* dir) const { closedir(dir); }
};

bool writeSideErrno(int code) {
  return code == ENOSPC || code == EDQUOT || code == EFBIG || code == EROFS;
}

std::string quoted(std::string_view name) {
  return "\u201C" + std::string(name) + "\u201D";
}

mode_t copiedMode(mode_t mode) {
  return mode & 07777 & ~mode_t(S_ISUID | S_ISGID);
}

// Moves the bytes of `in` to `out`: reflink, else copy_file_range, else read
// and write.
Copied transfer(int in, int out) {
  if (ioctl(out, FICLONE, in) == 0) return {};
  bool copiedAny = false;
  for (;;) {
    ssize_t n = copy_file_range(in, nullptr, out, nullptr, std::size_t(1) << 30, 0);
    if (n > 0) {
      copiedAny = true;
      continue;
    }
    if (n == 0) return {};
    if (errno == EINTR) continue;
    int code = errno;
    if (!copiedAny && (code == EXDEV || code == EINVAL || code == ENOSYS || code == EOPNOTSUPP ||
                       code == EBADF)) {
      break;  // not supported between these files: copy through a buffer
    }
    return Failure{writeSideErrno(code) ? Stage::write : Stage::read, code};
  }
  std::vector<char> buffer(std::size_t(1) << 20);
  for (;;) {
    ssize_t got = ::read(in, buffer.data(), buffer.size());
    if (got == 0) return {};
    if (got < 0) {
      if (errno == EINTR) continue;
      return Failure{Stage::read, errno};
    }
    for (ssize_t done = 0; done < got;) {
      ssize_t put = ::write(out, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0) {
        if (errno == EINTR) continue;
        return Failure{Stage::write, errno};
      }
      done += put;
    }
  }
}

Copied copyItem(const std::string& src, const std::string& dst);

Copied copyFile(const std::string& src, const std::string& dst, const struct stat& st) {
  FileDescriptor in(::open(src.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (in.fd < 0) return Failure{Stage::read, errno};
  struct stat opened {};
  if (fstat(in.fd, &opened) != 0) return Failure{Stage::read, errno};
  if (!S_ISREG(opened.st_mode) || opened.st_ino != st.st_ino || opened.st_dev != st.st_dev) {
    return Failure{Stage::kind, EOPNOTSUPP};
  }
  // O_NONBLOCK stays: it only guarded the open, and reads of a regular file
  // ignore it.
  FileDescriptor out(::open(dst.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (out.fd < 0) return Failure{Stage::write, errno};
  if (Copied moved = transfer(in.fd, out.fd); !moved) return moved;
  fchmod(out.fd, copiedMode(opened.st_mode));
  const timespec times[2] = {opened.st_atim, opened.st_mtim};
  futimens(out.fd, times);
  if (::close(out.release()) != 0) return Failure{Stage::write, errno};
  return {};
}

Copied copyLink(const std::string& src, const std::string& dst, const struct stat& st) {
  std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
  for (;;) {
    ssize_t n = readlink(src.c_str(), target.data(), target.size());
    if (n < 0) return Failure{Stage::read, errno};
    if (static_cast<std::size_t>(n) < target.size()) {
      target[static_cast<std::size_t>(n)] = '\0';
      break;
    }
    target.resize(target.size() * 2);
  }
  if (symlink(target.data(), dst.c_str()) != 0) return Failure{Stage::write, errno};
  const timespec times[2] = {st.st_atim, st.st_mtim};
  utimensat(AT_FDCWD, dst.c_str(), times, AT_SYMLINK_NOFOLLOW);
  return {};
}

Copied copyFolder(const std::string& src, const std::string& dst, const struct stat& st) {
  int fd = ::open(src.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return Failure{Stage::read, errno};
  std::unique_ptr<DIR, DirCloser> dir(fdopendir(fd));
  if (!dir) {
    int code = errno;
    ::close(fd);
    return Failure{Stage::read, code};
  }
  // Owner-only while it fills, so nothing half-copied is visible to others
  // and the owner can always remove it.
  if (mkdir(dst.c_str(), S_IRWXU) != 0) return Failure{Stage::write, errno};
  Copied copied;
  for (;;) {
    errno = 0;
    dirent* entry = readdir(dir.get());
    if (entry == nullptr) {
      if (errno != 0) copied = Failure{Stage::read, errno};
      break;
    }
    std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    copied = copyItem(src + "/" + entry->d_name, dst + "/" + entry->d_name);
    if (!copied) break;
  }
  if (!copied) return copied;
  chmod(dst.c_str(), copiedMode(st.st_mode) | S_IRWXU);
  const timespec times[2] = {st.st_atim, st.st_mtim};
  utimensat(AT_FDCWD, dst.c_str(), times, 0);
  return {};
}

Copied copyItem(const std::string& src, const std::string& dst) {
  struct stat st {};
  if (lstat(src.c_str(), &st) != 0) return Failure{Stage::read, errno};
  if (S_ISREG(st.st_mode)) return copyFile(src, dst, st);
  if (S_ISDIR(st.st_mode)) return copyFolder(src, dst, st);
  if (S_ISLNK(st.st_mode)) return copyLink(src, dst, st);
  return Failure{Stage::kind, EOPNOTSUPP};
}

std::string parentName(std::string_view path) {
  std::string trimmed(path);
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  auto slash = trimmed.rfind('/');
  if (slash == std::string::npos) return NSStringLastPathComponent(".");
  return NSStringLastPathComponent(slash == 0 ? std::string("/") : trimmed.substr(0, slash));
}

NSError* copyError(const Failure& failure, std::string_view src, std::string_view dst) {
  const std::string s = quoted(NSStringLastPathComponent(src));
  const std::string d = quoted(parentName(dst));
  long code = NSFileWriteUnknownError;
  std::string text;
  switch (failure.stage) {
    case Stage::kind:
      code = NSFileReadUnknownError;
      text =
          s +
          " couldn\u2019t be copied because it isn\u2019t a regular file, folder or symbolic link.";
      break;
    case Stage::read:
      return Foundation::detail::readError(failure.code, NSStringLastPathComponent(src));
    case Stage::write:
      if (failure.code == EEXIST) {
        code = NSFileWriteFileExistsError;
        text = s + " couldn\u2019t be copied to " + d +
               " because an item with the same name already exists.";
      } else if (failure.code == ENOSPC || failure.code == EDQUOT) {
        code = NSFileWriteOutOfSpaceError;
        text = s + " couldn\u2019t be copied to " + d + " because there isn\u2019t enough space.";
      } else if (failure.code == EACCES || failure.code == EPERM) {
        code = NSFileWriteNoPermissionError;
        text = s + " couldn\u2019t be copied because you don\u2019t have permission to access " +
               d + ".";
      } else if (failure.code == EROFS) {
        code = NSFileWriteVolumeReadOnlyError;
        text = s + " couldn\u2019t be copied to " + d + " because the volume is read only.";
      } else {
        text = s + " couldn\u2019t be copied to " + d + ".";
      }
      break;
  }
  return NSError::errorWithDomain(NSCocoaErrorDomain, code, text, failure.code);
}

NSError* createError(int posix, std::string_view path) {
  const std::string p = quoted(NSStringLastPathComponent(path));
  const std::string d = quoted(parentName(path));
  long code = NSFileWriteUnknownError;
  std::string text;
  if (posix == EEXIST || posix == ENOTDIR) {
    code = NSFileWriteFileExistsError;
    text = "The file " + p + " couldn\u2019t be saved in the folder " + d +
           " because a file with the same name already exists.";
  } else if (posix == ENOSPC || posix == EDQUOT) {
    code = NSFileWriteOutOfSpaceError;
    text = "The file " + p + " couldn\u2019t be saved because there isn\u2019t enough space.";
  } else if (posix == EACCES || posix == EPERM) {
    code = NSFileWriteNoPermissionError;
    text = "You don\u2019t have permission to save the file " + p + " in the folder " + d + ".";
  } else if (posix == EROFS) {
    code = NSFileWriteVolumeReadOnlyError;
    text = "The file " + p + " couldn\u2019t be saved because the volume is read only.";
  } else if (posix == ENOENT) {
    code = NSFileNoSuchFileError;
    text = "The folder " + p + " doesn\u2019t exist.";
  } else {
    text = "The file " + p + " couldn\u2019t be saved in the folder " + d + ".";
  }
  return NSError::errorWithDomain(NSCocoaErrorDomain, code, text, posix);
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// mkdir -p: the directory itself first (one call when only the last
// component is new, the common case), its parents only when they are missing.
// An existing directory, or a link to one, is success. Returns 0 or errno.
int makeDirectories(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) return 0;
  int code = errno;
  if (code == EEXIST) return isDirectory(path) ? 0 : ENOTDIR;
  if (code != ENOENT) return code;
  auto slash = path.find_last_not_of('/', path.rfind('/'));
  if (path.rfind('/') == std::string::npos || slash == std::string::npos) return code;
  if (int parent = makeDirectories(path.substr(0, slash + 1)); parent != 0) return parent;
  if (mkdir(path.c_str(), 0777) == 0) return 0;
  code = errno;
  return code == EEXIST && isDirectory(path) ? 0 : code;
}

// YES when `dst` would lie inside the folder `src` (or be it), comparing
// resolved paths: the destination's parent is resolved, as dst itself does
// not exist yet.
bool isInside(const std::string& dst, const std::string& src) {
  struct stat st {};
  if (lstat(src.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  std::string parent = dst.substr(0, dst.find_last_not_of('/') + 1);
  auto slash = parent.rfind('/');
  parent = slash == std::string::npos ? "." : slash == 0 ? "/" : parent.substr(0, slash);
  char resolvedSrc[PATH_MAX];
  char resolvedParent[PATH_MAX];
  if (realpath(src.c_str(), resolvedSrc) == nullptr ||
      realpath(parent.c_str(), resolvedParent) == nullptr) {
    return false;
  }
  std::string folder(resolvedSrc);
  std::string target(resolvedParent);
  if (folder == "/") return true;
  return target == folder || target.starts_with(folder + "/");
}

}  // namespace

NSFileManager* NSFileManager::defaultManager() {
  static auto* manager = new NSFileManager();
  return manager;
}

bool NSFileManager::createDirectoryAtPath(std::string_view path, bool withIntermediateDirectories,
                                          id, NSError** error) {
  std::string full(path);
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  auto fail = [&](int posix) {
    if (error != nullptr) *error = createError(posix, full);
    return false;
  };
  if (full.empty()) return fail(ENOENT);
  if (!withIntermediateDirectories) {
    return mkdir(full.c_str(), 0777) == 0 || fail(errno);
  }
  int code = makeDirectories(full);
  return code == 0 || fail(code);
}

bool NSFileManager::copyItemAtPath(std::string_view srcPath, std::string_view dstPath,
                                   NSError** error) {
  std::string src(srcPath);
  std::string dst(dstPath);
  Copied copied;
  if (isInside(dst, src)) {
    copied = Failure{Stage::write, EINVAL};  // a folder into itself would never end
  } else {
    copied = copyItem(src, dst);
  }
  if (!copied) {
    if (error != nullptr) *error = copyError(copied.error(), src, dst);
    return false;
  }
  return true;
}

bool NSFileManager::copyItemAtURL(NSURL* srcURL, NSURL* dstURL, NSError** error) {
  if (srcURL == nullptr || dstURL == nullptr || !srcURL->isFileURL() || !dstURL->isFileURL()) {
    if (error != nullptr) {
      std::string name = srcURL != nullptr ? srcURL->lastPathComponent() : std::string();
      *error = Foundation::detail::unsupportedSchemeError(name);
    }
    return false;
  }
  return copyItemAtPath(srcURL->path(), dstURL->path(), error);
}

bool NSFileManager::fileExistsAtPath(std::string_view path) const {
  struct stat st {};
  return stat(std::string(path).c_str(), &st) == 0;
}

Class NSFileManager::classObject() {
  static Class cls = Foundation::detail::registerClass(
      "NSFileManager", objc_getClass("NSObject"), Foundation::detail::deallocFor<NSFileManager>());
  return cls;
}
