#include "platform/host/play/RequestPolicy.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>

namespace Host {

namespace {

std::string lowercase(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return out;
}

std::string_view trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool named(std::string_view field, std::string_view name) {
  return std::equal(field.begin(), field.end(), name.begin(), name.end(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == b;
  });
}

// The values of every field called `name` (lower case), trimmed.
std::vector<std::string_view> values(const RequestHead& head, std::string_view name) {
  std::vector<std::string_view> found;
  for (const auto& [field, value] : head.fields)
    if (named(field, name)) found.push_back(trimmed(value));
  return found;
}

// The codings of every Transfer-Encoding field, in order, lower case.
std::vector<std::string> codings(const RequestHead& head) {
  std::vector<std::string> all;
  for (std::string_view list : values(head, "transfer-encoding")) {
    while (!list.empty()) {
      const auto comma = list.find(',');
      if (auto coding = trimmed(list.substr(0, comma)); !coding.empty())
        all.push_back(lowercase(coding));
      list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    }
  }
  return all;
}

RefusedRequest refused(int status, const std::string& message, bool close = true) {
  return {PreviewResponse::refusal(status, message), close};
}

}  // namespace

RequestPolicy::RequestPolicy(std::vector<std::string> names, unsigned short port,
                             std::uint64_t maxBody)
    : maxBody_(maxBody) {
  const std::string suffix = ":" + std::to_string(port);
  authority_ = names.empty() ? suffix : names.front() + suffix;
  for (const std::string& name : names) {
    const std::string host = lowercase(name);
    hosts_.insert(host + suffix);
    origins_.insert("http://" + host + suffix);
    if (port == 80) {  // the default port, which browsers leave out
      hosts_.insert(host);
      origins_.insert("http://" + host);
    }
  }
}

Foundation::Result<AdmittedRequest, RefusedRequest> RequestPolicy::judge(
    const RequestHead& head) const {
  // The framing first: without it nothing after this request can be read.
  const auto hostFields = values(head, "host");
  if (hostFields.size() > 1) return refused(400, "a request has one Host field, not several");
  const auto lengths = values(head, "content-length");
  std::optional<std::uint64_t> length;
  for (std::string_view text : lengths) {
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != text.npos ||
        (length && *length != std::stoull(std::string(text)))) {
      return refused(400, "Content-Length must be one number");
    }
    length = std::stoull(std::string(text));
  }
  const auto transfer = codings(head);
  const bool chunked = !transfer.empty();
  if (chunked && transfer != std::vector<std::string>{"chunked"}) {
    if (std::find(transfer.begin(), transfer.end(), "chunked") != transfer.end() &&
        transfer.back() != "chunked") {
      return refused(400, "chunked must be the last transfer coding");
    }
    return refused(501, "the only transfer coding understood is chunked");
  }
  const bool body = chunked || (length && *length > 0);

  // The target: a path, or this server's URL (then its authority stands
  // for Host).
  AdmittedRequest admitted;
  std::string_view target = head.target, authority;
  bool absolute = false;
  if (target.size() >= 7 && lowercase(target.substr(0, 7)) == "http://") {
    const auto end = std::min(target.find_first_of("/?", 7), target.size());
    authority = target.substr(7, end - 7);
    target = target.substr(end);
    absolute = true;
    if (target.empty() || target.front() == '?') admitted.path = "/";
  } else if (target.empty() || target.front() != '/') {
    return refused(400, "the request target must be a path or this server's http URL");
  }
  const auto mark = target.find('?');
  admitted.path += target.substr(0, mark);
  if (mark != std::string_view::npos) admitted.query = target.substr(mark + 1);

  if (!absolute && !hostFields.empty()) authority = hostFields.front();
  if ((!absolute && hostFields.empty()) || !hosts_.count(lowercase(authority))) {
    return refused(421,
                   "Host must name this server (" + authority_ + "), not " +
                       (absolute || !hostFields.empty() ? std::string(authority) : "nothing"),
                   body);
  }
  for (std::string_view origin : values(head, "origin")) {
    if (!origins_.count(lowercase(origin))) {
      return refused(
          403, "requests from other sites are refused (Origin " + std::string(origin) + ")", body);
    }
  }
  if (head.method == "OPTIONS") return refused(403, "cross-origin requests are refused", body);
  if (head.method != "GET" && head.method != "POST")
    return refused(405, "only GET and POST are served", body);
  admitted.acts = head.method == "POST";

  for (std::string_view expect : values(head, "expect")) {
    if (lowercase(expect) != "100-continue")
      return refused(417, "the only expectation met is 100-continue", body);
    admitted.continueFirst = body;
  }
  if (length && *length > maxBody_)
    return refused(413, "a request body is at most " + std::to_string(maxBody_) + " bytes");
  if (!admitted.acts) return admitted;
  for (std::string_view encoding : values(head, "content-encoding")) {
    if (lowercase(encoding) != "identity")
      return refused(415, "compressed bodies are refused", body);
  }
  const auto types = values(head, "content-type");
  const std::string_view type = types.empty() ? std::string_view() : types.front();
  if (types.size() != 1 ||
      lowercase(trimmed(type.substr(0, type.find(';')))) != "application/json") {
    return refused(415, "a request that changes something needs Content-Type: application/json",
                   body);
  }
  return admitted;
}

}  // namespace Host
