#include "platform/foundation/NSURL.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

#include "platform/foundation/NSPathUtilities.h"

namespace {

std::string currentDirectory() {
  std::vector<char> buffer(4096);
  while (getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::string normalisedPath(std::string_view path) {
  std::string absolute;
  if (path.empty() || path.front() != '/') {
    absolute = currentDirectory();
    absolute += '/';
  }
  absolute += path;
  std::string out;
  for (char c : absolute) {
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out += c;
  }
  while (out.size() > 1 && out.back() == '/') out.pop_back();
  return out;
}

// Characters kept as they are in a URL's path; everything else is written
// as %XX.
bool keptInPath(unsigned char c) {
  return std::isalnum(c) || std::string_view("-._~/!$&'()*+,;=:@").find(static_cast<char>(c)) !=
                                std::string_view::npos;
}

std::string percentEncodePath(std::string_view path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (keptInPath(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string percentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int high = hexValue(text[i + 1]);
      int low = hexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace

NSURL* NSURL::makeFileURL(std::string_view path, bool scoped) {
  auto* url = new NSURL();
  url->scheme_ = "file";
  url->isFile_ = true;
  url->scoped_ = scoped;
  url->path_ = normalisedPath(path);
  url->string_ = "file://" + percentEncodePath(url->path_);
  objc_autorelease(url);
  return url;
}

NSURL* NSURL::fileURLWithPath(std::string_view path) {
  return makeFileURL(path, false);
}

NSURL* NSURL::securityScopedFileURLWithPath(std::string_view path) {
  return makeFileURL(path, true);
}

NSURL* NSURL::URLWithString(std::string_view string) {
  auto colon = string.find(':');
  if (colon == std::string_view::npos || colon == 0 ||
      !std::isalpha(static_cast<unsigned char>(string[0]))) {
    return nullptr;
  }
  for (char c : string.substr(0, colon)) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return nullptr;
  }
  auto* url = new NSURL();
  url->string_ = std::string(string);
  for (char c : string.substr(0, colon)) {
    url->scheme_ += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  url->isFile_ = url->scheme_ == "file";
  std::string_view rest = string.substr(colon + 1);
  rest = rest.substr(0, rest.find_first_of("?#"));
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    auto slash = rest.find('/');
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
  }
  std::string path = percentDecode(rest);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  url->path_ = path;
  objc_autorelease(url);
  return url;
}

std::string NSURL::lastPathComponent() const {
  return NSStringLastPathComponent(path_);
}

bool NSURL::isEqual(id other) const {
  auto* url = cast(other);
  return url != nullptr && url->string_ == string_;
}

NSURL* NSURL::URLByResolvingSymlinksInPath() {
  char resolved[PATH_MAX];
  if (!isFile_ || realpath(path_.c_str(), resolved) == nullptr) return this;
  return fileURLWithPath(resolved);
}

bool NSURL::checkResourceIsReachableAndReturnError(NSError** error) {
  if (!isFile_) {
    if (error != nullptr) *error = Foundation::detail::unsupportedSchemeError(lastPathComponent());
    return false;
  }
  struct stat st {};
  if (stat(path_.c_str(), &st) == 0) return true;
  if (error != nullptr) *error = Foundation::detail::readError(errno, lastPathComponent());
  return false;
}

bool NSURL::startAccessingSecurityScopedResource() {
  if (!scoped_) return false;
  ++openAccesses_;
  ++accessStarts_;
  return true;
}

void NSURL::stopAccessingSecurityScopedResource() {
  if (openAccesses_ > 0) --openAccesses_;
}

Class NSURL::classObject() {
  static Class cls = Foundation::detail::registerClass("NSURL", objc_getClass("NSObject"),
                                                       Foundation::detail::deallocFor<NSURL>());
  return cls;
}

NSURL* NSURL::cast(id obj) {
  return Foundation::detail::isKindOf(obj, classObject()) ? static_cast<NSURL*>(obj) : nullptr;
}
