#include "audio/effects/effect_properties_face.h"

#include "foundation/util/result.h"

namespace vk2 {

int32_t EffectPropertiesFace::GetString(const char16_t* name, TString* value) {
  return table_->GetString(name, value);
}

int32_t EffectPropertiesFace::GetInteger(const char16_t* name, int32_t* value) {
  return table_->GetInteger(name, value);
}

int32_t EffectPropertiesFace::GetNumber(const char16_t* name, double* value) {
  return table_->GetNumber(name, value);
}

int32_t EffectPropertiesFace::Describe(PropertyDescriptionList* list) {
  if (!list) return kErrMissingArg;
  const int32_t r = table_->Describe(list);
  if (r < 0) return r;
  settings_->DescribeMore(list);
  return kOk;
}

int32_t EffectPropertiesFace::SetString(const char16_t* name, const char16_t* value) {
  return table_->SetString(name, value);
}

int32_t EffectPropertiesFace::SetInteger(const char16_t* name, int32_t value) {
  return table_->SetInteger(name, value);
}

int32_t EffectPropertiesFace::SetNumber(const char16_t* name, double value) {
  return table_->SetNumber(name, value);
}

int32_t EffectPropertiesFace::LoadSettings(MPreferenceStore* section) {
  return settings_->LoadEffectSettings(section);
}

int32_t EffectPropertiesFace::SaveSettings(MPreferenceStore* section) {
  return settings_->SaveEffectSettings(section);
}

int32_t EffectPropertiesFace::SendFilterMessage(const char16_t* text, uint32_t) {
  if (text) settings_->OnFilterMessage(TString(text));
  return kOk;
}

}  // namespace vk2
