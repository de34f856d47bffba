#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/Result.h"
#include "platform/host/play/PreviewResponse.h"

// Who may talk to the preview server, and how, judged from a request's head
// alone: no socket, no clock, nothing read or written. The server asks
// before it reads a body, and sends the refusal at once.
//
// In order, a request is refused
// - 400 with more than one Host field, or a Content-Length that is not one
//   number;
// - 400 when a Transfer-Encoding lists chunked but not last, and 501 for
//   any other coding than chunked alone (the body's length cannot be known,
//   so the connection closes rather than read it as a next request);
// - 400 for a target that is neither a path nor an http URL;
// - 421 unless it names this server: the authority of an absolute target
//   (http://127.0.0.1:PORT/snapshot), else its one Host field, must be one of
//   the server's names with its port, or the name alone when the port is 80
//   (as browsers write it). This keeps out a page of another site reached
//   through DNS rebinding, and applies to reads too;
// - 403 when it carries an Origin other than the server's own (the same
//   names, as http://NAME:PORT), and for every OPTIONS (no preflight is
//   granted);
// - 405 for a method other than GET and POST;
// - 417 for an Expect other than 100-continue;
// - 413 for a declared length above the largest body;
// - 415 for a POST with a compressed body or without
//   Content-Type: application/json (which a page of another site cannot
//   send without a preflight).
namespace Host {

// A request's head as the client sent it.
struct RequestHead {
  std::string method;  // as sent ("GET")
  std::string target;  // "/path?query", or the absolute form "http://host:port/path?query"
  std::vector<std::pair<std::string, std::string>> fields;  // in order, names as sent
};

// What a request may be served as.
struct AdmittedRequest {
  bool acts = false;  // POST: answered on the worker
  std::string path;
  std::string query;
  bool continueFirst = false;  // 100 Continue is to be sent before the body is read
};

// A request refused, and whether the connection must close after the answer
// (when there is a body the server will not read, or no framing to trust).
struct RefusedRequest {
  PreviewResponse answer;
  bool close = true;
};

class RequestPolicy {
 public:
  // A server listening on `port` under `names` (its address as a URL writes
  // it, first, then names such as localhost), reading bodies of at most
  // `maxBody` bytes.
  RequestPolicy(std::vector<std::string> names, unsigned short port, std::uint64_t maxBody);

  Foundation::Result<AdmittedRequest, RefusedRequest> judge(const RequestHead& head) const;

 private:
  std::string authority_;          // the first name and the port, for messages
  std::set<std::string> hosts_;    // what Host may say, lower case
  std::set<std::string> origins_;  // what Origin may say, lower case
  std::uint64_t maxBody_;
};

}  // namespace Host
