// download-app serve, run as its own process and met as a hostile page, a
// slow or greedy client and a second server would meet it.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/foundation/UnicodeText.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

// Whether all of it was sent (false once the connection fails).
bool sendAll(int fd, const std::string& data) {
  for (std::size_t sent = 0; sent < data.size();) {
    const auto n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// What the server says until it closes, or until `limit`, or until `enough`
// bytes have come.
std::string receive(int fd, milliseconds limit, std::size_t enough = SIZE_MAX) {
  std::string got;
  const auto end = Clock::now() + limit;
  while (got.size() < enough) {
    const auto left = std::chrono::duration_cast<milliseconds>(end - Clock::now()).count();
    pollfd p{fd, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) break;
    char buffer[65536];
    const auto n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

// Whether the server closes the connection within `limit`, having said
// nothing.
bool closedSilently(int fd, milliseconds limit) {
  pollfd p{fd, POLLIN, 0};
  char c;
  return poll(&p, 1, static_cast<int>(limit.count())) == 1 && recv(fd, &c, 1, 0) <= 0;
}

constexpr const char* json = "Content-Type: application/json\r\n";
const std::string queue =
    R"({"apps": [{"name": "Orbit Maps", "size": 2147483648}], "bytesPerSecond": 1048576})";

std::string getText(const std::string& path, const std::string& host) {
  return "GET " + path + " HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n";
}
std::string postText(const std::string& host, const std::string& path, const std::string& body,
                     const std::string& headers = json) {
  return "POST " + path + " HTTP/1.1\r\n" + host + "Connection: close\r\n" + headers +
         "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}
std::string statusLine(const std::string& answer) {
  return answer.substr(0, answer.find("\r\n"));
}
std::string bodyOf(const std::string& answer) {
  const auto at = answer.find("\r\n\r\n");
  return at == std::string::npos ? std::string() : answer.substr(at + 4);
}

// A running `download-app serve ARGS`; its first line of output (its
// address, or why it could not start) read before the constructor returns.
class Serve {
 public:
  explicit Serve(std::vector<std::string> arguments = {"--listen", "127.0.0.1:0"}) {
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
    for (char c; read(output_, &c, 1) == 1 && c != '\n';) firstLine_ += c;
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
  std::string host() const { return "Host: 127.0.0.1:" + std::to_string(port_) + "\r\n"; }

  // A connection to the server that has sent `text` (and may send more).
  int open(const std::string& text) const {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) sendAll(fd, text);
    return fd;
  }
  // One request on a connection of its own; the whole answer.
  std::string ask(const std::string& text) const {
    const int fd = open(text);
    shutdown(fd, SHUT_WR);
    std::string answer = receive(fd, seconds(5));
    close(fd);
    return answer;
  }
  std::string get(const std::string& path) const { return ask(getText(path, host())); }
  std::string post(const std::string& path, const std::string& body) const {
    return ask(postText(host(), path, body));
  }
  // Waits (up to ten seconds) until the server has drawn a first snapshot.
  void waitForSnapshot() const {
    const auto end = Clock::now() + seconds(10);
    while (Clock::now() < end && get("/snapshot").find("\"version\":0") != std::string::npos)
      std::this_thread::sleep_for(milliseconds(20));
  }

  // The exit code, waiting for it up to `limit`; -1 if it is still running.
  int wait(milliseconds limit) {
    for (const auto end = Clock::now() + limit; Clock::now() < end;) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_)
        return code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
      std::this_thread::sleep_for(milliseconds(5));
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

// ThreadSanitizer's shadow memory grows with what the program touches.
#if defined(__SANITIZE_THREAD__)
constexpr long growthLimitKiB = 16 * 1024;
#else
constexpr long growthLimitKiB = 1024;
#endif

TEST(Serve, OnlyItsOwnPageAndLocalScriptsMayAct) {
  Serve serve;
  ASSERT_GT(serve.port(), 0) << serve.firstLine();
  const std::string host = serve.host(), start = "/start";
  const std::string self = "Origin: http://127.0.0.1:" + std::to_string(serve.port()) + "\r\n";

  // Reads too must name this server (DNS rebinding); then what another
  // site's page can send: a simple form body (even with our Origin), its own
  // Origin, a preflight; and a compressed body. RequestPolicyTest judges the
  // rest of the variants.
  const std::tuple<std::string, const char*, const char*> refused[] = {
      {getText("/snapshot", "Host: elsewhere.example\r\n"), "421", "Host must name this server"},
      {getText("/snapshot", ""), "421", "Host must name this server"},
      {postText(host, start, queue, "Content-Type: application/x-www-form-urlencoded\r\n" + self),
       "415", "a request that changes something needs Content-Type: application/json"},
      {postText(host, start, queue, json + std::string("Origin: http://elsewhere.example\r\n")),
       "403", "requests from other sites are refused"},
      {"OPTIONS /start HTTP/1.1\r\n" + host + self + "Connection: close\r\n\r\n", "403",
       "cross-origin requests are refused"},
      {postText(host, start, queue, json + std::string("Content-Encoding: gzip\r\n")), "415",
       "compressed bodies are refused"},
  };
  for (const auto& [text, status, error] : refused) {
    const auto answer = serve.ask(text);
    EXPECT_EQ(answer.rfind("HTTP/1.1 " + std::string(status) + " ", 0), 0u) << text << answer;
    EXPECT_EQ(bodyOf(answer).rfind("{\"error\":\"" + std::string(error), 0), 0u) << answer;
  }
  EXPECT_EQ(bodyOf(serve.get("/snapshot")), "{\"version\":0,\"activity\":null}");

  // The page itself and a local script.
  EXPECT_EQ(statusLine(serve.ask(postText(host, start, queue, json + self))), "HTTP/1.1 200 OK");
  EXPECT_EQ(statusLine(serve.ask(
                postText(host, start, queue, "Content-Type: application/json; charset=utf-8\r\n"))),
            "HTTP/1.1 200 OK");
  const auto page =
      serve.ask(getText("/", "Host: localhost:" + std::to_string(serve.port()) + "\r\n"));
  for (const char* header :
       {"Content-Security-Policy: default-src 'none'; script-src 'self'", "frame-ancestors 'none'",
        "X-Frame-Options: DENY", "X-Content-Type-Options: nosniff"})
    EXPECT_NE(page.find(header), std::string::npos) << header;

  // A tap names its arguments in a JSON body or in the query.
  serve.waitForSnapshot();
  EXPECT_EQ(bodyOf(serve.post("/tap", R"({"presentation": "minimal", "x": 20, "y": 20})")),
            "{\"opened\":\"plumara://downloads\"}\n");
  EXPECT_EQ(bodyOf(serve.post("/tap?presentation=minimal&x=5&y=5", "")), "{}\n");
  EXPECT_EQ(statusLine(serve.post("/tap", R"({"presentation": "minimal"})")),
            "HTTP/1.1 400 Bad Request");

  // A queue that would never end is refused, and the server still answers.
  const auto never =
      serve.post(start, R"({"apps":[{"name":"A","size":1099511627776}],"bytesPerSecond":1})");
  EXPECT_EQ(statusLine(never), "HTTP/1.1 422 Unprocessable Entity");
  EXPECT_NE(bodyOf(never).find("at most a week"), std::string::npos) << never;

  // Pipelined requests are answered, in order.
  const auto answers =
      serve.ask("GET /nothing HTTP/1.1\r\n" + host + "\r\nGET /snapshot HTTP/1.1\r\n" + host +
                "\r\n" + getText("/elsewhere", host));
  const auto first = answers.find("HTTP/1.1 404"), second = answers.find("HTTP/1.1 200"),
             third = answers.find("HTTP/1.1 404", first + 1);
  EXPECT_TRUE(first < second && second < third && third != std::string::npos) << answers;
  EXPECT_NE(answers.find("{\"error\":\"no such page: /elsewhere\"}"), std::string::npos);

  kill(serve.pid(), SIGINT);
  EXPECT_EQ(serve.wait(seconds(1)), 0);
}

TEST(Serve, OpenStreamsAndSlowSendersStarveNoOne) {
  Serve serve;
  ASSERT_GT(serve.port(), 0) << serve.firstLine();
  const std::string host = serve.host();
  ASSERT_EQ(statusLine(serve.post("/start", queue)), "HTTP/1.1 200 OK");

  std::vector<int> streams, slow;
  for (int i = 0; i < 200; ++i)
    streams.push_back(serve.open("GET /events HTTP/1.1\r\n" + host + "\r\n"));
  for (int i = 0; i < 100; ++i)  // a length, and then nothing
    slow.push_back(serve.open("POST /state HTTP/1.1\r\n" + host + "Content-Length: 100\r\n"));
  for (int fd : streams) EXPECT_EQ(receive(fd, seconds(5), 12).substr(0, 12), "HTTP/1.1 200");
  for (int round = 0; round < 10; ++round) {
    const auto start = Clock::now();
    const auto answer = round % 2 == 0
                            ? serve.get("/snapshot")
                            : serve.post("/tap", R"({"presentation": "minimal", "x": 5, "y": 5})");
    EXPECT_EQ(statusLine(answer), "HTTP/1.1 200 OK") << round;
    EXPECT_LT(Clock::now() - start, milliseconds(500));
  }
  // The streams still carry snapshots; the slow senders are cut off.
  EXPECT_NE(receive(streams.front(), seconds(3), 4096).find("data: {\"version\":"),
            std::string::npos);
  EXPECT_TRUE(closedSilently(slow.front(), seconds(7)));
  EXPECT_TRUE(closedSilently(slow.back(), seconds(1)));
  for (int fd : streams) close(fd);
  for (int fd : slow) close(fd);

  // Beyond the bound on connections: a clear 503.
  std::vector<int> idle;
  for (int i = 0; i < 512; ++i) idle.push_back(serve.open(""));
  const auto busy = serve.get("/snapshot");
  EXPECT_EQ(statusLine(busy), "HTTP/1.1 503 Service Unavailable");
  EXPECT_NE(busy.find("{\"error\":\"too many connections"), std::string::npos);
  for (int fd : idle) close(fd);
}

// Each state pushed is drawn with the audit's findings of its pictures.
TEST(Serve, TheSnapshotListsTheFindingsOfTheStateItShows) {
  Serve serve;
  ASSERT_GT(serve.port(), 0) << serve.firstLine();
  ASSERT_EQ(statusLine(serve.post("/start", queue)), "HTTP/1.1 200 OK");
  const struct {
    const char* example;
    const char* shows;  // the start of the lock screen's texts
    const char* finding;
  } cases[] = {
      {"downloading", R"("texts":["Lantern, Tallies, Quill, Loop)",
       R"("kind":"tapTarget","element":"lockScreen/VStack/HStack[0]/Button[0]",)"},
      {"long-name", R"("texts":["Meridian)",
       R"("kind":"truncated","element":"lockScreen/VStack/HStack[0]/VStack[1]/Text[0]",)"
       R"("text":"Meridian Designer 2 – Professional Vector Graphics Suite for Illustrators")"},
      {"queued", R"("texts":["Lantern, Tallies, Quill",)", R"("findings":[]})"},
  };
  for (const auto& c : cases) {
    std::ifstream file(std::string(TOLVANE_SOURCE_DIR) + "/examples/" + c.example + ".json");
    const std::string state{std::istreambuf_iterator<char>(file), {}};
    // The app pushes its own states too: push again until this one is shown.
    std::string shown;
    for (const auto end = Clock::now() + seconds(10);
         Clock::now() < end && shown.find(c.shows) == std::string::npos;) {
      EXPECT_EQ(bodyOf(serve.post("/state", state)), "{\"accepted\":true}\n");
      std::this_thread::sleep_for(milliseconds(50));
      shown = bodyOf(serve.get("/snapshot"));
    }
    ASSERT_NE(shown.find(c.shows), std::string::npos) << c.example << shown;
    EXPECT_NE(shown.find(c.finding), std::string::npos) << c.example << shown;
  }
}

TEST(Serve, AnOversizedBodyIsRefusedUnreadAndTheServerDoesNotGrow) {
  Serve serve;
  ASSERT_GT(serve.port(), 0) << serve.firstLine();
  // Once warm (the drawing thread's fonts, a first refusal), ten refusals
  // of 2 MiB bodies, with and without a length, leave the size as it was.
  ASSERT_EQ(statusLine(serve.post("/start", queue)), "HTTP/1.1 200 OK");
  const std::string mebibytes(2 << 20, ' ');
  long before = 0;
  for (int round = 0; round < 11; ++round) {
    if (round == 1) {
      serve.waitForSnapshot();
      std::this_thread::sleep_for(milliseconds(200));
      before = serve.residentKiB();
    }
    const bool chunked = round % 2 == 1;
    const int fd = serve.open(
        "POST /state HTTP/1.1\r\n" + serve.host() + json +
        (chunked ? "Transfer-Encoding: chunked\r\n\r\n" : "Content-Length: 2097152\r\n\r\n"));
    std::thread sender(
        [&] { sendAll(fd, chunked ? "200000\r\n" + mebibytes + "\r\n0\r\n\r\n" : mebibytes); });
    EXPECT_EQ(statusLine(receive(fd, seconds(5), 64)), "HTTP/1.1 413 Payload Too Large") << round;
    shutdown(fd, SHUT_RDWR);
    sender.join();
    close(fd);
  }
  EXPECT_LT(serve.residentKiB() - before, growthLimitKiB);
}

// A client that writes its whole body before it reads, and gives up when a
// write fails, as a script may: the server drains the body it refuses, so
// the write ends and the 413 is there to read. The client's small send
// buffer keeps the body from fitting into the sockets' buffers unread.
TEST(Serve, AClientThatSendsItsWholeOversizedBodyFirstStillReadsThe413) {
  Serve serve;
  ASSERT_GT(serve.port(), 0) << serve.firstLine();
  const std::string request = "POST /state HTTP/1.1\r\n" + serve.host() + json +
                              "Content-Length: 2097152\r\n\r\n" + std::string(2 << 20, ' ');
  for (int round = 0; round < 20; ++round) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int buffer = 64 << 10;
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    const timeval limit{5, 0};  // a server that stops reading fails the write
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(serve.port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_TRUE(sendAll(fd, request)) << round;
    EXPECT_EQ(statusLine(receive(fd, seconds(5))), "HTTP/1.1 413 Payload Too Large") << round;
    close(fd);
  }
}

// Requests that a lenient reading would misframe or misjudge: each gets its
// status, and the text after the first answer is what the client may read
// next (never a body smuggled in as a second request, never a body after
// an answer to HEAD).
TEST(Serve, EveryRequestIsFramedAndJudgedAsHTTPSays) {
  Serve serve;
  ASSERT_GT(serve.port(), 0) << serve.firstLine();
  const std::string host = serve.host(), port = std::to_string(serve.port());
  const std::string smuggled = getText("/smuggled", host);
  const auto encoded = [&](const std::string& encoding, const std::string& body) {
    return "POST /tap HTTP/1.1\r\n" + host + json + "Transfer-Encoding: " + encoding + "\r\n\r\n" +
           body;
  };
  const std::tuple<std::string, const char*, const char*> cases[] = {
      {getText("/snapshot", host + "Host: elsewhere.example\r\n"), "400", ""},
      {encoded("identity", smuggled), "501", ""},
      {encoded("chunked, identity", smuggled), "400", ""},
      {encoded("gzip, chunked", "5\r\nhello\r\n0\r\n\r\n" + smuggled), "501", ""},
      {"HEAD /snapshot HTTP/1.1\r\n" + host + "\r\n" + getText("/nothing", host), "405",
       "HTTP/1.1 404"},
      {getText("http://127.0.0.1:" + port + "/snapshot", host), "200", ""},
      {getText("/snapshot", host + "Origin: http://\xfe\r\n"), "403", ""},
      {getText("/\xff\xc0", host), "404", ""},
  };
  for (const auto& [text, status, next] : cases) {
    const auto answer = serve.ask(text);
    EXPECT_EQ(answer.rfind("HTTP/1.1 " + std::string(status) + " ", 0), 0u) << text << answer;
    // The first answer as framed by its head; what follows it.
    const auto headEnd = answer.find("\r\n\r\n") + 4;
    const auto length = answer.find("Content-Length: ");
    const std::size_t bodySize = text.rfind("HEAD", 0) == 0 || length == std::string::npos
                                     ? 0
                                     : std::stoul(answer.substr(length + 16));
    const std::string body = answer.substr(headEnd, bodySize);
    EXPECT_EQ(answer.substr(std::min(answer.size(), headEnd + bodySize), 12), next) << text;
    if (body.rfind("{\"error\"", 0) == 0) {
      EXPECT_TRUE(Foundation::isValidUTF8(body)) << body;
    }
  }

  // Expect: 100-continue is answered before the body is sent.
  const int fd = serve.open("POST /tap HTTP/1.1\r\n" + host + json +
                            "Expect: 100-continue\r\nContent-Length: 2\r\n\r\n");
  EXPECT_EQ(receive(fd, seconds(2), 25), "HTTP/1.1 100 Continue\r\n\r\n");
  sendAll(fd, "{}");
  EXPECT_EQ(receive(fd, seconds(5), 12).substr(0, 12), "HTTP/1.1 400");
  close(fd);
}

TEST(Serve, HoldsItsPortAloneStopsWithinASecondAndListensOnLoopbackOnly) {
  Serve first({"--listen", "127.0.0.1:0", "--speed", "1000000"});
  ASSERT_GT(first.port(), 0) << first.firstLine();
  const std::string address = "127.0.0.1:" + std::to_string(first.port());
  Serve second({"--listen", address});
  EXPECT_EQ(second.wait(seconds(5)), 74);
  EXPECT_EQ(second.firstLine(), "error: cannot listen on " + address + ": Address already in use");

  // Neither a sender stopped mid-head nor an open stream holds up SIGTERM.
  const int slow = first.open("POST /start HTTP/1.1\r\n" + first.host() + "Content-Le");
  const int stream = first.open("GET /events HTTP/1.1\r\n" + first.host() + "\r\n");
  EXPECT_EQ(statusLine(first.post("/start", queue)), "HTTP/1.1 200 OK");
  std::this_thread::sleep_for(milliseconds(200));
  kill(first.pid(), SIGTERM);
  EXPECT_EQ(first.wait(seconds(1)), 0);
  close(slow);
  close(stream);

  for (const char* listen :
       {"127.0.0.1.example.com:0", "10.0.0.1:0", "0.0.0.0:0", "127.0.0.1:http", "[::]:0"}) {
    Serve refused({"--listen", listen});
    EXPECT_EQ(refused.wait(seconds(10)), 64) << listen << refused.firstLine();
  }
  Serve six({"--listen", "[::1]:0"});
  if (six.firstLine().rfind("error: cannot listen", 0) != 0) {  // a host without IPv6 cannot
    EXPECT_EQ(six.firstLine().rfind("serving http://[::1]:", 0), 0u) << six.firstLine();
  }
}

}  // namespace
