// `settings` under a player object: one child per audio module the player can configure, each
// with Get and Set for one named property of that module. The children follow the player's
// module list.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "core/script/script_native_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/player.h"
#include "interfaces/runtime/error_registry.h"

namespace vk2 {

class ScriptPlayerSettingObject;

class ScriptPlayerSettingsObject final : public ScriptNativeObject<ScriptPlayerSettingsObject>,
                                         private MModuleListListener {
 public:
  static RefPtr<ScriptPlayerSettingsObject> Create();

  // Starts following `player`'s module list and makes the children for it.
  void SetPlayer(MPlayer* player);
  // Stops following the player and cuts every child off from it, so a script that still holds
  // one gets no answer from a player that is gone.
  void Detach();
  // Adds a child for every listed module that has none and drops the children of modules no
  // longer listed (names compare ignoring case).
  void SyncSettingObjects();

 private:
  ScriptPlayerSettingsObject();
  ~ScriptPlayerSettingsObject() override;

  void OnModuleListChanged() override { SyncSettingObjects(); }
  void RemoveChild(size_t index);

  std::recursive_mutex lock_;
  MPlayer* player_ = nullptr;  // not counted: the player owns the object that owns this one
  RefPtr<MErrorRegistry> errors_;
  std::vector<RefPtr<ScriptPlayerSettingObject>> children_;
};

}  // namespace vk2
