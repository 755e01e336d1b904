#include "core/script/item_struct.h"

#include <cmath>

#include "component/script/script_report.h"
#include "core/script/script_args.h"
#include "foundation/text/number_parse.h"
#include "interfaces/core/playlist.h"
#include "interfaces/script/script_data_entity.h"

namespace vk2 {
namespace {

constexpr const char16_t* kDurationNames[] = {u"duration_estimate", u"duration_verified",
                                              u"duration_unknown", u"duration_infinite"};

void SetToken(ItemInfo& record, const TString& name, const TString& value) {
  for (uint32_t i = 0; i < record.tokens.Count(); ++i) {
    if (record.tokens[i].name.Equals(name, false)) {
      record.tokens[i].name = name;
      record.tokens[i].value = value;
      return;
    }
  }
  record.tokens.Append(ItemToken{name, value});
}

}  // namespace

TString DurationTypeName(uint32_t kind) {
  if (kind < 1 || kind > 4) return TString();
  return TString(kDurationNames[kind - 1]);
}

void ItemFromScriptStruct(ItemInfo& record, MScriptObject* structure) {
  record.ClearPresence();
  ScriptDataEntity* data = AsDataEntity(structure);
  if (!data) return;
  const uint32_t count = data->ArraySize();
  for (uint32_t i = 0; i < count; ++i) {
    MScriptObject* member = data->GetAt(i);
    ScriptDataEntity* memberData = AsDataEntity(member);
    if (!memberData || memberData->IsArray()) continue;
    TString name, text;
    member->GetName(&name);
    memberData->GetValue(&text);
    if (name.Equals(u"url", false)) {
      record.SetUrl(text);
    } else if (name.Equals(u"title", false)) {
      record.SetTitle(text);
    } else if (name.Equals(u"author", false)) {
      record.SetAuthor(text);
    } else if (name.Equals(u"duration", false)) {
      double seconds = 0.0;
      if (ParseNumberText(text.c_str(), &seconds) > 0 && std::isfinite(seconds)) {
        record.duration = static_cast<float>(seconds);
        record.Set(kDurationPresent);
      }
    } else if (name.Equals(u"duration_type", false)) {
      for (uint32_t kind = 1; kind <= 4; ++kind) {
        if (text.Equals(kDurationNames[kind - 1], false)) {
          record.SetDurationType(kind);
          record.Set(kDurationTypePresent);
          break;
        }
      }
    } else {
      SetToken(record, name, text);
      record.Set(kTokensPresent);
    }
  }
}

void ItemToScriptStruct(const ItemInfo& record, MScriptObject* structure) {
  AppendText(structure, u"uid", TString::Format(u"%u", record.id));
  if (record.Has(kUrlPresent)) AppendText(structure, u"url", record.url);
  if (record.Has(kTitlePresent)) AppendText(structure, u"title", record.title);
  if (record.Has(kAuthorPresent)) AppendText(structure, u"author", record.author);
  if (record.Has(kDurationPresent)) {
    AppendText(structure, u"duration",
               TString::Format(u"%g", static_cast<double>(record.duration)));
  }
  if (record.Has(kDurationTypePresent)) {
    AppendText(structure, u"duration_type", DurationTypeName(record.GetDurationType()));
  }
  for (uint32_t i = 0; i < record.tokens.Count(); ++i) {
    AppendText(structure, record.tokens[i].name.c_str(), record.tokens[i].value);
  }
}

int32_t AddOneItem(MPlaylist* playlist, const ItemInfo& record, uint32_t afterId, uint32_t* newId) {
  TArray<uint32_t> ids;
  const int32_t r = playlist->AddItems(&record, 1, afterId, newId ? &ids : nullptr);
  if (r >= 0 && newId && ids.Count() > 0) *newId = ids[0];
  return r;
}

}  // namespace vk2
