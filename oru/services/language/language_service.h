// The language service and its text domains.
#pragma once

#include <atomic>
#include <memory>

#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/language_service.h"
#include "oru/services/language/language_data.h"

namespace vk2::oru {

class LanguageServiceObject final
    : public ComObject<LanguageServiceObject, Face<MLanguageService, kIID_MLanguageService>> {
 public:
  // Owned by the runtime's services; references only count.
  LanguageServiceObject()
      : ComObject(Lifetime::kOwnedElsewhere), data_(std::make_shared<LanguageData>()) {}

  int32_t GetTextDomain(const char16_t* domain, const char16_t* defaultLanguage,
                        MTextDomain** out) override;
  int32_t GetLanguages(const char16_t* domain, TString* names, uint32_t capacity) override;
  int32_t SetLanguages(const TString* names, uint32_t count) override;
  int32_t GetCurrentLanguages(TString* names, uint32_t capacity) override;
  int32_t LoadFile(const char16_t* path, uint32_t flags) override;
  int32_t LoadMemory(const void* data, uint64_t size, uint32_t flags) override;

 private:
  std::shared_ptr<LanguageData> data_;
};

}  // namespace vk2::oru
