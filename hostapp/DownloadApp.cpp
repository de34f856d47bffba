#include <malloc.h>

#include "activity/TolvaneWidgetExtensionBundle.h"
#include "hostapp/DownloadQueueApp.h"
#include "platform/host/PlatformHost.h"
#include "platform/host/play/PlayCommands.h"

// The download app with the extension it embeds: the platform host of the
// extension's bundle with the app's download queue installed, so that
// `simulate` and `serve` can play the whole loop (the extension program
// alone has no app to play). Every other subcommand is the extension's.
int main(int argc, char** argv) {
  mallopt(M_ARENA_MAX, 1);  // one malloc heap for every thread, as in activity/main.cpp
  tolvane::DownloadQueueApp::install();
  Host::addPlayCommands();
  Host::PlatformHost::main<tolvane::TolvaneWidgetExtensionBundle>(argc, argv);
  return 0;
}
