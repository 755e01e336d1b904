#include "core/script/script_args.h"

#include <cmath>

#include "component/script/script_factory.h"
#include "component/script/script_report.h"
#include "foundation/text/number_parse.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {

uint32_t ArgCount(const HandlerCall& call) {
  ScriptDataEntity* list = AsDataEntity(call.params);
  return list ? list->ArraySize() : 0;
}

MScriptObject* ArgAt(const HandlerCall& call, uint32_t index) {
  ScriptDataEntity* list = AsDataEntity(call.params);
  return list && index < list->ArraySize() ? list->GetAt(index) : nullptr;
}

bool ArgIsScalar(const HandlerCall& call, uint32_t index) {
  ScriptDataEntity* data = AsDataEntity(ArgAt(call, index));
  return data && !data->IsArray();
}

TString ArgText(const HandlerCall& call, uint32_t index) {
  TString text;
  ScriptDataEntity* data = AsDataEntity(ArgAt(call, index));
  if (data && !data->IsArray()) data->GetValue(&text);
  return text;
}

uint32_t RequiredArgCount(const char16_t* format) {
  uint32_t required = 0;
  for (const char16_t* p = format; p && *p; ++p) {
    if (*p >= u'A' && *p <= u'Z') ++required;
  }
  return required;
}

bool HasRequiredArgs(const HandlerCall& call, const char16_t* format) {
  return ArgCount(call) >= RequiredArgCount(format);
}

bool ReadIdText(const TString& text, uint32_t* out) {
  const char16_t* p = text.c_str();
  const bool negative = *p == u'-';
  if (negative) ++p;
  uint32_t value = 0;
  if (ParseUnsignedText(p, &value) <= 0) return false;
  *out = negative ? 0u - value : value;
  return true;
}

bool ReadBoolText(const TString& text, bool* out) {
  if (text.IsEmpty()) return false;
  *out = !(text.Equals(u"0") || text.Equals(u"false", false));
  return true;
}

bool ReadNumberArg(const TString& text, double* out) {
  double value = 0.0;
  if (ParseNumberText(text.c_str(), &value) <= 0 || !std::isfinite(value)) return false;
  *out = value;
  return true;
}

bool ReadIntegerText(const TString& text, int32_t* out) {
  int32_t value = 0;
  if (ParseIntegerText(text.c_str(), &value) <= 0) return false;
  *out = value;
  return true;
}

TString Joined(std::initializer_list<TString> parts) {
  TString text;
  for (const TString& part : parts)
    text += part;
  return text;
}

TString FormatId(uint32_t id) {
  return TString::Format(u"%#08x", id);
}

RefPtr<MScriptObject> NewDataItem() {
  RefPtr<MScriptObject> item;
  if (Failed(CreateScriptInstance(kIID_ScriptDataEntity, nullptr, item.PutVoid()))) return {};
  return item;
}

void SetResultText(HandlerCall& call, const TString& text) {
  if (ScriptDataEntity* data = AsDataEntity(call.result)) data->SetValue(text);
}

// A new member at the end, named unless the name is empty.
MScriptObject* AppendMember(MScriptObject* item, const char16_t* name) {
  ScriptDataEntity* data = AsDataEntity(item);
  MScriptObject* member = data ? data->AppendNew() : nullptr;
  if (member && name && *name) member->SetName(name);
  return member;
}

void AppendText(MScriptObject* item, const char16_t* name, const TString& value) {
  if (ScriptDataEntity* member = AsDataEntity(AppendMember(item, name))) member->SetValue(value);
}

MScriptObject* AppendArray(MScriptObject* item, const char16_t* name) {
  MScriptObject* member = AppendMember(item, name);
  if (ScriptDataEntity* memberData = AsDataEntity(member)) memberData->SetArraySize(0);
  return member;
}

}  // namespace vk2
