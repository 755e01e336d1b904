// The object behind MVisualWindow: lists the displays a full-screen visual can cover, keeps the
// chosen one in the "visuals" preference section, and launches full-screen sessions, each on a
// thread of its own and at most one per display.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/text/tstring.h"
#include "foundation/util/guid.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "interfaces/script/handler_call.h"
#include "interfaces/visual/visual_window.h"
#include "visual/fullscreen/fullscreen_session.h"

namespace vk2 {

struct FullscreenDevice {
  TString name;
  TString description;
  Guid id;  // all zero for the primary display
  int32_t display = 0;
};

// What the service needs of the window system and the rest of the player.
class FullscreenPlatform {
 public:
  virtual ~FullscreenPlatform() = default;
  // False when no display can be reached at all.
  virtual bool Devices(std::vector<FullscreenDevice>* devices) = 0;
  virtual std::unique_ptr<FullscreenBackend> NewBackend() = 0;
  virtual RefPtr<MVisualHost> Host() = 0;
  virtual RefPtr<MPlayer> FindPlayer(const TString& name) = 0;
  virtual Clock& SessionClock() = 0;
};

class FullscreenService final
    : public ComObject<FullscreenService, Face<MVisualWindow, kIID_MVisualWindow>> {
 public:
  // `section` (may be null) is the root the "visuals" section is opened under.
  static RefPtr<FullscreenService> Make(std::shared_ptr<FullscreenPlatform> platform,
                                        MPreferenceStore* section);

  int32_t Register(MScriptObject* script) override;

  // 0 when the display started; -1 without displays, -6 when the chosen display is in use.
  int32_t Launch(const TString& visualName, const TString& playerName);
  int32_t SetDisplayDevice(const TString& idText);
  // Ends every running display and waits for it.
  void StopAll();
  size_t RunningCount();

 private:
  struct Display {
    Guid device;
    std::unique_ptr<FullscreenSession> session;
    std::thread thread;
    std::atomic<bool> ended{false};
  };

  FullscreenService() = default;
  ~FullscreenService() override;
  RefPtr<MPreferenceStore> Visuals();
  void Reap();

  static int32_t LaunchHandler(HandlerCall& call);
  static int32_t GetDeviceListHandler(HandlerCall& call);
  static int32_t SetDisplayDeviceHandler(HandlerCall& call);

  std::shared_ptr<FullscreenPlatform> platform_;
  RefPtr<MPreferenceStore> section_;
  std::mutex lock_;
  std::vector<std::shared_ptr<Display>> displays_;
};

}  // namespace vk2
