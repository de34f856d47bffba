// The app's loader step: before main, load the libraries the app carries in
// its Frameworks folder beside the executable, as the platform's loader loads
// an app's embedded frameworks at launch. Loading runs each library's
// initialisers, so Docmend's TDMInstall has replaced the picker's methods by
// the time main runs. A library that is not there is skipped: the app then
// runs with the platform's picker as it is.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

// The libraries this app carries, in load order.
constexpr const char* kEmbeddedFrameworks[] = {"Docmend.so"};

std::string executableFolder() {
  char path[4096];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return {};
  std::string exe(path, static_cast<std::size_t>(length));
  return exe.substr(0, exe.rfind('/'));
}

// Runs after the libraries the executable links (the runtime, Foundation,
// UIKit) have been initialised, and before main.
__attribute__((constructor)) void PickerAppLoadFrameworks() {
  std::string frameworks = executableFolder() + "/Frameworks/";
  for (const char* name : kEmbeddedFrameworks) {
    std::string path = frameworks + name;
    if (access(path.c_str(), F_OK) != 0) continue;
    if (dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL) == nullptr) {
      std::fprintf(stderr, "picker-app: could not load %s: %s\n", path.c_str(), dlerror());
    }
  }
}

}  // namespace
