#include "platform/foundation/NSPathUtilities.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

namespace {

std::string_view dropTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}

std::string userDatabaseHome() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* result = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
      result != nullptr && result->pw_dir != nullptr && result->pw_dir[0] != '\0') {
    return result->pw_dir;
  }
  return "/";
}

// YES when `path` is a directory, not a link, owned by the effective user and
// closed to everyone else; a missing one is made so first.
bool isPrivateDirectory(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT || (mkdir(path.c_str(), S_IRWXU) != 0 && errno != EEXIST)) return false;
    if (lstat(path.c_str(), &st) != 0) return false;
  }
  return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

}  // namespace

namespace Foundation::detail {

std::string userTemporaryDirectory(std::string_view base) {
  const std::string own =
      NSStringByAppendingPathComponent(base, "user-" + std::to_string(geteuid()));
  if (isPrivateDirectory(own)) return own;
  // Another's folder or a link sits where the user's own should be: a fresh
  // one that nobody else can have made (mkdtemp creates it with mode 0700).
  static std::mutex lock;
  static std::map<std::string, std::string, std::less<>>* fresh = nullptr;
  std::lock_guard hold(lock);
  if (fresh == nullptr) fresh = new std::map<std::string, std::string, std::less<>>();
  if (auto found = fresh->find(base); found != fresh->end() && isPrivateDirectory(found->second))
    return found->second;
  std::string pattern = own + ".XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return own;
  (*fresh)[std::string(base)] = pattern;
  return pattern;
}

}  // namespace Foundation::detail

std::string NSHomeDirectory() {
  const char* home = std::getenv("HOME");
  std::string path = home != nullptr && home[0] != '\0' ? home : userDatabaseHome();
  return std::string(dropTrailingSlashes(path));
}

std::string NSTemporaryDirectory() {
  const char* tmp = std::getenv("TMPDIR");
  std::string path(tmp != nullptr && tmp[0] != '\0'
                       ? dropTrailingSlashes(tmp)
                       : Foundation::detail::userTemporaryDirectory("/tmp"));
  if (path != "/") path += '/';
  return path;
}

std::string NSStringByAppendingPathComponent(std::string_view base, std::string_view component) {
  while (!component.empty() && component.front() == '/') component.remove_prefix(1);
  base = dropTrailingSlashes(base);
  if (base.empty()) return std::string(component);
  if (component.empty()) return std::string(base);
  std::string joined(base);
  if (joined.back() != '/') joined += '/';
  joined += component;
  return std::string(dropTrailingSlashes(joined));
}

std::string NSStringLastPathComponent(std::string_view path) {
  path = dropTrailingSlashes(path);
  if (path == "/") return "/";
  auto slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}
