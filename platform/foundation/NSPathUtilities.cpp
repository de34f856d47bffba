#include "platform/foundation/NSPathUtilities.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
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

}  // namespace

std::string NSHomeDirectory() {
  const char* home = std::getenv("HOME");
  std::string path = home != nullptr && home[0] != '\0' ? home : userDatabaseHome();
  return std::string(dropTrailingSlashes(path));
}

std::string NSTemporaryDirectory() {
  const char* tmp = std::getenv("TMPDIR");
  std::string path(dropTrailingSlashes(tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp"));
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
