#pragma once

#include <string>

namespace Host {

// What the preview server answers: a status, a type and a body.
struct PreviewResponse {
  int status = 200;
  std::string contentType = "application/json";
  std::string body;
  bool page = false;  // the page itself: sent with its content-security policy

  // A refusal: `status` with one JSON line {"error": message}. The line is
  // JSON whatever the message holds: bytes that are not UTF-8 (a client's
  // Host, Origin or path quoted in it) are written as \xNN.
  static PreviewResponse refusal(int status, const std::string& message);

  // A JSON answer, given as its text.
  static PreviewResponse json(std::string body) {
    return {200, "application/json", std::move(body)};
  }
};

}  // namespace Host
