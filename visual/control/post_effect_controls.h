// The script child `posteffects` of `visuals`: one control object per post effect the host
// offers, named by the effect's module name, through which scripts read and write the effect's
// settings for a group and send filter messages to a group's effects. The container follows the
// host's post-effect classes as they come and go.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "audio/effects/control_object_core.h"
#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/base_object.h"
#include "interfaces/visual/visual_control.h"

namespace vk2 {

class PostEffectControl final
    : public ComObject<PostEffectControl, Face<MBaseObject, kIID_MBaseObject>> {
 public:
  // `owner` receives the filter messages and outlives the control.
  static RefPtr<PostEffectControl> Make(MVisualPostEffect* effect, const Guid& classId,
                                        const TString& moduleName, MVisualControl* owner);
  MScriptObject* Script() const { return core_.Script(); }
  int32_t AttachTo(uintptr_t parent) { return core_.AttachTo(parent); }

  // The effect's settings for `group`, loaded from the store.
  int32_t Get(const TString& group, const TString& setting, TString* value);
  // The value as text, else as a number, else as an integer; saved to the store on success.
  int32_t Set(const TString& group, const TString& setting, const TString& value);

  // MBaseObject
  int32_t AttachPart(const Guid& classId, const Guid& iid) override;
  int32_t AddPart(MUnknown* part) override;
  int32_t QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                              const void* after) override;

 private:
  PostEffectControl() = default;
  ~PostEffectControl() override = default;
  MUnknown* QueryMore(const Guid& iid) override { return core_.Parts().Find(iid); }

  RefPtr<MPreferenceStore> OpenGroup(const TString& group);
  // A fresh effect of the class loaded with the group's settings: a value one group never
  // stored must not come from another group read before it.
  RefPtr<MVisualPostEffect> LoadFor(MPreferenceStore* store);

  static int32_t GetHandler(HandlerCall& call);
  static int32_t SetHandler(HandlerCall& call);
  static int32_t SendFilterMessageHandler(HandlerCall& call);

  ControlObjectCore core_;
  std::mutex lock_;                   // the effect's settings are loaded and used under it
  RefPtr<MVisualPostEffect> effect_;  // used where no fresh one can be made
  Guid classId_{};
  TString moduleName_;
  MVisualControl* owner_ = nullptr;
};

class PostEffectContainer final
    : public ComObject<PostEffectContainer, Face<MBaseObject, kIID_MBaseObject>>,
      public MVisualHostListener {
 public:
  static RefPtr<PostEffectContainer> Make(MVisualHost* host, MVisualControl* owner);
  MScriptObject* Script() const { return core_.Script(); }
  int32_t AttachTo(uintptr_t parent) { return core_.AttachTo(parent); }
  // Stops listening to the host; the owner calls it before it goes.
  void Shutdown();
  // Brings the children in line with the post effects the host offers now.
  void Refresh();

  // MVisualHostListener
  void OnVisualClassesChanged() override { Refresh(); }

  // MBaseObject
  int32_t AttachPart(const Guid& classId, const Guid& iid) override;
  int32_t AddPart(MUnknown* part) override;
  int32_t QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                              const void* after) override;

 private:
  PostEffectContainer() = default;
  ~PostEffectContainer() override = default;
  MUnknown* QueryMore(const Guid& iid) override { return core_.Parts().Find(iid); }

  ControlObjectCore core_;
  std::recursive_mutex lock_;
  RefPtr<MVisualHost> host_;
  MVisualControl* owner_ = nullptr;
  bool listening_ = false;
  std::map<std::u16string, RefPtr<PostEffectControl>> children_;  // by module name
};

}  // namespace vk2
