// The preview server's request policy, judged on heads alone: no socket.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/foundation/UnicodeText.h"
#include "platform/host/play/RequestPolicy.h"

namespace Host {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

const Fields host{{"Host", "127.0.0.1:8080"}};
Fields with(Fields fields) {
  fields.insert(fields.begin(), host.begin(), host.end());
  return fields;
}
Fields posted(Fields fields) {
  fields.insert(fields.begin(), {"Content-Type", "application/json"});
  return with(fields);
}

struct Case {
  const char* what;
  unsigned short port;
  std::string method;
  std::string target;
  Fields fields;
  int status;        // 0: admitted
  std::string path;  // admitted: path?query; refused: "close" when the connection closes
};

TEST(RequestPolicy, JudgesEachRequestFromItsHead) {
  const Case cases[] = {
      {"its address", 8080, "GET", "/snapshot?v=1", host, 0, "/snapshot?v=1"},
      {"localhost, any case", 8080, "GET", "/", {{"host", " LocalHost:8080 "}}, 0, "/"},
      {"no Host", 8080, "GET", "/", {}, 421, ""},
      {"another site", 8080, "GET", "/", {{"Host", "elsewhere.example:8080"}}, 421, ""},
      {"another port", 8080, "GET", "/", {{"Host", "127.0.0.1:80"}}, 421, ""},
      {"no port but 80", 8080, "GET", "/", {{"Host", "127.0.0.1"}}, 421, ""},
      {"no port on 80", 80, "GET", "/", {{"Host", "localhost"}}, 0, "/"},
      {"port 80 written", 80, "GET", "/", {{"Host", "127.0.0.1:80"}}, 0, "/"},
      {"two Host fields", 8080, "GET", "/", with({{"Host", "elsewhere.example"}}), 400, "close"},
      {"the same Host twice", 8080, "GET", "/", with(host), 400, "close"},
      {"absolute form",
       8080,
       "GET",
       "http://127.0.0.1:8080/tap?x=1&y=2",
       {{"Host", "x"}},
       0,
       "/tap?x=1&y=2"},
      {"absolute form, no path", 8080, "GET", "HTTP://localhost:8080?v=1", {}, 0, "/?v=1"},
      {"absolute form elsewhere", 8080, "GET", "http://elsewhere.example/snapshot", host, 421, ""},
      {"absolute form, no port on 80", 80, "GET", "http://127.0.0.1/", host, 0, "/"},
      {"neither path nor URL", 8080, "GET", "*", host, 400, "close"},
      {"its own Origin", 8080, "POST", "/tap", posted({{"Origin", "http://127.0.0.1:8080"}}), 0,
       "/tap"},
      {"Origin without port on 80",
       80,
       "POST",
       "/tap",
       {{"Host", "localhost"},
        {"Content-Type", "application/json"},
        {"Origin", "http://localhost"}},
       0,
       "/tap"},
      {"another Origin", 8080, "POST", "/tap", posted({{"Origin", "http://elsewhere.example"}}),
       403, ""},
      {"Origin null", 8080, "GET", "/", with({{"Origin", "null"}}), 403, ""},
      {"a preflight", 8080, "OPTIONS", "/start", host, 403, ""},
      {"HEAD", 8080, "HEAD", "/snapshot", host, 405, ""},
      {"PUT with a body", 8080, "PUT", "/", with({{"Content-Length", "3"}}), 405, "close"},
      {"chunked", 8080, "POST", "/state", posted({{"Transfer-Encoding", "Chunked"}}), 0, "/state"},
      {"identity coding", 8080, "POST", "/tap", posted({{"Transfer-Encoding", "identity"}}), 501,
       "close"},
      {"gzip coding", 8080, "POST", "/tap", posted({{"Transfer-Encoding", "gzip"}}), 501, "close"},
      {"chunked not last", 8080, "POST", "/tap",
       posted({{"Transfer-Encoding", "chunked, identity"}}), 400, "close"},
      {"gzip then chunked", 8080, "POST", "/tap", posted({{"Transfer-Encoding", "gzip, chunked"}}),
       501, "close"},
      {"codings over two fields", 8080, "POST", "/tap",
       posted({{"Transfer-Encoding", "gzip"}, {"Transfer-Encoding", "chunked"}}), 501, "close"},
      {"the largest body", 8080, "POST", "/state", posted({{"Content-Length", "65536"}}), 0,
       "/state"},
      {"a larger body", 8080, "POST", "/state", posted({{"Content-Length", "65537"}}), 413,
       "close"},
      {"two lengths", 8080, "POST", "/state",
       posted({{"Content-Length", "2"}, {"Content-Length", "3"}}), 400, "close"},
      {"no type", 8080, "POST", "/start", host, 415, ""},
      {"a form", 8080, "POST", "/start",
       with({{"Content-Type", "text/plain"}, {"Content-Length", "2"}}), 415, "close"},
      {"JSON with a charset", 8080, "POST", "/start",
       with({{"Content-Type", "Application/JSON; charset=utf-8"}}), 0, "/start"},
      {"compressed", 8080, "POST", "/start", posted({{"Content-Encoding", "gzip"}}), 415, ""},
      {"another expectation", 8080, "GET", "/", with({{"Expect", "fast"}}), 417, ""},
      {"bytes not UTF-8", 8080, "GET", "/", {{"Host", "\xff\xfe:8080"}}, 421, ""},
  };
  for (const Case& c : cases) {
    const RequestPolicy policy({"127.0.0.1", "localhost"}, c.port, 64 * 1024);
    const auto judged = policy.judge({c.method, c.target, c.fields});
    if (c.status == 0) {
      ASSERT_TRUE(judged) << c.what << ": " << judged.error().answer.body;
      EXPECT_EQ(judged->path + (judged->query.empty() ? "" : "?" + judged->query), c.path)
          << c.what;
      EXPECT_EQ(judged->acts, c.method == "POST") << c.what;
      continue;
    }
    ASSERT_FALSE(judged) << c.what;
    EXPECT_EQ(judged.error().answer.status, c.status)
        << c.what << ": " << judged.error().answer.body;
    EXPECT_EQ(judged.error().close, c.path == "close") << c.what;
    EXPECT_TRUE(Foundation::isValidUTF8(judged.error().answer.body)) << c.what;
  }
}

TEST(RequestPolicy, AsksFor100ContinueOnlyBeforeABody) {
  const RequestPolicy policy({"127.0.0.1"}, 8080, 64 * 1024);
  const auto body =
      policy.judge({"POST", "/tap", posted({{"Expect", "100-Continue"}, {"Content-Length", "2"}})});
  ASSERT_TRUE(body);
  EXPECT_TRUE(body->continueFirst);
  const auto none = policy.judge({"GET", "/", with({{"Expect", "100-continue"}})});
  ASSERT_TRUE(none);
  EXPECT_FALSE(none->continueFirst);
}

}  // namespace
}  // namespace Host
