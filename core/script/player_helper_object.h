// `player`: display texts for skins from the player's state and the user's templates (the song
// line, the time line, the track number and a playlist's total time). The templates are
// preferences of the section "PlayerHelper" and data members of the object.
#pragma once

#include "core/script/script_native_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/core.h"
#include "interfaces/core/script_objects.h"
#include "interfaces/runtime/error_registry.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2 {

class PlayerHelperObject final
    : public ScriptNativeObject<PlayerHelperObject,
                                Face<MPlayerHelper, kIID_PlayerHelperScriptObject>> {
 public:
  static RefPtr<MPlayerHelper> Create();

  int32_t Attach(MCore* core, MPreferenceStore* preferences) override;
  void Detach() override;

  MCore* Core() const { return core_.Get(); }
  MErrorRegistry* Errors() const { return errors_.Get(); }
  // The text of a template member, or `fallback` when the member is missing.
  TString Template(const char16_t* member, const TString& fallback);

 private:
  PlayerHelperObject();
  ~PlayerHelperObject() override;

  RefPtr<MCore> core_;
  RefPtr<MPreferenceStore> preferences_;
  RefPtr<MErrorRegistry> errors_;
};

}  // namespace vk2
