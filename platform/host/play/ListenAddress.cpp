#include "platform/host/play/ListenAddress.h"

#include <boost/asio/io_context.hpp>

namespace Host {

namespace asio = boost::asio;
using tcp = asio::ip::tcp;

Foundation::Result<ListenAddress, std::string> ListenAddress::parse(const std::string& text) {
  const std::string wrong = "needs HOST:PORT, not " + text;
  const auto colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return wrong;
  ListenAddress listen{text.substr(0, colon), 0};
  if (listen.host.size() > 2 && listen.host.front() == '[' && listen.host.back() == ']') {
    listen.host = listen.host.substr(1, listen.host.size() - 2);
  }
  const std::string port = text.substr(colon + 1);
  if (port.empty() || port.size() > 5 ||
      port.find_first_not_of("0123456789") != std::string::npos) {
    return wrong;
  }
  const int number = std::stoi(port);
  if (number > 65535) return wrong;
  listen.port = static_cast<unsigned short>(number);
  return listen;
}

Foundation::Result<tcp::endpoint, std::string> ListenAddress::loopbackEndpoint() const {
  boost::system::error_code error;
  const auto literal = asio::ip::make_address(host, error);
  if (!error) {
    if (!literal.is_loopback()) return host + " is not a loopback address";
    return tcp::endpoint(literal, port);
  }
  asio::io_context context;
  tcp::resolver resolver(context);
  const auto found =
      resolver.resolve(host, std::to_string(port), tcp::resolver::numeric_service, error);
  if (error || found.empty()) return host + " does not resolve to an address";
  for (const auto& entry : found) {
    if (!entry.endpoint().address().is_loopback()) {
      return host + " resolves to " + entry.endpoint().address().to_string() +
             ", not a loopback address";
    }
  }
  return found.begin()->endpoint();
}

}  // namespace Host
