#include "markup/controls/position_events.h"

#include "component/script/script_report.h"
#include "component/script/script_text.h"
#include "foundation/text/number_parse.h"
#include "interfaces/gui/window_element.h"
#include "markup/window/script_events.h"

namespace vk2::markup {
namespace {

bool ReadBoolean(const TString& text) {
  if (text.Equals(u"true", false)) return true;
  double number = 0;
  return IsNumberText(text.c_str(), static_cast<uint32_t>(text.Length()), &number) && number != 0;
}

}  // namespace

RefPtr<MScriptObject> MakePositionParams(int32_t intPos, double realPos) {
  return MakeRecordParams({{u"int", IntToString(intPos)}, {u"real", DoubleToString(realPos)}});
}

std::optional<bool> FireScriptQuery(MScriptObject* script, const char16_t* name,
                                    MScriptObject* params) {
  if (!script) return std::nullopt;
  RefPtr<MScriptObject> member;
  if (!script->FindMember(TString(name), member.Put(), false) || !member) return std::nullopt;
  RefPtr<MScriptObject> result;
  if (!member->Call(result.Put(), MarkupScriptEngine(), 0, script, params)) return false;
  TString text;
  if (ScriptDataEntity* data = result ? AsDataEntity(result.Get()) : nullptr) data->GetValue(&text);
  return ReadBoolean(text);
}

const char16_t* PositionEventName(uint32_t code) {
  switch (code) {
    case kNotifyQueryPosChange:
      return u"OnQueryPosChange";
    case kNotifyPosChange:
      return u"OnPosChange";
    case kNotifyPosFinalized:
      return u"OnPosFinalized";
    default:
      return nullptr;
  }
}

int32_t FirePositionEvent(MScriptObject* script, uint32_t code, int32_t intPos, double realPos) {
  const char16_t* name = PositionEventName(code);
  if (!name) return 0;
  RefPtr<MScriptObject> params;
  if (code == kNotifyPosChange) params = MakePositionParams(intPos, realPos);
  return FireScriptQuery(script, name, params.Get()).value_or(true) ? 1 : 0;
}

std::optional<int32_t> AnswerPositionNotification(PositionOwner& owner, MScriptObject* script,
                                                  uint32_t code, uintptr_t argument) {
  if (!PositionEventName(code) || !script) return std::nullopt;
  // A handler may close the window.
  RefPtr<MWindowElement> keep(owner.PositionWindow());
  const int32_t position =
      code == kNotifyQueryPosChange ? 0 : static_cast<int32_t>(static_cast<intptr_t>(argument));
  return FirePositionEvent(script, code, position, owner.PositionReal());
}

}  // namespace vk2::markup
