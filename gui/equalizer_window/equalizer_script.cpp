#include "gui/equalizer_window/equalizer_script.h"

#include "component/script/script_factory.h"
#include "component/script/script_report.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/ids.h"
#include "interfaces/script/handler_call.h"
#include "interfaces/script/script_object.h"

namespace vk2::gui {
namespace {

constexpr int32_t kScriptOk = 0;
constexpr int32_t kScriptBadArguments = -3;

bool HasArguments(const HandlerCall& call) {
  ScriptDataEntity* params = call.params ? AsDataEntity(call.params) : nullptr;
  return params && params->ArraySize() > 0;
}

int32_t UpdateHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  auto* target = reinterpret_cast<EqualizerUpdates*>(call.handlerData);
  if (target) target->UpdateFromScript(call.handlerTag != 0);
  return kScriptOk;
}

}  // namespace

bool ScriptObjectEqualizer::Call(const char16_t* name, const std::vector<TString>& params,
                                 TString* result) {
  if (!object_) return false;
  RefPtr<MScriptObject> member;
  if (!object_->FindMember(TString(name), member.Put(), false) || !member) return false;
  // A call's frame holds its arguments as the array "params", as a script's own call does.
  RefPtr<MScriptObject> frame;
  RefPtr<MScriptObject> array;
  if (CreateScriptInstance(kIID_MScriptMemberRegistry, nullptr, frame.PutVoid()) < 0 || !frame ||
      CreateScriptInstance(kIID_ScriptDataEntity, nullptr, array.PutVoid()) < 0 || !array)
    return false;
  array->SetName(TString(u"params"));
  for (const TString& text : params) {
    if (!AddArrayMember(array.Get(), text, TString())) return false;
  }
  auto* frameMembers = static_cast<MScriptMemberRegistry*>(frame->GetMemberRegistry());
  if (!frameMembers || !frameMembers->AddChild(array.Get())) return false;
  RefPtr<MScriptObject> value;
  if (!member->Call(value.Put(), engine_, 0, object_, frame.Get())) return false;
  TString text;
  if (ScriptDataEntity* data = value ? AsDataEntity(value.Get()) : nullptr) data->GetValue(&text);
  *result = text;
  return true;
}

bool RegisterEqualizerMethods(MScriptObject* script, EqualizerUpdates* target) {
  auto* registry =
      script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
  if (!registry) return false;
  const auto data = reinterpret_cast<uintptr_t>(target);
  return registry->AddFunction(u"UpdateDisplay", kUpdateDisplayHelp, false, &UpdateHandler, script,
                               data, 0) &&
         registry->AddFunction(u"UpdateBands", kUpdateBandsHelp, false, &UpdateHandler, script,
                               data, 1);
}

}  // namespace vk2::gui
