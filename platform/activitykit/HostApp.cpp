#include "platform/activitykit/HostApp.h"

#include <mutex>

namespace ActivityKit {

namespace {

std::mutex& factoryMutex() {
  static std::mutex mutex;
  return mutex;
}

HostAppFactory& factorySlot() {  // guarded by factoryMutex()
  static HostAppFactory factory;
  return factory;
}

}  // namespace

void installHostApp(HostAppFactory factory) {
  std::lock_guard lock(factoryMutex());
  factorySlot() = std::move(factory);
}

HostAppFactory installedHostApp() {
  std::lock_guard lock(factoryMutex());
  return factorySlot();
}

}  // namespace ActivityKit
