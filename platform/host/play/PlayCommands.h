#pragma once

#include "platform/host/PlatformHostCommand.h"

// The subcommands that play the whole loop with a host app: simulate and
// serve. They need a host app (ActivityKit/HostApp.h) and a web server, so
// they live apart from the extension's own host; a program that installs a
// host app adds them with addPlayCommands() before it runs the host.
namespace Host {

void installSimulateCommand(CLI::App& app, HostContext& context);
void installServeCommand(CLI::App& app, HostContext& context);

// Adds simulate and serve to every platform host this process runs.
inline void addPlayCommands() {
  addCommandInstaller(&installSimulateCommand);
  addCommandInstaller(&installServeCommand);
}

}  // namespace Host
