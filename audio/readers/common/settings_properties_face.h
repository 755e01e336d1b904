// A module's property sub-object when only some of its described properties are settings:
// names, values and descriptions come from `table`, LoadSettings and SaveSettings exchange only
// the entries of `settings` (a reader's "streamid" is described as stored, but the chain sets
// it, so it never goes to the preference store).
#pragma once

#include "audio/common/property_table.h"
#include "component/object/sub_object.h"
#include "interfaces/audio/module_properties.h"

namespace vk2 {

class SettingsPropertiesFace final : public SubObject<MModuleProperties> {
 public:
  SettingsPropertiesFace(MUnknown* owner, const PropertyTable* table, const PropertyTable* settings)
      : SubObject(owner), table_(table), settings_(settings) {}

  int32_t GetString(const char16_t* name, TString* value) override {
    return table_->GetString(name, value);
  }
  int32_t GetInteger(const char16_t* name, int32_t* value) override {
    return table_->GetInteger(name, value);
  }
  int32_t GetNumber(const char16_t* name, double* value) override {
    return table_->GetNumber(name, value);
  }
  int32_t Describe(PropertyDescriptionList* list) override { return table_->Describe(list); }
  int32_t SetString(const char16_t* name, const char16_t* value) override {
    return table_->SetString(name, value);
  }
  int32_t SetInteger(const char16_t* name, int32_t value) override {
    return table_->SetInteger(name, value);
  }
  int32_t SetNumber(const char16_t* name, double value) override {
    return table_->SetNumber(name, value);
  }
  int32_t LoadSettings(MPreferenceStore* section) override {
    return settings_->LoadSettings(section);
  }
  int32_t SaveSettings(MPreferenceStore* section) override {
    return settings_->SaveSettings(section);
  }
  int32_t SendFilterMessage(const char16_t*, uint32_t) override { return 0; }

 private:
  const PropertyTable* table_;
  const PropertyTable* settings_;
};

}  // namespace vk2
