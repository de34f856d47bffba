#include "platform/foundation/NSLog.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "platform/foundation/NSError.h"
#include "platform/foundation/NSString.h"
#include "platform/foundation/NSURL.h"

std::string NSLogDescription(id object) {
  if (object == nil) return "(null)";
  if (auto* url = NSURL::cast(object)) return url->absoluteString();
  if (auto* string = NSString::cast(object)) return string->string();
  if (Foundation::detail::isKindOf(object, NSError::classObject())) {
    return static_cast<NSError*>(object)->localizedDescription();
  }
  char text[128];
  std::snprintf(text, sizeof text, "<%s: %p>", object_getClassName(object),
                static_cast<void*>(object));
  return text;
}

namespace {

bool isConversion(char c) {
  return std::string_view("@diouxXeEfFgGaAcspCS").find(c) != std::string_view::npos;
}

std::string linePrefix() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  char prefix[256];
  std::snprintf(prefix, sizeof prefix, "%s.%03lld %s[%d:%ld] ", stamp,
                static_cast<long long>(millis), program_invocation_short_name,
                static_cast<int>(getpid()), static_cast<long>(syscall(SYS_gettid)));
  return prefix;
}

}  // namespace

void NSLogv(std::string_view format, std::span<const std::string> arguments) {
  std::string line = linePrefix();
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      line += format[i];
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      line += '%';
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < format.size() && !isConversion(format[end])) ++end;
    if (end == format.size()) {  // a lone "%" at the end: written as is
      line += format.substr(i);
      break;
    }
    line += next < arguments.size() ? arguments[next] : std::string("(null)");
    ++next;
    i = end;
  }
  line += '\n';
  std::string_view rest = line;
  while (!rest.empty()) {
    ssize_t written = write(STDERR_FILENO, rest.data(), rest.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) break;
    rest.remove_prefix(static_cast<std::size_t>(written));
  }
}
