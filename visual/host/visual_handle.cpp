#include "visual/host/visual_handle.h"

#include <new>

#include "foundation/util/result.h"
#include "interfaces/core/player.h"
#include "visual/host/visual_entry.h"
#include "visual/host/visual_host_object.h"
#include "visual/plugin/visual_instance.h"

namespace vk2 {

RefPtr<VisualHandle> VisualHandle::Make(RefPtr<VisualHostObject> host,
                                        std::shared_ptr<VisualEntry> entry, uint32_t renderKey) {
  return RefPtr<VisualHandle>(new (std::nothrow)
                                  VisualHandle(std::move(host), std::move(entry), renderKey));
}

VisualHandle::VisualHandle(RefPtr<VisualHostObject> host, std::shared_ptr<VisualEntry> entry,
                           uint32_t renderKey)
    : host_(std::move(host)), entry_(std::move(entry)), renderKey_(renderKey) {}

VisualHandle::~VisualHandle() {
  if (instance_) instance_->RemoveRenderArea(renderKey_);
  instance_.reset();
  player_ = nullptr;
  host_->HandleClosed(entry_);
}

bool VisualHandle::Attach(MPlayer* player, int32_t mode) {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (!instance_) instance_ = entry_->InstanceFor(player);
  int32_t accepted = kVisualDetached;
  if (instance_ && mode != kVisualDetached) {
    // First-generation plug-ins only draw; runtime modules say which modes they take.
    accepted = entry_->firstGeneration ? kVisualDrawMode
                                       : (instance_->AcceptsMode(mode) ? mode : kVisualDetached);
  }
  player_ = nullptr;
  mode_ = accepted;
  if (accepted == kVisualDetached) return false;
  player_ = RefPtr<MPlayer>(player);
  if (accepted == kVisualDrawMode) {
    instance_->StartOutput();
  } else {
    instance_->StopOutput();
  }
  return true;
}

int32_t VisualHandle::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  *name = entry_->Name();
  return kOk;
}

int32_t VisualHandle::GetAuthor(TString* author) {
  if (!author) return kErrMissingArg;
  *author = u"unknown";
  return kOk;
}

uint32_t VisualHandle::GetPluginWord() {
  return entry_->pluginWord;
}

uint32_t VisualHandle::GetId() {
  return entry_->id;
}

int32_t VisualHandle::GetProperty(const char16_t*, TString*) {
  return kErrNotFound;
}

bool VisualHandle::NeedsRedraw() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  return mode_ == kVisualDrawMode && instance_ && instance_->NeedsRedraw();
}

uint8_t VisualHandle::GetAttribute(int32_t index) {
  return index >= 1 && index <= 3 ? entry_->attributes[index - 1] : 0;
}

MVisualRenderer* VisualHandle::GetRenderer() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (mode_ != kVisualDrawMode) return nullptr;
  AddRef();
  return this;
}

int32_t VisualHandle::MarkFailed() {
  entry_->removalPending = true;
  return kOk;
}

int32_t VisualHandle::Render(const SurfaceView* target, int32_t x0, int32_t y0, int32_t x1,
                             int32_t y1, const VisualPostEffectItem* effects,
                             uint32_t effectCount) {
  std::shared_ptr<VisualInstance> instance;
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (mode_ != kVisualDrawMode || !instance_) return kErrFailed;
    instance = instance_;
  }
  return instance->Render(target, x0, y0, x1, y1, effects, effectCount, renderKey_);
}

}  // namespace vk2
