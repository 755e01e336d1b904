#include "component/script/handler_call_args.h"

#include "component/script/script_report.h"

namespace vk2 {
namespace {

MScriptObject* Member(MScriptObject* array, uint32_t i) {
  ScriptDataEntity* list = AsDataEntity(array);
  return list && i < list->ArraySize() ? list->GetAt(i) : nullptr;
}

TString TextOf(MScriptObject* item) {
  TString text;
  if (ScriptDataEntity* data = AsDataEntity(item)) {
    data->GetValue(&text);
  } else if (item) {
    item->GetUid(&text);  // an object stands as the UID that names it
  }
  return text;
}

}  // namespace

uint32_t HandlerCallArgs::Count() const {
  ScriptDataEntity* list = AsDataEntity(params_);
  return list ? list->ArraySize() : 0;
}

int32_t HandlerCallArgs::ArrayLength(uint32_t i) const {
  ScriptDataEntity* item = AsDataEntity(Member(params_, i));
  if (!item || item->IsScalar()) return kSingleValue;
  return static_cast<int32_t>(item->ArraySize());
}

TString HandlerCallArgs::ItemText(uint32_t i) const {
  return TextOf(Member(params_, i));
}

TString HandlerCallArgs::ElementText(uint32_t i, uint32_t j) const {
  return TextOf(Member(Member(params_, i), j));
}

}  // namespace vk2
