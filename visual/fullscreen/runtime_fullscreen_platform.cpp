#include "visual/fullscreen/runtime_fullscreen_platform.h"

#include "audio/common/audio_runtime.h"
#include "interfaces/core/core.h"
#include "interfaces/ids.h"
#include "visual/fullscreen/sdl_fullscreen_backend.h"
#include "visual/host/host_global.h"

namespace vk2 {
namespace {

class RuntimeFullscreenPlatform final : public FullscreenPlatform {
 public:
  bool Devices(std::vector<FullscreenDevice>* devices) override {
    return SdlFullscreenBackend::Displays(devices, GuiApp());
  }
  std::unique_ptr<FullscreenBackend> NewBackend() override {
    return std::make_unique<SdlFullscreenBackend>(GuiApp());
  }
  RefPtr<MVisualHost> Host() override { return RefPtr<MVisualHost>(TheVisualHost().Get()); }
  RefPtr<MPlayer> FindPlayer(const TString& name) override {
    RefPtr<MCore> core = AudioCreate<MCore>(kMediaCoreClass, kIID_MCore);
    RefPtr<MPlayer> player;
    if (!core || !core->GetPlayerManager() || core->GetPlayerManager()->Find(name, &player) < 0) {
      return nullptr;
    }
    return player;
  }
  Clock& SessionClock() override { return SystemClock(); }

 private:
  // The GUI layer's application, whose loop owns SDL's windows while the user interface runs.
  static RefPtr<MOmbrixApp> GuiApp() {
    return AudioCreate<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp);
  }
};

}  // namespace

std::shared_ptr<FullscreenPlatform> MakeRuntimeFullscreenPlatform() {
  return std::make_shared<RuntimeFullscreenPlatform>();
}

}  // namespace vk2
