#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/system/error_code.hpp>

#include "platform/foundation/Result.h"

// The HTTP side of `serve`: one event loop on one thread for every
// connection, and one worker thread for the requests that act on the app
// (they may wait for it). Nothing a client does holds a thread: a request's
// head and body must arrive within a deadline, an idle keep-alive
// connection is closed, an event stream costs a socket and a few hundred
// bytes, and a client that stops reading its stream is dropped.
//
// Who may talk to it: every request must name the server in `Host` (its
// loopback name or address and its port): anything else gets 421, which is
// what keeps a page on another site out through DNS rebinding. A request
// that changes something (POST) must carry `Content-Type: application/json`
// (a browser cannot send that cross-site without a preflight, which is
// refused) and either no `Origin` or the server's own; compressed bodies
// are refused (415) and bodies are at most 64 KiB (413, read no further).
// Every refusal is one JSON line {"error": "..."} saying why.
namespace Host {

struct PreviewLimits {
  std::size_t maxConnections = 512;
  std::uint64_t maxBody = 64 * 1024;
  std::chrono::milliseconds requestDeadline{5000};  // head and body; idle keep-alive
  std::chrono::milliseconds streamWriteDeadline{30000};
  std::chrono::milliseconds keepAliveInterval{10000};
  std::size_t maxPendingActions = 64;
};

// What a route answers.
struct PreviewResponse {
  int status = 200;
  std::string contentType = "application/json";
  std::string body;
  bool page = false;  // the page itself: sent with its content-security policy

  // A refusal: `status` with one JSON line {"error": message}.
  static PreviewResponse refusal(int status, const std::string& message);
};

// The routes, as the server calls them.
struct PreviewRoutes {
  // GET routes, answered on the event loop (must not wait): the answer, or
  // nothing for a path that is not there.
  std::function<std::optional<PreviewResponse>(const std::string& path, const std::string& query)>
      read;
  // POST routes, answered on the worker (may wait); nothing for a path
  // that is not there.
  std::function<std::optional<PreviewResponse>(const std::string& path, const std::string& query,
                                               const std::string& body)>
      act;
  // The newest event of the stream (its version and its whole "data: …"
  // message), read on the event loop.
  std::function<std::pair<std::uint64_t, std::shared_ptr<const std::string>>()> latestEvent;
};

class PreviewServer {
 public:
  // A server bound to `endpoint` (no port shared with another socket), or
  // why it cannot listen there. `hostNames` are the names besides the
  // address that the Host header may give (without the port).
  static Foundation::Result<std::unique_ptr<PreviewServer>, boost::system::error_code> listen(
      boost::asio::io_context& context, const boost::asio::ip::tcp::endpoint& endpoint,
      std::vector<std::string> hostNames, PreviewRoutes routes, PreviewLimits limits = {});
  ~PreviewServer();
  PreviewServer(const PreviewServer&) = delete;
  PreviewServer& operator=(const PreviewServer&) = delete;

  // The port bound (the one picked, for port 0).
  unsigned short port() const;
  // "http://127.0.0.1:PORT" or "http://[::1]:PORT".
  std::string origin() const;

  // Starts accepting; runs on the context's thread.
  void start();
  // Tells every event stream that a newer event is out. Any thread.
  void publish();
  // Stops accepting, closes every connection and stops the worker; the
  // context's run() then returns. Any thread.
  void stop();

  struct State;

 private:
  explicit PreviewServer(std::shared_ptr<State> state) : state_(std::move(state)) {}

  std::shared_ptr<State> state_;
};

}  // namespace Host
