#include "audio/readers/url/core_proxy_source.h"

#include "audio/common/audio_runtime.h"
#include "interfaces/core/core.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

// The media core hands its proxy record here; it goes on to the connection as it is.
class ConnectionProxyReceiver final : public MProxyReceiver {
 public:
  explicit ConnectionProxyReceiver(MNetwork& connection) : connection_(connection) {}
  void SetProxy(const ProxyRecord& proxy) override {
    NetworkProxySettings settings;
    settings.url = proxy.url.c_str();
    settings.user = proxy.user.c_str();
    settings.password = proxy.password.c_str();
    connection_.SetProxy(settings);
  }

 private:
  MNetwork& connection_;
};

}  // namespace

void CoreProxySource::ApplyTo(MNetwork& connection) {
  RefPtr<MCore> core = AudioCreate<MCore>(kMediaCoreClass, kIID_MCore);
  if (!core) return;
  ConnectionProxyReceiver receiver(connection);
  core->GetProxySettings(&receiver);
}

}  // namespace vk2
