// The property sub-object of a module: MModuleInfo / MModuleProperties (one 13-operation object
// answers both ids) over the module's PropertyTable. Its unknown is the owner's. Names the
// table does not know go to an inner object when there is one (the generic endpoint's device);
// the inner object's descriptions come first and its settings are loaded and saved after the
// table's.
#pragma once

#include <cstdint>
#include <functional>

#include "audio/common/property_table.h"
#include "component/object/sub_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/module_properties.h"

namespace vk2 {

class PropertiesFace final : public SubObject<MModuleProperties> {
 public:
  using InnerProvider = std::function<RefPtr<MModuleProperties>()>;

  PropertiesFace(MUnknown* owner, const PropertyTable* table) : SubObject(owner), table_(table) {}
  void SetInner(InnerProvider inner) { inner_ = std::move(inner); }

  int32_t GetString(const char16_t* name, TString* value) override;
  int32_t GetInteger(const char16_t* name, int32_t* value) override;
  int32_t GetNumber(const char16_t* name, double* value) override;
  int32_t Describe(PropertyDescriptionList* list) override;
  int32_t SetString(const char16_t* name, const char16_t* value) override;
  int32_t SetInteger(const char16_t* name, int32_t value) override;
  int32_t SetNumber(const char16_t* name, double value) override;
  int32_t LoadSettings(MPreferenceStore* section) override;
  int32_t SaveSettings(MPreferenceStore* section) override;
  int32_t SendFilterMessage(const char16_t*, uint32_t) override { return 0; }

 private:
  RefPtr<MModuleProperties> Inner() const { return inner_ ? inner_() : nullptr; }

  const PropertyTable* table_;
  InnerProvider inner_;
};

}  // namespace vk2
