#include <CLI/CLI.hpp>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/signal_set.hpp>

#include "platform/activitykit/HostApp.h"
#include "platform/host/PlatformHostCommand.h"
#include "platform/host/play/ListenAddress.h"
#include "platform/host/play/LivePreview.h"
#include "platform/host/play/PlayCommands.h"
#include "platform/host/play/PreviewRoutes.h"
#include "platform/host/play/PreviewServer.h"

// serve [--listen HOST:PORT] [--speed FACTOR]
//
// A local web page that shows the activity live as the host app pushes its
// states: the lock screen and the island's expanded, compact and minimal
// forms, each a PNG of its own. Routes (PreviewRoutes.cpp; RequestPolicy.h
// says who may call them and how much they may send):
//
//   GET  /            the page; /preview.js and /preview.css its script and
//                     style (the files of page/, built into the program)
//   GET  /events      server-sent events, one snapshot a message: on connect
//                     the latest, then each new one (a slow client skips to
//                     the newest; every client ends up with the last)
//   GET  /snapshot    the latest snapshot
//   GET  /picture/NAME.png
//                     the latest snapshot's picture of a presentation
//   POST /start       launches the app (body: its JSON, or empty for its
//                     default); 422 {"error"} when the app refuses it
//   POST /state       pushes the body as the activity's next state, as a push
//                     update would; 422 {"error"} when the platform refuses it
//                     (too large, undecodable), 409 without an activity
//   POST /tap         a tap at (x, y) points on a picture, given as a JSON
//                     body {"presentation", "x", "y"} or as the query
//                     ?presentation=NAME&x=X&y=Y: a button runs its intent on
//                     the platform's executor ({"intent"}); elsewhere on the
//                     island's shape the platform opens the island's link in
//                     the app ({"opened"}); anywhere else, nothing ({})
//
// A snapshot is a PreviewSnapshot (PreviewSnapshot.h), drawn by LivePreview.
//
// Binds to 127.0.0.1:8080 unless told otherwise: the host is resolved and
// every address it names must be a loopback one; port 0 picks a free one.
// Prints "serving http://HOST:PORT/" and stops within a second on SIGINT or
// SIGTERM. Errors: 64 usage, 74 cannot listen.
namespace Host {

namespace asio = boost::asio;

void installServeCommand(CLI::App& app, HostContext& context) {
  auto factory = ActivityKit::installedHostApp();
  if (!factory || !context.activity.presentContentState) return;
  struct Options {
    std::string listen = "127.0.0.1:8080";
    double speed = 1;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand(
      "serve", "Show the activity live on a local web page where the badge works");
  command->add_option("--listen", options->listen,
                      "HOST:PORT on a loopback address (default 127.0.0.1:8080)");
  addSpeedOption(command, options->speed);

  setCommandBody(command, context, [options, factory, &context]() -> CommandOutcome {
    const auto listen = ListenAddress::parse(options->listen);
    if (!listen) return CommandFailure{exitUsage, "--listen " + listen.error()};
    auto endpoint = listen->loopbackEndpoint();
    if (!endpoint) {
      return CommandFailure{exitUsage, "--listen needs a loopback address: " + endpoint.error()};
    }

    asio::io_context io(1);
    std::unique_ptr<PreviewServer> server;
    std::atomic<PreviewServer*> publisher{nullptr};
    std::atomic<bool> stopping{false};
    // Signals are taken by the loop, set up before any thread starts.
    asio::signal_set signals(io, SIGINT, SIGTERM);
    LivePreview preview(context.activity, factory, options->speed, [&publisher] {
      if (PreviewServer* to = publisher.load()) to->publish();
    });
    auto listening = PreviewServer::listen(io, *endpoint, {listen->host, "localhost"},
                                           previewRoutes(preview, stopping));
    if (!listening) {
      preview.finish();
      return CommandFailure{
          exitIOError, "cannot listen on " + options->listen + ": " + listening.error().message()};
    }
    server = std::move(listening).value();
    signals.async_wait([&](boost::system::error_code error, int) {
      if (error) return;
      stopping = true;
      preview.stop();
      server->stop();
    });
    publisher = server.get();
    server->start();
    context.out << "serving " << server->origin() << "/\n";
    context.out.flush();
    io.run();
    stopping = true;
    preview.finish();
    publisher = nullptr;
    server.reset();
    context.out << "stopped\n";
    return exitOK;
  });
}

}  // namespace Host
