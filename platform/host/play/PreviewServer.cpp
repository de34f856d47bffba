#include "platform/host/play/PreviewServer.h"

#include <sys/socket.h>

#include <utility>
#include <vector>

#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/post.hpp>

#include "platform/host/play/PreviewServerState.h"

namespace Host {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;
using boost::system::error_code;

PreviewWorker::PreviewWorker(std::size_t maxPending)
    : maxPending_(maxPending), thread_([this] { work(); }) {}

bool PreviewWorker::add(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_ || jobs_.size() >= maxPending_) return false;
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
  return true;
}

void PreviewWorker::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void PreviewWorker::work() {
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

PreviewServer::State::State(asio::io_context& context, PreviewRoutes r, PreviewLimits l)
    : io(context),
      acceptor(context),
      keepAlive(context),
      acceptRetry(context),
      routes(std::move(r)),
      limits(l),
      worker(l.maxPendingActions) {}

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
    if (requests.size() + streams.size() >= limits.maxConnections) {
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
      std::make_shared<RequestConnection>(shared_from_this(), std::move(socket))->start();
    }
    accept();
  });
}

void PreviewServer::State::sendKeepAlives() {
  keepAlive.expires_after(limits.keepAliveInterval);
  keepAlive.async_wait([this, self = shared_from_this()](error_code error) {
    if (error || stopping) return;
    broadcast(true);
    sendKeepAlives();
  });
}

void PreviewServer::State::broadcast(bool orComment) {
  for (EventStream* stream : std::vector<EventStream*>(streams.begin(), streams.end()))
    stream->pump(orComment);
}

void PreviewServer::State::close() {
  stopping = true;
  error_code ignored;
  acceptor.close(ignored);
  keepAlive.cancel();
  acceptRetry.cancel();
  for (RequestConnection* connection :
       std::vector<RequestConnection*>(requests.begin(), requests.end()))
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
  // The address as a URL writes it: an IPv6 address in brackets.
  const std::string address = endpoint.address().is_v6()
                                  ? "[" + endpoint.address().to_string() + "]"
                                  : endpoint.address().to_string();
  state->origin = "http://" + address + ":" + std::to_string(bound.port());
  hostNames.insert(hostNames.begin(), address);
  state->policy.emplace(std::move(hostNames), bound.port(), limits.maxBody);
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
