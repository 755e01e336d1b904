#include "core/script/player_settings_object.h"

#include <atomic>

#include "core/script/handler_frame.h"

namespace vk2 {

// One module's settings: Get and Set of its properties through the player.
class ScriptPlayerSettingObject final : public ScriptNativeObject<ScriptPlayerSettingObject> {
 public:
  ScriptPlayerSettingObject(const TString& module, MPlayer* player, MErrorRegistry* errors)
      : module_(module), player_(player), errors_(errors) {}

  bool Init() {
    if (!AttachScriptObject(module_, TString(u"Script Player Setting Object"))) return false;
    AddFunction(u"Get", u"Gets a configuration option for this module", &Get, this);
    AddFunction(u"Set", u"Sets a configuration option for this module", &Set, this);
    return true;
  }
  const TString& Module() const { return module_; }
  void Detach() { player_.store(nullptr); }

 private:
  static int32_t Get(HandlerCall& call) {
    auto* self = HandlerTarget<ScriptPlayerSettingObject>(call);
    if (ArgCount(call) != 1 || !ArgIsScalar(call, 0)) return kScriptBadArguments;
    MPlayer* player = self->player_.load();
    if (!player) return kScriptNoTarget;
    const TString name = ArgText(call, 0);
    const char16_t* module = self->module_.c_str();
    TString text;
    int32_t integer = 0;
    double number = 0.0;
    if (player->GetModuleString(module, name.c_str(), &text) >= 0) {
      SetResultText(call, text);
    } else if (player->GetModuleInteger(module, name.c_str(), &integer) >= 0) {
      SetResultText(call, TString::Format(u"%d", integer));
    } else if (player->GetModuleNumber(module, name.c_str(), &number) >= 0) {
      // Six decimals, as the preference panes expect ("2.5" reads back as "2.500000").
      SetResultText(call, TString::Format(u"%#lf", number));
    }
    return kScriptDone;
  }

  static int32_t Set(HandlerCall& call) {
    auto* self = HandlerTarget<ScriptPlayerSettingObject>(call);
    if (ArgCount(call) != 2 || !ArgIsScalar(call, 0) || !ArgIsScalar(call, 1)) {
      return kScriptBadArguments;
    }
    MPlayer* player = self->player_.load();
    if (!player) return kScriptNoTarget;
    const TString name = ArgText(call, 0), value = ArgText(call, 1);
    const char16_t* module = self->module_.c_str();
    int32_t r = player->SetModuleString(module, name.c_str(), value.c_str());
    int32_t integer = 0;
    double number = 0.0;
    if (r < 0 && ReadIntegerText(value, &integer)) {
      r = player->SetModuleInteger(module, name.c_str(), integer);
    }
    if (r < 0 && ReadNumberArg(value, &number)) {
      r = player->SetModuleNumber(module, name.c_str(), number);
    }
    if (r < 0) return ReportCode(call, self->errors_.Get(), r);
    SetResultText(call, TString(u"set"));
    return kScriptDone;
  }

  const TString module_;
  std::atomic<MPlayer*> player_;
  RefPtr<MErrorRegistry> errors_;
};

RefPtr<ScriptPlayerSettingsObject> ScriptPlayerSettingsObject::Create() {
  RefPtr<ScriptPlayerSettingsObject> object(new ScriptPlayerSettingsObject);
  if (!object->AttachScriptObject(TString(u"settings"),
                                  TString(u"Script Player Settings Object"))) {
    return {};
  }
  return object;
}

ScriptPlayerSettingsObject::ScriptPlayerSettingsObject() : errors_(MakeErrorRegistry()) {}

ScriptPlayerSettingsObject::~ScriptPlayerSettingsObject() {
  Detach();
}

void ScriptPlayerSettingsObject::SetPlayer(MPlayer* player) {
  {
    std::lock_guard hold(lock_);
    player_ = player;
  }
  if (player) player->AddRemoveModuleListListener(this, 1);
  SyncSettingObjects();
}

void ScriptPlayerSettingsObject::Detach() {
  MPlayer* player;
  {
    std::lock_guard hold(lock_);
    player = player_;
    player_ = nullptr;
    for (auto& child : children_)
      child->Detach();
  }
  // Outside the lock: removal waits for a notification in flight, which takes the lock.
  if (player) player->AddRemoveModuleListListener(this, 0);
}

void ScriptPlayerSettingsObject::RemoveChild(size_t index) {
  RefPtr<ScriptPlayerSettingObject> child = children_[index];
  children_.erase(children_.begin() + static_cast<ptrdiff_t>(index));
  child->Detach();
  auto* registry = static_cast<MScriptMemberRegistry*>(Script()->GetMemberRegistry());
  if (registry) registry->RemoveChild(child->Script());
  // The engine's table would otherwise keep the object (and its player pointer) for good.
  child->Script()->UnregisterFromEngine(nullptr);
}

void ScriptPlayerSettingsObject::SyncSettingObjects() {
  std::lock_guard hold(lock_);
  if (!player_) return;
  std::vector<TString> modules;
  if (player_->ListModules(&modules) < 0) return;
  auto listed = [&](const TString& name) {
    for (const TString& module : modules) {
      if (module.Equals(name, false)) return true;
    }
    return false;
  };
  for (size_t i = children_.size(); i-- > 0;) {
    if (!listed(children_[i]->Module())) RemoveChild(i);
  }
  auto* registry = static_cast<MScriptMemberRegistry*>(Script()->GetMemberRegistry());
  for (const TString& module : modules) {
    bool present = false;
    for (auto& child : children_)
      present = present || child->Module().Equals(module, false);
    if (present || !registry) continue;
    RefPtr<ScriptPlayerSettingObject> child(
        new ScriptPlayerSettingObject(module, player_, errors_.Get()));
    if (!child->Init()) continue;
    child->Script()->RegisterWithEngine(nullptr);
    registry->AddChild(child->Script());
    children_.push_back(child);
  }
}

}  // namespace vk2
