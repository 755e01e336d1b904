#include "visual/host/host_global.h"

#include <mutex>

namespace vk2 {
namespace {

std::mutex gHostLock;
RefPtr<VisualHostObject> gHost;

}  // namespace

RefPtr<VisualHostObject> TheVisualHost() {
  std::lock_guard<std::mutex> lock(gHostLock);
  if (!gHost) gHost = VisualHostObject::Make();
  return gHost;
}

void ReleaseVisualHost() {
  RefPtr<VisualHostObject> host;
  {
    std::lock_guard<std::mutex> lock(gHostLock);
    host.Swap(gHost);
  }
  if (host) host->Shutdown();
}

}  // namespace vk2
