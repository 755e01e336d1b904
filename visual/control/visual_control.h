// The visual control object: owner of the visual groups and the script object `visuals`, from
// which scripts list, load and unload visuals, step a group through them and switch its post
// effects. A group's visual and post effects are kept in the preference section the object was
// given, written when its last window leaves and read back when it forms again.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/effects/control_object_core.h"
#include "component/object/com_object.h"
#include "component/script/script_binding_table.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/base_object.h"
#include "interfaces/runtime/preference_store.h"
#include "interfaces/visual/visual_control.h"
#include "interfaces/visual/visual_window.h"
#include "visual/control/post_effect_controls.h"

namespace vk2 {

class VisualControl final
    : public ComObject<VisualControl, Face<MVisualControl, kIID_MVisualControl>,
                       Face<MBaseObject, kIID_MBaseObject>> {
 public:
  // `host` null: the visualisation host is created through the runtime. `section` (may be null)
  // is where group state is kept.
  static RefPtr<VisualControl> Make(MVisualHost* host, MPreferenceStore* section);

  MScriptObject* Script() const { return core_.Script(); }
  // The script object becomes a child of `parent` (an MScriptObject).
  int32_t AttachTo(uintptr_t parent) { return core_.AttachTo(parent); }
  // Takes `visuals` and its children out of the script engine, whose references would
  // otherwise keep this object until the engine ends. The owner calls it before letting go.
  void Detach();
  // How many windows are members of a group now.
  size_t MemberCount();

  // MVisualControl
  int32_t GetGroupNames(std::vector<TString>* names) override;
  int32_t GroupNextVisual(const char16_t* group) override { return Step(group, +1); }
  int32_t GroupPrevVisual(const char16_t* group) override { return Step(group, -1); }
  int32_t GroupSetVisual(const char16_t* group, uint32_t id) override;
  int32_t GroupEnablePostEffect(const char16_t* group, const Guid& classId,
                                int32_t enable) override;
  int32_t GroupIsPostEffectEnabled(const char16_t* group, const Guid& classId) override;
  int32_t SendFilterMessage(const char16_t* group, const char16_t* message,
                            int32_t argument) override;
  int32_t AddRemoveGroupListener(MVisualGroupListener* listener, int32_t add) override;
  int32_t JoinGroup(MVisualGroupWindow* window, const char16_t* group) override;
  int32_t LeaveGroup(MVisualGroupWindow* window, const char16_t* group) override;

  // MBaseObject
  int32_t AttachPart(const Guid& classId, const Guid& iid) override;
  int32_t AddPart(MUnknown* part) override;
  int32_t QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                              const void* after) override;

 private:
  struct Group {
    TString name;
    std::vector<MVisualGroupWindow*> windows;  // not counted: a window leaves before it goes
    std::vector<Guid> effects;
    uint32_t visual = 0;
  };
  // Holds a group for one operation: a group with no window is loaded from the store first
  // and stored and dropped again afterwards.
  class GroupUse;

  VisualControl() = default;
  ~VisualControl() override;
  MUnknown* QueryMore(const Guid& iid) override { return core_.Parts().Find(iid); }

  Group* Find(const char16_t* name);
  void LoadStored(Group& group, MVisualGroupWindow* window);
  void Store(const Group& group);
  void ShowVisual(Group& group, uint32_t id);
  int32_t Step(const char16_t* name, int32_t direction);
  void NotifyChange(const TString& group, bool added);
  TString VisualName(uint32_t id);
  RefPtr<MVisualPostEffect> CreateEffect(const Guid& classId, int32_t* result);

  static VisualControl* Self(const HandlerCall& call);
  static int32_t GetVisualListHandler(HandlerCall& call);
  static int32_t GetVisualInfoListHandler(HandlerCall& call);
  static int32_t GetVisualInfoHandler(HandlerCall& call);
  static int32_t LoadVisualHandler(HandlerCall& call);
  static int32_t UnloadVisualHandler(HandlerCall& call);
  static int32_t StepHandler(HandlerCall& call);
  static int32_t SetVisualHandler(HandlerCall& call);
  static int32_t IsPostEffectEnabledHandler(HandlerCall& call);
  static int32_t EnablePostEffectHandler(HandlerCall& call);
  static int32_t GetPostEffectListHandler(HandlerCall& call);
  static int32_t CallbackHandler(HandlerCall& call);

  ControlObjectCore core_;
  RefPtr<PostEffectContainer> postEffects_;
  ScriptBindingTable bindings_;
  RefPtr<MVisualHost> host_;
  RefPtr<MVisualWindow> fullscreen_;  // adds its functions to `visuals`
  RefPtr<MPreferenceStore> section_;
  std::recursive_mutex groupLock_;  // groups_; re-entered by the implicit join and leave
  std::vector<Group> groups_;
  std::mutex listenerLock_;
  std::vector<MVisualGroupListener*> listeners_;
};

}  // namespace vk2
