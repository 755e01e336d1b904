#include "audio/common/properties_face.h"

#include "foundation/util/result.h"

namespace vk2 {

int32_t PropertiesFace::GetString(const char16_t* name, TString* value) {
  const int32_t r = table_->GetString(name, value);
  if (r != kErrNotFound) return r;
  RefPtr<MModuleProperties> inner = Inner();
  return inner ? inner->GetString(name, value) : r;
}

int32_t PropertiesFace::GetInteger(const char16_t* name, int32_t* value) {
  const int32_t r = table_->GetInteger(name, value);
  if (r != kErrNotFound) return r;
  RefPtr<MModuleProperties> inner = Inner();
  return inner ? inner->GetInteger(name, value) : r;
}

int32_t PropertiesFace::GetNumber(const char16_t* name, double* value) {
  const int32_t r = table_->GetNumber(name, value);
  if (r != kErrNotFound) return r;
  RefPtr<MModuleProperties> inner = Inner();
  return inner ? inner->GetNumber(name, value) : r;
}

int32_t PropertiesFace::Describe(PropertyDescriptionList* list) {
  if (!list) return kErrMissingArg;
  if (RefPtr<MModuleProperties> inner = Inner()) {
    const int32_t r = inner->Describe(list);
    if (r < 0) return r;
  }
  return table_->Describe(list);
}

int32_t PropertiesFace::SetString(const char16_t* name, const char16_t* value) {
  const int32_t r = table_->SetString(name, value);
  if (r != kErrNotFound) return r;
  RefPtr<MModuleProperties> inner = Inner();
  return inner ? inner->SetString(name, value) : r;
}

int32_t PropertiesFace::SetInteger(const char16_t* name, int32_t value) {
  const int32_t r = table_->SetInteger(name, value);
  if (r != kErrNotFound) return r;
  RefPtr<MModuleProperties> inner = Inner();
  return inner ? inner->SetInteger(name, value) : r;
}

int32_t PropertiesFace::SetNumber(const char16_t* name, double value) {
  const int32_t r = table_->SetNumber(name, value);
  if (r != kErrNotFound) return r;
  RefPtr<MModuleProperties> inner = Inner();
  return inner ? inner->SetNumber(name, value) : r;
}

int32_t PropertiesFace::LoadSettings(MPreferenceStore* section) {
  const int32_t r = table_->LoadSettings(section);
  if (r < 0) return r;
  RefPtr<MModuleProperties> inner = Inner();
  return inner ? inner->LoadSettings(section) : r;
}

int32_t PropertiesFace::SaveSettings(MPreferenceStore* section) {
  const int32_t r = table_->SaveSettings(section);
  if (r < 0) return r;
  RefPtr<MModuleProperties> inner = Inner();
  return inner ? inner->SaveSettings(section) : r;
}

}  // namespace vk2
