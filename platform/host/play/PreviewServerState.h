#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include "platform/host/play/PreviewServer.h"
#include "platform/host/play/RequestPolicy.h"

// The preview server's insides, shared by the server (PreviewServer.cpp:
// accepting, stopping) and its connections (PreviewConnection.cpp).
namespace Host {

// The worker: runs actions one at a time, in order, off the event loop.
class PreviewWorker {
 public:
  explicit PreviewWorker(std::size_t maxPending);
  ~PreviewWorker() { stop(); }

  // False when too many are waiting or the worker stops.
  bool add(std::function<void()> job);
  // Drops what waits and joins the thread. Any thread but the worker's.
  void stop();

 private:
  void work();

  std::size_t maxPending_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;  // guarded by mutex_
  bool stopping_ = false;                   // guarded by mutex_
  std::thread thread_;
};

class RequestConnection;
class EventStream;

// Everything the connections share. Touched only on the event loop but for
// the worker, which is thread-safe.
struct PreviewServer::State : std::enable_shared_from_this<PreviewServer::State> {
  State(boost::asio::io_context& context, PreviewRoutes r, PreviewLimits l);

  boost::asio::io_context& io;
  boost::asio::ip::tcp::acceptor acceptor;
  boost::asio::steady_timer keepAlive;
  boost::asio::steady_timer acceptRetry;  // after a failed accept (out of descriptors)
  PreviewRoutes routes;
  PreviewLimits limits;
  PreviewWorker worker;
  std::optional<RequestPolicy> policy;  // once the port is known
  std::string origin;
  std::set<RequestConnection*> requests;  // every open connection is in one of the two
  std::set<EventStream*> streams;
  bool stopping = false;

  void accept();
  void sendKeepAlives();
  // Pumps every event stream: the newest event to each that has taken the
  // last, else a comment when `orComment` (EventStream::pump).
  void broadcast(bool orComment = false);
  void close();
};

// An open event stream: the newest event when the client has taken the last
// one (a slow client skips to the newest), a comment now and then so that
// proxies and the client know it lives, and a deadline on every write.
class EventStream : public std::enable_shared_from_this<EventStream> {
 public:
  EventStream(std::shared_ptr<PreviewServer::State> state, boost::asio::ip::tcp::socket socket);
  ~EventStream();

  void start();
  // Sends the newest event if the client has taken everything so far; a
  // comment instead when there is none and `keepAlive` is set.
  void pump(bool keepAlive = false);
  void close();

 private:
  void write(std::shared_ptr<const std::string> message);
  void watchForClose();

  std::shared_ptr<PreviewServer::State> state_;
  boost::asio::ip::tcp::socket socket_;
  boost::asio::steady_timer deadline_;
  std::array<char, 256> discard_{};
  std::uint64_t sent_ = 0;
  bool writing_ = false;
};

// A connection that sends requests: read a head (within the deadline), let
// the policy judge it, refuse it or read its body (within the same
// deadline), answer, and read the next one. One request at a time, so
// pipelined requests are answered in order.
class RequestConnection : public std::enable_shared_from_this<RequestConnection> {
 public:
  RequestConnection(std::shared_ptr<PreviewServer::State> state,
                    boost::asio::ip::tcp::socket socket);
  ~RequestConnection();

  void start() { readHead(); }
  void close();

 private:
  void readHead();
  void failed(boost::system::error_code error);
  void onHead(boost::system::error_code error);
  void readBody(AdmittedRequest admitted);
  void dispatch(const AdmittedRequest& admitted);
  void becomeEventStream();
  void send(PreviewResponse answer, bool goOn);
  void lingerThenClose();

  std::shared_ptr<PreviewServer::State> state_;
  boost::beast::tcp_stream stream_;
  boost::beast::flat_buffer buffer_;
  std::optional<boost::beast::http::request_parser<boost::beast::http::string_body>> parser_;
  bool head_ = false;  // the request is a HEAD: its answer has no body
  std::unique_ptr<std::array<char, 16 * 1024>> discard_;  // while lingering
  std::uint64_t lingered_ = 0;
};

}  // namespace Host
