// download-app serve, run as its own process and met as a hostile page, a
// slow or greedy client and a second server would meet it.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// A running `download-app serve ARGS`, its standard output and error read
// until it prints its address or ends.
class Serve {
 public:
  explicit Serve(std::vector<std::string> arguments) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], 1);
      dup2(out[1], 2);
      close(out[0]);
      std::vector<char*> argv{const_cast<char*>(DOWNLOAD_APP_PATH), const_cast<char*>("serve")};
      for (auto& argument : arguments) argv.push_back(argument.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(out[1]);
    output_ = out[0];
    char c;
    while (read(output_, &c, 1) == 1 && c != '\n') firstLine_ += c;
    std::sscanf(firstLine_.c_str(), "serving http://127.0.0.1:%d/", &port_);
  }
  ~Serve() {
    if (pid_ > 0 && code_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (output_ >= 0) close(output_);
  }

  int port() const { return port_; }
  pid_t pid() const { return pid_; }
  const std::string& firstLine() const { return firstLine_; }

  // The exit code, waiting for it up to `limit`; -1 if it is still running.
  int wait(std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_)
        return code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
  }

  long residentKiB() const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
  }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  int port_ = 0;
  int code_ = -1;
  std::string firstLine_;
};

int connectTo(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

void sendAll(int fd, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const auto n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

// What the server says until it closes, or until `limit`, or until `enough`
// bytes have come.
std::string receive(int fd, std::chrono::milliseconds limit, std::size_t enough = SIZE_MAX) {
  std::string got;
  const auto end = Clock::now() + limit;
  while (got.size() < enough) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    pollfd p{fd, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
    char buffer[65536];
    const auto n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

// One request on a connection of its own; the whole answer.
std::string request(int port, const std::string& text) {
  const int fd = connectTo(port);
  sendAll(fd, text);
  shutdown(fd, SHUT_WR);
  std::string answer = receive(fd, std::chrono::seconds(5));
  close(fd);
  return answer;
}

std::string hostOf(int port) {
  return "Host: 127.0.0.1:" + std::to_string(port) + "\r\n";
}
std::string get(int port, const std::string& path) {
  return request(port,
                 "GET " + path + " HTTP/1.1\r\n" + hostOf(port) + "Connection: close\r\n\r\n");
}
std::string post(int port, const std::string& path, const std::string& body,
                 const std::string& headers) {
  return request(port, "POST " + path + " HTTP/1.1\r\n" + hostOf(port) + "Connection: close\r\n" +
                           headers + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                           body);
}

std::string statusLine(const std::string& answer) {
  return answer.substr(0, answer.find("\r\n"));
}
std::string bodyOf(const std::string& answer) {
  const auto at = answer.find("\r\n\r\n");
  return at == std::string::npos ? std::string() : answer.substr(at + 4);
}

// Waits (up to ten seconds) until the server has drawn a first snapshot.
void waitForSnapshot(int port) {
  const auto end = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < end && get(port, "/snapshot").find("\"version\":0") != std::string::npos) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// ThreadSanitizer's shadow memory grows with what the program touches.
#if defined(__SANITIZE_THREAD__)
constexpr long growthLimitKiB = 16 * 1024;
#else
constexpr long growthLimitKiB = 1024;
#endif

constexpr const char* json = "Content-Type: application/json\r\n";
const std::string queue =
    R"({"apps": [{"name": "Orbit Maps", "size": 2147483648}], "bytesPerSecond": 1048576})";

TEST(Serve, OnlyItsOwnPageAndLocalScriptsMayAct) {
  Serve serve({"--listen", "127.0.0.1:0"});
  ASSERT_GT(serve.port(), 0) << serve.firstLine();
  const int port = serve.port();
  const std::string self = "http://127.0.0.1:" + std::to_string(port);

  // Reads too must name this server (DNS rebinding).
  for (const std::string host : {"Host: elsewhere.example\r\n", "Host: 127.0.0.1:1\r\n", ""}) {
    const auto answer =
        request(port, "GET /snapshot HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n");
    EXPECT_EQ(statusLine(answer), "HTTP/1.1 421 Misdirected Request") << host;
    EXPECT_NE(bodyOf(answer).find("{\"error\":\"Host must name this server"), std::string::npos)
        << answer;
  }
  // What another site's page can send: a simple form or text body, a
  // preflight, its own Origin; and a compressed body.
  const std::pair<std::string, std::string> refused[] = {
      {"Content-Type: text/plain\r\n", "HTTP/1.1 415 Unsupported Media Type"},
      {"Content-Type: application/x-www-form-urlencoded\r\nOrigin: " + self + "\r\n",
       "HTTP/1.1 415 Unsupported Media Type"},
      {std::string(json) + "Origin: http://elsewhere.example\r\n", "HTTP/1.1 403 Forbidden"},
      {std::string(json) + "Origin: null\r\n", "HTTP/1.1 403 Forbidden"},
      {std::string(json) + "Content-Encoding: gzip\r\n", "HTTP/1.1 415 Unsupported Media Type"},
  };
  for (const auto& [headers, status] : refused) {
    const auto answer = post(port, "/start", queue, headers);
    EXPECT_EQ(statusLine(answer), status) << headers;
    EXPECT_EQ(bodyOf(answer).rfind("{\"error\":", 0), 0u) << answer;
  }
  EXPECT_EQ(statusLine(
                request(port, "OPTIONS /start HTTP/1.1\r\n" + hostOf(port) +
                                  "Origin: http://elsewhere.example\r\nConnection: close\r\n\r\n")),
            "HTTP/1.1 403 Forbidden");
  EXPECT_EQ(bodyOf(get(port, "/snapshot")), "{\"version\":0,\"activity\":null}");

  // The page itself and a local script.
  EXPECT_EQ(statusLine(post(port, "/start", queue, std::string(json) + "Origin: " + self + "\r\n")),
            "HTTP/1.1 200 OK");
  EXPECT_EQ(
      statusLine(post(port, "/start", queue, "Content-Type: application/json; charset=utf-8\r\n")),
      "HTTP/1.1 200 OK");
  const auto page =
      request(port, "GET / HTTP/1.1\r\nHost: localhost:" + std::to_string(port) + "\r\n\r\n");
  for (const char* header :
       {"Content-Security-Policy: default-src 'none'; script-src 'self'", "frame-ancestors 'none'",
        "X-Frame-Options: DENY", "X-Content-Type-Options: nosniff"})
    EXPECT_NE(page.find(header), std::string::npos) << header;

  // A tap names its arguments in a JSON body or in the query. On the island
  // it opens the link; on the backdrop around it, nothing.
  waitForSnapshot(port);
  EXPECT_EQ(bodyOf(post(port, "/tap", R"({"presentation": "minimal", "x": 20, "y": 20})", json)),
            "{\"opened\":\"plumara://downloads\"}\n");
  EXPECT_EQ(bodyOf(post(port, "/tap?presentation=minimal&x=20&y=20", "", json)),
            "{\"opened\":\"plumara://downloads\"}\n");
  EXPECT_EQ(bodyOf(post(port, "/tap?presentation=minimal&x=5&y=5", "", json)), "{}\n");
  EXPECT_EQ(statusLine(post(port, "/tap", R"({"presentation": "minimal"})", json)),
            "HTTP/1.1 400 Bad Request");

  // A queue that would never end is refused, and the server still answers.
  const auto never = post(
      port, "/start", R"({"apps":[{"name":"A","size":1099511627776}],"bytesPerSecond":1})", json);
  EXPECT_EQ(statusLine(never), "HTTP/1.1 422 Unprocessable Entity");
  EXPECT_NE(bodyOf(never).find("at most a week"), std::string::npos) << never;

  // Pipelined requests are answered, in order.
  const int fd = connectTo(port);
  const std::string host = hostOf(port);
  sendAll(fd, "GET /nothing HTTP/1.1\r\n" + host + "\r\nGET /snapshot HTTP/1.1\r\n" + host +
                  "\r\nGET /elsewhere HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n");
  const auto answers = receive(fd, std::chrono::seconds(5));
  close(fd);
  const auto first = answers.find("HTTP/1.1 404"), second = answers.find("HTTP/1.1 200"),
             third = answers.find("HTTP/1.1 404", first + 1);
  EXPECT_TRUE(first < second && second < third && third != std::string::npos) << answers;
  EXPECT_NE(answers.find("{\"error\":\"no such page: /elsewhere\"}"), std::string::npos);

  kill(serve.pid(), SIGINT);
  EXPECT_EQ(serve.wait(std::chrono::seconds(1)), 0);
}

TEST(Serve, OpenStreamsAndSlowSendersStarveNoOne) {
  Serve serve({"--listen", "127.0.0.1:0"});
  ASSERT_GT(serve.port(), 0) << serve.firstLine();
  const int port = serve.port();
  const std::string host = hostOf(port);
  ASSERT_EQ(statusLine(post(port, "/start", queue, json)), "HTTP/1.1 200 OK");

  std::vector<int> streams, slow;
  for (int i = 0; i < 200; ++i) {
    streams.push_back(connectTo(port));
    sendAll(streams.back(), "GET /events HTTP/1.1\r\n" + host + "\r\n");
  }
  for (int i = 0; i < 100; ++i) {
    slow.push_back(connectTo(port));
    sendAll(slow.back(),
            "POST /state HTTP/1.1\r\n" + host + "Content-Length: 100\r\n");  // and then nothing
  }
  for (int fd : streams) {
    EXPECT_EQ(receive(fd, std::chrono::seconds(5), 12).substr(0, 12), "HTTP/1.1 200");
  }
  for (int round = 0; round < 10; ++round) {
    const auto start = Clock::now();
    const auto answer =
        round % 2 == 0 ? get(port, "/snapshot")
                       : post(port, "/tap", R"({"presentation": "minimal", "x": 5, "y": 5})", json);
    EXPECT_EQ(statusLine(answer), "HTTP/1.1 200 OK") << round;
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(500));
  }
  // The streams still carry snapshots; the slow senders are cut off.
  EXPECT_NE(receive(streams.front(), std::chrono::seconds(3), 4096).find("data: {\"version\":"),
            std::string::npos);
  std::this_thread::sleep_for(std::chrono::seconds(5));
  EXPECT_EQ(receive(slow.front(), std::chrono::seconds(2)), "");
  for (int fd : streams) close(fd);
  for (int fd : slow) close(fd);

  // Beyond the bound on connections: a clear 503.
  std::vector<int> idle;
  for (int i = 0; i < 512; ++i) idle.push_back(connectTo(port));
  const auto busy = request(port, "GET /snapshot HTTP/1.1\r\n" + host + "\r\n");
  EXPECT_EQ(statusLine(busy), "HTTP/1.1 503 Service Unavailable");
  EXPECT_NE(busy.find("{\"error\":\"too many connections"), std::string::npos);
  for (int fd : idle) close(fd);
}

TEST(Serve, AnOversizedBodyIsRefusedUnreadAndTheServerDoesNotGrow) {
  Serve serve({"--listen", "127.0.0.1:0"});
  ASSERT_GT(serve.port(), 0) << serve.firstLine();
  const int port = serve.port();
  // Once warm (the drawing thread's fonts, a first refusal), ten refusals
  // of 2 MiB bodies, with and without a length, leave the size as it was.
  ASSERT_EQ(statusLine(post(port, "/start", queue, json)), "HTTP/1.1 200 OK");
  const std::string mebibytes(2 << 20, ' ');
  long before = 0;
  for (int round = 0; round < 11; ++round) {
    if (round == 1) {
      waitForSnapshot(port);
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      before = serve.residentKiB();
    }
    const bool chunked = round % 2 == 1;
    const int fd = connectTo(port);
    sendAll(fd, "POST /state HTTP/1.1\r\n" + hostOf(port) + json +
                    (chunked ? "Transfer-Encoding: chunked\r\n\r\n"
                             : "Content-Length: 2097152\r\n\r\n"));
    std::thread sender(
        [&] { sendAll(fd, chunked ? "200000\r\n" + mebibytes + "\r\n0\r\n\r\n" : mebibytes); });
    const auto answer = receive(fd, std::chrono::seconds(5), 64);
    EXPECT_EQ(statusLine(answer), "HTTP/1.1 413 Payload Too Large") << round;
    shutdown(fd, SHUT_RDWR);
    sender.join();
    close(fd);
  }
  EXPECT_LT(serve.residentKiB() - before, growthLimitKiB);
}

TEST(Serve, StopsWithinASecondWhateverAClientDoes) {
  Serve serve({"--listen", "127.0.0.1:0", "--speed", "1000000"});
  ASSERT_GT(serve.port(), 0) << serve.firstLine();
  const int port = serve.port();
  const int slow = connectTo(port);
  sendAll(slow, "POST /start HTTP/1.1\r\n" + hostOf(port) + "Content-Le");
  const int stream = connectTo(port);
  sendAll(stream, "GET /events HTTP/1.1\r\n" + hostOf(port) + "\r\n");
  EXPECT_EQ(statusLine(post(port, "/start", queue, json)), "HTTP/1.1 200 OK");
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  kill(serve.pid(), SIGTERM);
  EXPECT_EQ(serve.wait(std::chrono::seconds(1)), 0);
  close(slow);
  close(stream);
}

TEST(Serve, HoldsItsPortAloneAndListensOnLoopbackOnly) {
  Serve first({"--listen", "127.0.0.1:0"});
  ASSERT_GT(first.port(), 0) << first.firstLine();
  const std::string address = "127.0.0.1:" + std::to_string(first.port());
  Serve second({"--listen", address});
  EXPECT_EQ(second.wait(std::chrono::seconds(5)), 74);
  EXPECT_EQ(second.firstLine(), "error: cannot listen on " + address + ": Address already in use");

  for (const char* listen :
       {"127.0.0.1.example.com:0", "10.0.0.1:0", "0.0.0.0:0", "127.0.0.1:http", "[::]:0"}) {
    Serve refused({"--listen", listen});
    EXPECT_EQ(refused.wait(std::chrono::seconds(10)), 64) << listen << refused.firstLine();
  }
  Serve nan({"--speed", "nan"});
  EXPECT_EQ(nan.wait(std::chrono::seconds(5)), 64);

  Serve six({"--listen", "[::1]:0"});
  if (six.firstLine().rfind("error: cannot listen", 0) != 0) {  // a host without IPv6 cannot
    EXPECT_EQ(six.firstLine().rfind("serving http://[::1]:", 0), 0u) << six.firstLine();
  }
}

}  // namespace
