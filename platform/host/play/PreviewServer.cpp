#include "platform/host/play/PreviewServer.h"

#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include "platform/foundation/JSONWriter.h"
#include "platform/foundation/Result.h"

namespace Host {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using boost::system::error_code;

PreviewResponse PreviewResponse::refusal(int status, const std::string& message) {
  Foundation::JSONWriter writer({false, false});
  writer.beginObject();
  writer.key("error");
  writer.string(message);
  writer.endObject();
  return {status, "application/json", writer.take() + "\n"};
}

namespace {

std::string_view view(beast::string_view text) {
  return {text.data(), text.size()};
}

std::string lowercase(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return out;
}

std::string trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

// The address as a URL writes it: an IPv6 address in brackets.
std::string urlHost(const asio::ip::address& address) {
  return address.is_v6() ? "[" + address.to_string() + "]" : address.to_string();
}

// The page may run scripts, styles, pictures and requests of its own
// origin and nothing else, and may not be framed.
constexpr const char* contentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src 'self'; "
    "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

// The worker: runs actions one at a time, in order, off the event loop.
class Worker {
 public:
  explicit Worker(std::size_t maxPending) : maxPending_(maxPending), thread_([this] { work(); }) {}
  ~Worker() { stop(); }

  // False when too many are waiting or the worker stops.
  bool add(std::function<void()> job) {
    {
      std::lock_guard lock(mutex_);
      if (stopping_ || jobs_.size() >= maxPending_) return false;
      jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
    return true;
  }

  void stop() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      jobs_.clear();
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
  }

 private:
  void work() {
    for (;;) {
      std::function<void()> job;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_) return;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      job();
    }
  }

  std::size_t maxPending_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;  // guarded by mutex_
  bool stopping_ = false;                   // guarded by mutex_
  std::thread thread_;
};

class Connection;
class EventStream;

}  // namespace

// Everything the connections share. Touched only on the event loop but for
// the worker, which is thread-safe.
struct PreviewServer::State : std::enable_shared_from_this<PreviewServer::State> {
  State(asio::io_context& context, PreviewRoutes r, PreviewLimits l)
      : io(context),
        acceptor(context),
        keepAlive(context),
        acceptRetry(context),
        routes(std::move(r)),
        limits(l),
        worker(l.maxPendingActions) {}

  asio::io_context& io;
  tcp::acceptor acceptor;
  asio::steady_timer keepAlive;
  asio::steady_timer acceptRetry;  // after a failed accept (out of descriptors)
  PreviewRoutes routes;
  PreviewLimits limits;
  Worker worker;
  std::set<std::string> hosts;    // what Host may say, lower case, with the port
  std::set<std::string> origins;  // what Origin may say
  std::string origin;
  std::size_t connections = 0;
  std::set<Connection*> requests;
  std::set<EventStream*> streams;
  bool stopping = false;

  void accept();
  void sendKeepAlives();
  void broadcast();
  void close();
  // Whether a request may be served, from its head: yes, or the refusal
  // to send.
  Foundation::Result<void, PreviewResponse> admit(
      const http::request_parser<http::string_body>& parser) const;
};

namespace {

// An open event stream: the newest event when the client has taken the last
// one (a slow client skips to the newest), a comment now and then so that
// proxies and the client know it lives, and a deadline on every write.
class EventStream : public std::enable_shared_from_this<EventStream> {
 public:
  EventStream(std::shared_ptr<PreviewServer::State> state, tcp::socket socket)
      : state_(std::move(state)), socket_(std::move(socket)), deadline_(state_->io) {
    ++state_->connections;
    state_->streams.insert(this);
  }
  ~EventStream() {
    --state_->connections;
    state_->streams.erase(this);
  }

  void start() {
    auto head = std::make_shared<const std::string>(
        "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\nCache-Control: no-store\r\n"
        "X-Content-Type-Options: nosniff\r\nConnection: close\r\n\r\n");
    write(std::move(head));
    watchForClose();
  }

  // Sends the newest event if the client has taken everything so far.
  void pump(bool keepAlive = false) {
    if (writing_ || !socket_.is_open()) return;
    auto [version, message] = state_->routes.latestEvent();
    if (version > sent_ && message) {
      sent_ = version;
      write(std::move(message));
    } else if (keepAlive) {
      static const auto comment = std::make_shared<const std::string>(": keep-alive\n\n");
      write(comment);
    }
  }

  void close() {
    error_code ignored;
    socket_.shutdown(tcp::socket::shutdown_both, ignored);
    socket_.close(ignored);
    deadline_.cancel();
  }

 private:
  void write(std::shared_ptr<const std::string> message) {
    writing_ = true;
    deadline_.expires_after(state_->limits.streamWriteDeadline);
    deadline_.async_wait([self = shared_from_this()](error_code error) {
      if (!error) self->close();  // the client stopped reading
    });
    asio::async_write(socket_, asio::buffer(*message),
                      [self = shared_from_this(), message](error_code error, std::size_t) {
                        self->writing_ = false;
                        self->deadline_.cancel();
                        if (error) return self->close();
                        self->pump();
                      });
  }

  // The client says nothing on a stream; a read ends when it goes.
  void watchForClose() {
    socket_.async_read_some(asio::buffer(discard_),
                            [self = shared_from_this()](error_code error, std::size_t) {
                              if (error) return self->close();
                              self->watchForClose();
                            });
  }

  std::shared_ptr<PreviewServer::State> state_;
  tcp::socket socket_;
  asio::steady_timer deadline_;
  std::array<char, 256> discard_{};
  std::uint64_t sent_ = 0;
  bool writing_ = false;
};

// A connection that sends requests: read a head (within the deadline),
// refuse it or read its body (within the same deadline), answer, and read
// the next one. One request at a time, so pipelined requests are answered
// in order.
class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(std::shared_ptr<PreviewServer::State> state, tcp::socket socket)
      : state_(std::move(state)),
        stream_(std::move(socket)),
        buffer_(16 * 1024 + state_->limits.maxBody) {
    ++state_->connections;
    state_->requests.insert(this);
  }
  ~Connection() {
    --state_->connections;
    state_->requests.erase(this);
  }

  void start() { readHead(); }

  void close() {
    error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
    stream_.socket().close(ignored);
  }

 private:
  void readHead() {
    parser_.emplace();
    parser_->header_limit(16 * 1024);
    parser_->body_limit(state_->limits.maxBody);
    stream_.expires_after(state_->limits.requestDeadline);
    http::async_read_header(
        stream_, buffer_, *parser_,
        [self = shared_from_this()](error_code error, std::size_t) { self->onHead(error); });
  }

  // A failed read: a closed or timed-out connection ends quietly, anything
  // else gets one line saying what was wrong.
  void failed(error_code error) {
    if (error == http::error::end_of_stream || error == beast::error::timeout ||
        error == asio::error::operation_aborted || error == asio::error::connection_reset ||
        state_->stopping || error == asio::error::eof) {
      return close();
    }
    if (error == http::error::body_limit) {
      return send(
          PreviewResponse::refusal(413, "a request body is at most " +
                                            std::to_string(state_->limits.maxBody) + " bytes"),
          false, false);
    }
    if (error == http::error::header_limit)
      return send(PreviewResponse::refusal(431, "the request head is too large"), false, false);
    send(PreviewResponse::refusal(400, "not an HTTP request: " + error.message()), false, false);
  }

  void onHead(error_code error) {
    if (error) return failed(error);
    if (auto admitted = state_->admit(*parser_); !admitted)
      return send(std::move(admitted).error(), false, false);
    if (parser_->is_done()) return dispatch();
    http::async_read(stream_, buffer_, *parser_,
                     [self = shared_from_this()](error_code bodyError, std::size_t) {
                       if (bodyError) return self->failed(bodyError);
                       self->dispatch();
                     });
  }

  void dispatch() {
    stream_.expires_never();
    const auto& request = parser_->get();
    const std::string target(request.target());
    const auto mark = target.find('?');
    const std::string path = target.substr(0, mark);
    const std::string query = mark == std::string::npos ? std::string() : target.substr(mark + 1);
    const bool keepAlive = request.keep_alive();

    if (request.method() == http::verb::get) {
      if (path == "/events") return becomeEventStream();
      auto answer = state_->routes.read(path, query);
      return send(
          answer ? std::move(*answer) : PreviewResponse::refusal(404, "no such page: " + path),
          keepAlive, true);
    }
    if (request.method() == http::verb::post) {
      std::string body = std::move(parser_->get().body());
      // The connection is touched only on the loop: the worker hands its
      // reference back with the answer, so that it is never the last one
      // let go on the worker's thread.
      const bool queued = state_->worker.add([self = shared_from_this(), path, query,
                                              body = std::move(body), keepAlive]() mutable {
        auto answer = self->state_->routes.act(path, query, body);
        auto& io = self->state_->io;
        asio::post(io,
                   [self = std::move(self), keepAlive, answer = std::move(answer), path]() mutable {
                     self->send(answer ? std::move(*answer)
                                       : PreviewResponse::refusal(404, "no such action: " + path),
                                keepAlive, true);
                   });
      });
      if (!queued)
        send(PreviewResponse::refusal(503, "too many requests waiting; try again"), false, true);
      return;
    }
    auto answer = PreviewResponse::refusal(405, "only GET and POST are served");
    send(std::move(answer), keepAlive, true);
  }

  void becomeEventStream() {
    auto stream = std::make_shared<EventStream>(state_, stream_.release_socket());
    stream->start();
    stream->pump();
  }

  // Answers; `readAll` says whether the request was read to its end (if
  // not, the connection cannot go on).
  void send(PreviewResponse answer, bool keepAlive, bool readAll) {
    auto response = std::make_shared<http::response<http::string_body>>();
    response->version(11);
    response->result(static_cast<unsigned>(answer.status));
    response->set(http::field::content_type, answer.contentType);
    response->set(http::field::cache_control, "no-store");
    response->set("X-Content-Type-Options", "nosniff");
    response->set("X-Frame-Options", "DENY");
    if (answer.page) {
      response->set("Content-Security-Policy", contentSecurityPolicy);
      response->set("Referrer-Policy", "no-referrer");
    }
    if (answer.status == 405) response->set(http::field::allow, "GET, POST");
    const bool goOn = keepAlive && readAll && !state_->stopping;
    response->keep_alive(goOn);
    response->body() = std::move(answer.body);
    response->prepare_payload();
    stream_.expires_after(state_->limits.requestDeadline);
    http::async_write(stream_, *response,
                      [self = shared_from_this(), response, goOn](error_code error, std::size_t) {
                        if (error || !goOn) {
                          // The client may still be sending a body we refused: say no more,
                          // let it read the answer, then go.
                          error_code ignored;
                          self->stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
                          return self->lingerThenClose();
                        }
                        self->readHead();
                      });
  }

  // Reads (and drops) what the client still sends for a short while, so
  // that closing does not reset the connection under its reading of the
  // answer; bounded in time and bytes.
  void lingerThenClose() {
    if (lingered_ >= 4 * state_->limits.maxBody) return close();
    stream_.expires_after(std::chrono::milliseconds(500));
    stream_.async_read_some(asio::buffer(discard_),
                            [self = shared_from_this()](error_code error, std::size_t n) {
                              self->lingered_ += n;
                              if (error) return self->close();
                              self->lingerThenClose();
                            });
  }

  std::shared_ptr<PreviewServer::State> state_;
  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  std::array<char, 4096> discard_{};
  std::uint64_t lingered_ = 0;
};

}  // namespace

Foundation::Result<void, PreviewResponse> PreviewServer::State::admit(
    const http::request_parser<http::string_body>& parser) const {
  const auto& request = parser.get();
  const auto host = request.find(http::field::host);
  if (host == request.end() || !hosts.count(lowercase(trimmed(view(host->value()))))) {
    return PreviewResponse::refusal(
        421, "Host must name this server (" + origin.substr(7) + "), not " +
                 (host == request.end() ? std::string("nothing") : std::string(host->value())));
  }
  const auto originField = request.find(http::field::origin);
  if (originField != request.end() &&
      !origins.count(lowercase(trimmed(view(originField->value()))))) {
    return PreviewResponse::refusal(403, "requests from other sites are refused (Origin " +
                                             std::string(originField->value()) + ")");
  }
  if (request.method() == http::verb::options)
    return PreviewResponse::refusal(403, "cross-origin requests are refused");
  const auto length = parser.content_length();
  if (length && *length > limits.maxBody) {
    return PreviewResponse::refusal(
        413, "a request body is at most " + std::to_string(limits.maxBody) + " bytes");
  }
  if (request.method() != http::verb::post) return {};
  const auto encoding = request.find(http::field::content_encoding);
  if (encoding != request.end() && lowercase(trimmed(view(encoding->value()))) != "identity") {
    return PreviewResponse::refusal(415, "compressed bodies are refused");
  }
  const auto type = request.find(http::field::content_type);
  const std::string_view typeText =
      type == request.end() ? std::string_view() : view(type->value());
  const std::string media = lowercase(trimmed(typeText.substr(0, typeText.find(';'))));
  if (media != "application/json")
    return PreviewResponse::refusal(
        415, "a request that changes something needs Content-Type: application/json");
  return {};
}

void PreviewServer::State::accept() {
  acceptor.async_accept([this, self = shared_from_this()](error_code error, tcp::socket socket) {
    if (stopping || !acceptor.is_open()) return;
    if (error) {
      // Out of descriptors or memory: try again shortly rather than spin.
      acceptRetry.expires_after(std::chrono::milliseconds(50));
      acceptRetry.async_wait([this, self](error_code retryError) {
        if (!retryError && !stopping) accept();
      });
      return;
    }
    if (connections >= limits.maxConnections) {
      // Said at once without waiting: it fits in the socket's buffer.
      static const std::string busy = [] {
        const std::string body =
            PreviewResponse::refusal(503, "too many connections; try again").body;
        return "HTTP/1.1 503 Service Unavailable\r\nContent-Type: "
               "application/json\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\nRetry-After: 1\r\n\r\n" +
               body;
      }();
      ::send(socket.native_handle(), busy.data(), busy.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
      error_code ignored;
      socket.shutdown(tcp::socket::shutdown_both, ignored);
      socket.close(ignored);
    } else {
      std::make_shared<Connection>(shared_from_this(), std::move(socket))->start();
    }
    accept();
  });
}

void PreviewServer::State::sendKeepAlives() {
  keepAlive.expires_after(limits.keepAliveInterval);
  keepAlive.async_wait([this, self = shared_from_this()](error_code error) {
    if (error || stopping) return;
    for (EventStream* stream : std::vector<EventStream*>(streams.begin(), streams.end()))
      stream->pump(true);
    sendKeepAlives();
  });
}

void PreviewServer::State::broadcast() {
  for (EventStream* stream : std::vector<EventStream*>(streams.begin(), streams.end()))
    stream->pump();
}

void PreviewServer::State::close() {
  stopping = true;
  error_code ignored;
  acceptor.close(ignored);
  keepAlive.cancel();
  acceptRetry.cancel();
  for (Connection* connection : std::vector<Connection*>(requests.begin(), requests.end()))
    connection->close();
  for (EventStream* stream : std::vector<EventStream*>(streams.begin(), streams.end()))
    stream->close();
}

Foundation::Result<std::unique_ptr<PreviewServer>, error_code> PreviewServer::listen(
    asio::io_context& context, const tcp::endpoint& endpoint, std::vector<std::string> hostNames,
    PreviewRoutes routes, PreviewLimits limits) {
  auto state = std::make_shared<State>(context, std::move(routes), limits);
  auto& acceptor = state->acceptor;
  error_code error;
  acceptor.open(endpoint.protocol(), error);
  // Address reuse lets a restarted server bind past connections still in
  // TIME_WAIT; on Linux it never lets two sockets listen on one port (that
  // would be port reuse, which is not asked for).
  if (!error) acceptor.set_option(asio::socket_base::reuse_address(true), error);
  if (!error && endpoint.address().is_v6()) acceptor.set_option(asio::ip::v6_only(true), error);
  if (!error) acceptor.bind(endpoint, error);
  if (!error) acceptor.listen(asio::socket_base::max_listen_connections, error);
  const tcp::endpoint bound = error ? tcp::endpoint() : acceptor.local_endpoint(error);
  if (error) return error;
  const std::string port = std::to_string(bound.port());
  const std::string address = urlHost(endpoint.address());
  state->origin = "http://" + address + ":" + port;
  hostNames.push_back(address);
  for (const std::string& name : hostNames) {
    state->hosts.insert(lowercase(name) + ":" + port);
    state->origins.insert("http://" + lowercase(name) + ":" + port);
  }
  return std::unique_ptr<PreviewServer>(new PreviewServer(std::move(state)));
}

PreviewServer::~PreviewServer() {
  state_->worker.stop();
}

unsigned short PreviewServer::port() const {
  return state_->acceptor.local_endpoint().port();
}

std::string PreviewServer::origin() const {
  return state_->origin;
}

void PreviewServer::start() {
  state_->accept();
  state_->sendKeepAlives();
}

void PreviewServer::publish() {
  asio::post(state_->io, [state = state_] {
    if (!state->stopping) state->broadcast();
  });
}

void PreviewServer::stop() {
  asio::post(state_->io, [state = state_] {
    state->close();
    state->io.stop();
  });
  state_->worker.stop();
}

}  // namespace Host
