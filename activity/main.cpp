#include "activity/TolvaneWidgetExtensionBundle.h"
#include "platform/host/PlatformHost.h"

// The extension's entry. It runs no code of its own before this: the
// platform host (PlatformHost::main) takes over for the bundle, serves its
// presentations and ends the process itself.
int main(int argc, char** argv) {
  Host::PlatformHost::main<tolvane::TolvaneWidgetExtensionBundle>(argc, argv);
  return 0;
}
