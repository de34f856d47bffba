#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include "platform/host/play/PreviewServerState.h"

namespace Host {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using boost::system::error_code;

namespace {

// The page may run scripts, styles, pictures and requests of its own
// origin and nothing else, and may not be framed.
constexpr const char* contentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src 'self'; "
    "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

// The largest request head read; a connection's buffer holds it and the
// largest body.
constexpr std::size_t maxHead = 16 * 1024;

}  // namespace

EventStream::EventStream(std::shared_ptr<PreviewServer::State> state, tcp::socket socket)
    : state_(std::move(state)), socket_(std::move(socket)), deadline_(state_->io) {
  state_->streams.insert(this);
}

EventStream::~EventStream() {
  state_->streams.erase(this);
}

void EventStream::start() {
  auto head = std::make_shared<const std::string>(
      "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\nCache-Control: no-store\r\n"
      "X-Content-Type-Options: nosniff\r\nConnection: close\r\n\r\n");
  write(std::move(head));
  watchForClose();
}

void EventStream::pump(bool keepAlive) {
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

void EventStream::close() {
  error_code ignored;
  socket_.shutdown(tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
  deadline_.cancel();
}

void EventStream::write(std::shared_ptr<const std::string> message) {
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
void EventStream::watchForClose() {
  socket_.async_read_some(asio::buffer(discard_),
                          [self = shared_from_this()](error_code error, std::size_t) {
                            if (error) return self->close();
                            self->watchForClose();
                          });
}

RequestConnection::RequestConnection(std::shared_ptr<PreviewServer::State> state,
                                     tcp::socket socket)
    : state_(std::move(state)),
      stream_(std::move(socket)),
      buffer_(maxHead + state_->limits.maxBody) {
  state_->requests.insert(this);
}

RequestConnection::~RequestConnection() {
  state_->requests.erase(this);
}

void RequestConnection::close() {
  error_code ignored;
  stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
  stream_.socket().close(ignored);
}

void RequestConnection::readHead() {
  parser_.emplace();
  parser_->header_limit(maxHead);
  parser_->body_limit(state_->limits.maxBody);
  head_ = false;
  stream_.expires_after(state_->limits.requestDeadline);
  http::async_read_header(
      stream_, buffer_, *parser_,
      [self = shared_from_this()](error_code error, std::size_t) { self->onHead(error); });
}

// A failed read: a closed or timed-out connection ends quietly, anything
// else gets one line saying what was wrong.
void RequestConnection::failed(error_code error) {
  if (error == http::error::end_of_stream || error == beast::error::timeout ||
      error == asio::error::operation_aborted || error == asio::error::connection_reset ||
      state_->stopping || error == asio::error::eof) {
    return close();
  }
  if (error == http::error::body_limit) {
    return send(
        PreviewResponse::refusal(
            413, "a request body is at most " + std::to_string(state_->limits.maxBody) + " bytes"),
        false);
  }
  if (error == http::error::header_limit)
    return send(PreviewResponse::refusal(431, "the request head is too large"), false);
  send(PreviewResponse::refusal(400, "not an HTTP request: " + error.message()), false);
}

void RequestConnection::onHead(error_code error) {
  if (error) return failed(error);
  const auto& request = parser_->get();
  head_ = request.method() == http::verb::head;
  RequestHead head{std::string(request.method_string()), std::string(request.target()), {}};
  for (const auto& field : request)
    head.fields.emplace_back(std::string(field.name_string()), std::string(field.value()));
  auto judged = state_->policy->judge(head);
  if (!judged) {
    auto refused = std::move(judged).error();
    return send(std::move(refused.answer), request.keep_alive() && !refused.close);
  }
  if (parser_->is_done()) return dispatch(*judged);
  if (!judged->continueFirst) return readBody(std::move(judged).value());
  static const std::string proceed = "HTTP/1.1 100 Continue\r\n\r\n";
  asio::async_write(stream_, asio::buffer(proceed),
                    [self = shared_from_this(), admitted = std::move(judged).value()](
                        error_code writeError, std::size_t) mutable {
                      if (writeError) return self->close();
                      self->readBody(std::move(admitted));
                    });
}

void RequestConnection::readBody(AdmittedRequest admitted) {
  http::async_read(
      stream_, buffer_, *parser_,
      [self = shared_from_this(), admitted = std::move(admitted)](error_code error, std::size_t) {
        if (error) return self->failed(error);
        self->dispatch(admitted);
      });
}

void RequestConnection::dispatch(const AdmittedRequest& admitted) {
  stream_.expires_never();
  const bool keepAlive = parser_->get().keep_alive();
  if (!admitted.acts) {
    if (admitted.path == "/events") return becomeEventStream();
    auto answer = state_->routes.read(admitted.path, admitted.query);
    return send(answer ? std::move(*answer)
                       : PreviewResponse::refusal(404, "no such page: " + admitted.path),
                keepAlive);
  }
  // The connection is touched only on the loop: the worker hands its
  // reference back with the answer, so that it is never the last one let go
  // on the worker's thread.
  const bool queued =
      state_->worker.add([self = shared_from_this(), admitted,
                          body = std::move(parser_->get().body()), keepAlive]() mutable {
        auto answer = self->state_->routes.act(admitted.path, admitted.query, body);
        auto& io = self->state_->io;
        asio::post(io, [self = std::move(self), keepAlive, answer = std::move(answer),
                        path = admitted.path]() mutable {
          self->send(answer ? std::move(*answer)
                            : PreviewResponse::refusal(404, "no such action: " + path),
                     keepAlive);
        });
      });
  if (!queued) send(PreviewResponse::refusal(503, "too many requests waiting; try again"), false);
}

void RequestConnection::becomeEventStream() {
  auto stream = std::make_shared<EventStream>(state_, stream_.release_socket());
  stream->start();
  stream->pump();
}

// Answers; the connection reads the next request only when `goOn` (the
// request was read to its end and the client keeps the connection).
void RequestConnection::send(PreviewResponse answer, bool goOn) {
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
  goOn = goOn && !state_->stopping;
  response->keep_alive(goOn);
  response->body() = std::move(answer.body);
  response->prepare_payload();
  // An answer to HEAD says how long its body would be, and sends none.
  if (head_) response->body().clear();
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

// Reads (and drops) what the client still sends, so that closing does not
// reset the connection while the client still has the answer to read: a
// client may write a whole refused body before it reads. Ends at the
// client's end of stream, or at the limits in time and bytes.
void RequestConnection::lingerThenClose() {
  if (!discard_) {
    discard_ = std::make_unique<std::array<char, 16 * 1024>>();
    stream_.expires_after(state_->limits.lingerDeadline);  // for the whole drain
  }
  if (lingered_ >= state_->limits.lingerBytes) return close();
  stream_.async_read_some(asio::buffer(*discard_),
                          [self = shared_from_this()](error_code error, std::size_t n) {
                            self->lingered_ += n;
                            if (error) return self->close();
                            self->lingerThenClose();
                          });
}

}  // namespace Host
