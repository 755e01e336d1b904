// The URL reader's proxy comes from the media core's settings.
#include "audio/readers/url/core_proxy_source.h"

#include <gtest/gtest.h>

#include "audio/common/audio_runtime.h"
#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/core/core.h"
#include "interfaces/ids.h"

namespace vk2::test {
namespace {

TEST(CoreProxySourceTest, ProxyAddressesAreReadAsHostAndPort) {
  const struct {
    const char* url;
    const char* host;
    uint16_t port;
  } cases[] = {
      {"http://127.0.0.1:3128", "127.0.0.1", 3128},
      {"http://127.0.0.1:3128/", "127.0.0.1", 3128},
      {"127.0.0.1:8080", "127.0.0.1", 8080},
      {"http://proxy.local", "proxy.local", 80},
      {"http://:3128", "", 0},
      {"http://host:port", "", 0},
      {"http://host:99999", "", 0},
      {"", "", 0},
  };
  for (const auto& c : cases) {
    const NetProxy proxy = ParseProxyUrl(c.url);
    EXPECT_EQ(proxy.host, c.host) << c.url;
    EXPECT_EQ(proxy.port, c.port) << c.url;
  }
}

// A media core that knows only its proxy.
class ProxyCore final : public ComObject<ProxyCore, Face<MCore, kIID_MCore>> {
 public:
  const char* url = nullptr;
  int32_t GetProxySettings(MProxyReceiver* receiver) override {
    if (url) receiver->SetProxy({url, "", ""});
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

class CoreHook final : public AudioRuntimeHook {
 public:
  int32_t CreateInstance(const Guid& classId, const Guid& iid, void** out) override {
    *out = nullptr;
    if (!core || !(classId == kMediaCoreClass)) return kErrNoInterface;
    return core->QueryInterface(iid, out, 1, 0);
  }
  ProxyCore* core = nullptr;
};

TEST(CoreProxySourceTest, EachConnectionAsksTheMediaCore) {
  CoreHook hook;
  AudioRuntimeHook* previous = SetAudioRuntimeHook(&hook);
  CoreProxySource source;
  EXPECT_TRUE(source.Proxy().host.empty()) << "no media core: direct";
  RefPtr<ProxyCore> core(new ProxyCore);
  hook.core = core.Get();
  EXPECT_TRUE(source.Proxy().host.empty()) << "no proxy enabled: direct";
  core->url = "http://127.0.0.1:3128";
  const NetProxy proxy = source.Proxy();
  EXPECT_EQ(proxy.host, "127.0.0.1");
  EXPECT_EQ(proxy.port, 3128);
  SetAudioRuntimeHook(previous);
}

}  // namespace
}  // namespace vk2::test
