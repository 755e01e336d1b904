// A proxy given as settings text reaches the connection: requests and downloads go to it with
// the whole URL and the proxy's credentials; clearing it makes connections direct again.
#include "tests/oru/network/network_env.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

constexpr char kUrl[] = "http://radio.invalid:8000/live.ogg";
// "ann:s3cret" in Base64.
constexpr char kCredentials[] = "\r\nProxy-Authorization: Basic YW5uOnMzY3JldA==\r\n";

HttpTestServer::Handler Serve(const std::string& body) {
  return [body](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = body;
    return a;
  };
}

TEST(NetworkProxyTest, ProxyReachesOpensAndDownloads) {
  const std::string body = PatternText(5000);
  HttpTestServer proxy(Serve(body));
  const std::string address = "http://127.0.0.1:" + std::to_string(proxy.Port()) + "/";
  RefPtr<MNetwork> connection = NewConnection();
  NetworkProxySettings settings;
  settings.url = address.c_str();
  settings.user = "ann";
  settings.password = "s3cret";
  ASSERT_EQ(connection->SetProxy(settings), 0);

  // The stream's own host does not resolve: only the proxy can answer.
  ASSERT_EQ(connection->Open(kUrl, kNetworkOpenRead, 100, -1, nullptr), kNetworkOk);
  int64_t ended = 1;
  EXPECT_TRUE(ReadAll(*connection, &ended) == body.substr(100));
  TempFolder folder;
  ASSERT_EQ(connection->Download(kUrl, Utf16(folder / "live.ogg").c_str(), nullptr, nullptr),
            kNetworkOk);
  const std::vector<std::string> requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 2u);
  for (const std::string& request : requests) {
    EXPECT_EQ(request.rfind(std::string("GET ") + kUrl + " HTTP/1.0\r\n", 0), 0u);
    EXPECT_NE(request.find(kCredentials), std::string::npos);
  }
  EXPECT_NE(requests[0].find("\r\nRange: bytes=100-\r\n"), std::string::npos);

  // No user: no credentials. No URL: direct.
  HttpTestServer direct(Serve(body));
  settings.user = nullptr;
  connection->SetProxy(settings);
  ASSERT_EQ(connection->Open(kUrl, kNetworkOpenRead, 0, -1, nullptr), kNetworkOk);
  ASSERT_EQ(proxy.RequestCount(), 3u);
  EXPECT_EQ(proxy.Requests()[2].find("Proxy-Authorization"), std::string::npos);
  connection->SetProxy(NetworkProxySettings{});
  ASSERT_EQ(connection->Open(direct.Url("/a").c_str(), kNetworkOpenRead, 0, -1, nullptr),
            kNetworkOk);
  EXPECT_EQ(proxy.RequestCount(), 3u);
  ASSERT_EQ(direct.RequestCount(), 1u);
  EXPECT_EQ(direct.Requests()[0].rfind("GET /a HTTP/1.0\r\n", 0), 0u);
}

}  // namespace
}  // namespace vk2::test
