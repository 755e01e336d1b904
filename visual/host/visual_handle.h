// A handle on one visual, handed out per request: attaches the visual to a player and renders
// it. While it lives, its entry stays listed (a removal waits for the last handle).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/visual/visual_host.h"

namespace vk2 {

class VisualEntry;
class VisualHostObject;
class VisualInstance;

class VisualHandle final
    : public ComObject<VisualHandle, SilentFace<MVisual>, SilentFace<MVisualRenderer>> {
 public:
  static RefPtr<VisualHandle> Make(RefPtr<VisualHostObject> host,
                                   std::shared_ptr<VisualEntry> entry, uint32_t renderKey);

  // MVisual
  bool Attach(MPlayer* player, int32_t mode) override;
  int32_t GetName(TString* name) override;
  int32_t GetAuthor(TString* author) override;
  double GetVersion() override { return 1.0; }
  uint32_t GetPluginWord() override;
  uint32_t GetId() override;
  int32_t GetProperty(const char16_t* name, TString* value) override;
  bool NeedsRedraw() override;
  uint8_t GetAttribute(int32_t index) override;
  MVisualRenderer* GetRenderer() override;
  int32_t MarkFailed() override;

  // MVisualRenderer
  int32_t Render(const SurfaceView* target, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                 const VisualPostEffectItem* effects, uint32_t effectCount) override;

 private:
  friend class ComObject<VisualHandle, SilentFace<MVisual>, SilentFace<MVisualRenderer>>;
  VisualHandle(RefPtr<VisualHostObject> host, std::shared_ptr<VisualEntry> entry,
               uint32_t renderKey);
  ~VisualHandle() override;

  RefPtr<VisualHostObject> host_;
  std::shared_ptr<VisualEntry> entry_;
  const uint32_t renderKey_;
  std::recursive_mutex lock_;
  std::shared_ptr<VisualInstance> instance_;
  RefPtr<MPlayer> player_;
  int32_t mode_ = kVisualDetached;
};

}  // namespace vk2
