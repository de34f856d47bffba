#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/system/error_code.hpp>

#include "platform/foundation/Result.h"
#include "platform/host/play/PreviewResponse.h"
#include "platform/host/play/PreviewRoutes.h"

// The HTTP side of `serve`: one event loop on one thread for every
// connection, and one worker thread for the requests that act on the app
// (they may wait for it). Nothing a client does holds a thread: a request's
// head and body must arrive within a deadline, an idle keep-alive
// connection is closed, an event stream costs a socket and a few hundred
// bytes, and a client that stops reading its stream is dropped.
//
// Who may talk to it, and how, is RequestPolicy's to judge from each
// request's head; a refusal is sent before any body is read. A connection
// that will not go on drains what the client still sends for a short while
// (lingerDeadline, lingerBytes) before it closes, so that a client that
// writes a whole refused body before reading still reads the answer.
namespace Host {

struct PreviewLimits {
  std::size_t maxConnections = 512;
  std::uint64_t maxBody = 64 * 1024;
  std::chrono::milliseconds requestDeadline{5000};  // head and body; idle keep-alive
  std::chrono::milliseconds streamWriteDeadline{30000};
  std::chrono::milliseconds keepAliveInterval{10000};
  std::size_t maxPendingActions = 64;
  std::chrono::milliseconds lingerDeadline{2000};  // the whole drain before a close
  std::uint64_t lingerBytes = 8 << 20;
};

class PreviewServer {
 public:
  // A server bound to `endpoint` (no port shared with another socket), or
  // why it cannot listen there. `hostNames` are the names besides the
  // address that Host and Origin may give (without the port).
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
