// The property face of an effect filter: identity texts and plain properties from a
// PropertyTable, settings and the filter message from the filter itself.
#pragma once

#include <cstdint>

#include "audio/common/property_table.h"
#include "component/object/sub_object.h"
#include "interfaces/audio/module_properties.h"

namespace vk2 {

// What a filter does with its settings.
class EffectSettings {
 public:
  virtual int32_t LoadEffectSettings(MPreferenceStore* section) = 0;
  virtual int32_t SaveEffectSettings(MPreferenceStore* section) = 0;
  // A text sent to every module of the chain; names compare without regard to case.
  virtual void OnFilterMessage(const TString& text) = 0;
  // Entries after the table's.
  virtual void DescribeMore(PropertyDescriptionList* list) { (void)list; }

 protected:
  ~EffectSettings() = default;
};

class EffectPropertiesFace final : public SubObject<MModuleProperties> {
 public:
  EffectPropertiesFace(MUnknown* owner, const PropertyTable* table, EffectSettings* settings)
      : SubObject(owner), table_(table), settings_(settings) {}

  int32_t GetString(const char16_t* name, TString* value) override;
  int32_t GetInteger(const char16_t* name, int32_t* value) override;
  int32_t GetNumber(const char16_t* name, double* value) override;
  int32_t Describe(PropertyDescriptionList* list) override;
  int32_t SetString(const char16_t* name, const char16_t* value) override;
  int32_t SetInteger(const char16_t* name, int32_t value) override;
  int32_t SetNumber(const char16_t* name, double value) override;
  int32_t LoadSettings(MPreferenceStore* section) override;
  int32_t SaveSettings(MPreferenceStore* section) override;
  int32_t SendFilterMessage(const char16_t* text, uint32_t reserved) override;

 private:
  const PropertyTable* table_;
  EffectSettings* settings_;
};

}  // namespace vk2
