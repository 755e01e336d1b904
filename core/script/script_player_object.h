// The script face of one core player: a part of the core player (so asking the player for
// MScriptObject reaches it), carrying the player functions and the `settings` child, and
// turning the player's events into script callbacks ("Playing", "SongStarted", ...) on the
// player's event thread.
#pragma once

#include <cstdint>
#include <mutex>

#include "component/object/aggregation.h"
#include "component/script/script_binding_table.h"
#include "core/script/player_functions.h"
#include "core/script/player_settings_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/core.h"
#include "interfaces/core/player.h"
#include "interfaces/core/script_objects.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/base_object.h"

namespace vk2 {

class ScriptPlayerObject final
    : public Aggregatable<ScriptPlayerObject, Face<MScriptPlayerObject, kIID_MScriptPlayerObject>>,
      public PlayerFunctionTarget {
 public:
  // Made as a part of the object behind `host` (the core player), which keeps it. Null when the
  // host takes no parts or no script object can be made.
  static RefPtr<MScriptPlayerObject> Create(MBaseObject* host);

  void GetName(TString* out) override;
  void SetName(const TString& name) override;
  void Detach() override;
  int32_t Attach(MPlayer* player, MCore* core) override;

  MPlayer* Player() override { return player_; }
  MErrorRegistry* Errors() override { return errors_.Get(); }
  int32_t FindPlaylist(const TString& name, RefPtr<MPlaylist>* out) override;

  // The event name of a player event code, or null outside 0 to 11.
  static const char16_t* EventName(int32_t code);

 private:
  // What the object registers with its player; its counting goes to the object.
  class Listener final : public MPlayerListener {
   public:
    explicit Listener(ScriptPlayerObject* owner) : owner_(owner) {}
    int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                           uint32_t reserved) override {
      return owner_->QueryInterface(iid, out, addRef, reserved);
    }
    uint32_t AddRef() override { return owner_->AddRef(); }
    uint32_t Release() override { return owner_->Release(); }
    void OnEvent(MPlayer* player, int32_t code, const char16_t* text) override {
      owner_->OnPlayerEvent(player, code, text);
    }

   private:
    ScriptPlayerObject* owner_;
  };

  explicit ScriptPlayerObject(MBaseObject* host);
  ~ScriptPlayerObject() override;
  bool Init(MBaseObject* host);
  void OnPlayerEvent(MPlayer* player, int32_t code, const char16_t* text);

  Listener listener_{this};
  ScriptBindingTable bindings_;
  std::recursive_mutex eventLock_;
  std::mutex nameLock_;
  TString name_;
  MPlayer* player_ = nullptr;  // not counted: the player owns this object
  // Not counted: the core owns the player this object is a part of.
  MCore* core_ = nullptr;
  RefPtr<MErrorRegistry> errors_;
  MScriptObject* script_ = nullptr;  // not counted: a part of the same host
  RefPtr<ScriptPlayerSettingsObject> settings_;
};

}  // namespace vk2
