#pragma once

#include "platform/host/CommandOptions.h"
#include "platform/host/PlatformHostCommand.h"

// The subcommands that play the whole loop with a host app: simulate and
// serve. They need a host app (ActivityKit/HostApp.h) and a web server, so
// they live apart from the extension's own host; a program that installs a
// host app adds them with addPlayCommands() before it runs the host.
namespace Host {

// How many times faster than real time simulate and serve may run the app
// (--speed). At the top, a week of downloads plays in under a second; at the
// bottom, a second of the app's time takes about a quarter of an hour.
inline constexpr NumberRange speedRange{0.001, 1'000'000};

// --speed FACTOR, within speedRange.
inline CLI::Option* addSpeedOption(CLI::App* command, double& speed) {
  return addNumberOption(command, "--speed", speed, speedRange,
                         "How many times faster than real time the app runs", "FACTOR");
}

void installSimulateCommand(CLI::App& app, HostContext& context);
void installServeCommand(CLI::App& app, HostContext& context);

// Adds simulate and serve to every platform host this process runs.
inline void addPlayCommands() {
  addCommandInstaller(&installSimulateCommand);
  addCommandInstaller(&installServeCommand);
}

}  // namespace Host
