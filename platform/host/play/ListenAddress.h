#pragma once

#include <string>

#include <boost/asio/ip/tcp.hpp>

#include "platform/foundation/Result.h"

// Where `serve` listens: HOST:PORT as given to --listen, and the one
// loopback endpoint it comes to.
namespace Host {

struct ListenAddress {
  std::string host;  // a name or an address, brackets taken off ("::1")
  unsigned short port = 0;

  // The text as HOST:PORT (an IPv6 address in brackets), or what is wrong
  // with it (to follow "--listen ").
  static Foundation::Result<ListenAddress, std::string> parse(const std::string& text);

  // The endpoint to bind: the host's first address, when every address it
  // resolves to is a loopback one; else why not. Resolving a name may ask
  // the system's resolver (and wait for it).
  Foundation::Result<boost::asio::ip::tcp::endpoint, std::string> loopbackEndpoint() const;
};

}  // namespace Host
