// The URL reader's connections go through the proxy the media core's settings name, with its
// credentials, on every connection the reader opens; without one they go direct.
#include "audio/readers/url/core_proxy_source.h"

#include <memory>
#include <string>

#include "component/object/com_object.h"
#include "interfaces/core/core.h"
#include "tests/audio/readers/url/url_reader_env.h"

namespace vk2::test {
namespace {

// A media core that knows only its proxy record.
class ProxyCore final : public ComObject<ProxyCore, Face<MCore, kIID_MCore>> {
 public:
  std::string url, user, password;
  int32_t GetProxySettings(MProxyReceiver* receiver) override {
    if (!url.empty()) receiver->SetProxy({url.c_str(), user.c_str(), password.c_str()});
    return kOk;
  }
  int32_t SetName(const TString&) override { return kErrNotSupported; }
  int32_t RemoveAllObjects() override { return kErrNotSupported; }
  int32_t GetName(TString*) override { return kErrNotSupported; }
  int32_t GetVersion(TString*) override { return kErrNotSupported; }
  int32_t GetBuildDate(TString*) override { return kErrNotSupported; }
  int32_t ScrambleText(TString*, const TString&, int32_t) override { return kErrNotSupported; }
  int32_t RegisterCallbackSink(MMediaCoreNotify**, uintptr_t, uintptr_t, uintptr_t, uintptr_t,
                               uintptr_t) override {
    return kErrNotSupported;
  }
  int32_t UnregisterCallbackSink(MMediaCoreNotify*) override { return kErrNotSupported; }
  MPlaylistManager* GetPlaylistManager() override { return nullptr; }
  MPlayerManager* GetPlayerManager() override { return nullptr; }
  int32_t AddRemoveListener(MCoreListener*, int32_t) override { return kErrNotSupported; }
  int32_t Reserved() override { return kErrNotSupported; }
};

constexpr char kStreamUrl[] = "http://stream.invalid:8000/live.ogg";
// "ann:s3cret" in Base64.
constexpr char kProxyCredentials[] = "\r\nProxy-Authorization: Basic YW5uOnMzY3JldA==\r\n";

class CoreProxyTest : public UrlReaderEnv {
 protected:
  void SetUp() override {
    UrlReaderEnv::SetUp();
    core_ = RefPtr<ProxyCore>(new ProxyCore);
    registry_.AddClass(kMediaCoreClass, [this](const Guid& iid, void** out) {
      return core_->QueryInterface(iid, out, 1, 0);
    });
    reader_->SetProxySource(std::make_shared<CoreProxySource>());
    // Straight from the connection: every request is one the test makes happen.
    Configure(0, 0);
  }
  static HttpTestServer::Handler Serve(const std::string& body) {
    return [body](const std::string&, const std::string&) {
      HttpAnswer a;
      a.body = body;
      return a;
    };
  }
  void UseProxy(const HttpTestServer& proxy) {
    core_->url = "http://127.0.0.1:" + std::to_string(proxy.Port()) + "/";
    core_->user = "ann";
    core_->password = "s3cret";
  }

  RefPtr<ProxyCore> core_;
};

TEST_F(CoreProxyTest, EveryConnectionTakesTheProxyTheSettingsNameNow) {
  const std::string body = PatternText(60000);
  HttpTestServer first(Serve(body));
  HttpTestServer second(Serve(body));
  UseProxy(first);
  // The stream's own host does not resolve: only the proxy can answer.
  ASSERT_EQ(Open(kStreamUrl), 0);
  EXPECT_TRUE(reader_->IsSeekable());
  char at[100];
  uint32_t count = 0;
  ASSERT_EQ(reader_->ReadAt(1000, at, sizeof(at), &count), 0);
  EXPECT_EQ(std::string(at, count), body.substr(1000, 100));
  const size_t beforeChange = first.RequestCount();
  // The probe, the full request and the read at an offset.
  EXPECT_EQ(beforeChange, static_cast<size_t>(reader_->ConnectionsOpened()) + 1);

  // A changed setting reaches the next connection: a far seek reconnects.
  UseProxy(second);
  ASSERT_EQ(reader_->SetPosition(40000), 0);
  Play();
  EXPECT_TRUE(Next().bytes == body.substr(40000, 1024));
  EXPECT_EQ(first.RequestCount(), beforeChange);
  ASSERT_EQ(second.RequestCount(), 1u);

  std::vector<std::string> requests = first.Requests();
  requests.push_back(second.Requests()[0]);
  for (const std::string& request : requests) {
    SCOPED_TRACE(request);
    EXPECT_EQ(request.rfind(std::string("GET ") + kStreamUrl + " ", 0), 0u);
    EXPECT_NE(request.find(kProxyCredentials), std::string::npos);
  }
}

TEST_F(CoreProxyTest, WithoutAProxyOrAMediaCoreConnectionsGoDirect) {
  const std::string body = PatternText(3000);
  HttpTestServer server(Serve(body));
  for (const bool withCore : {true, false}) {
    SCOPED_TRACE(withCore ? "no proxy set" : "no media core");
    if (!withCore) {
      registry_.AddClass(kMediaCoreClass, [](const Guid&, void**) { return kErrNoInterface; });
    }
    const size_t before = server.RequestCount();
    ASSERT_EQ(Open(server.Url("/direct")), 0);
    EXPECT_TRUE(Drain() == body);
    reader_->Close();
    const std::vector<std::string> requests = server.Requests();
    ASSERT_GT(requests.size(), before);
    for (size_t i = before; i < requests.size(); ++i) {
      EXPECT_EQ(requests[i].rfind("GET /direct ", 0), 0u);
      EXPECT_EQ(requests[i].find("Proxy-Authorization"), std::string::npos);
    }
  }
}

}  // namespace
}  // namespace vk2::test
