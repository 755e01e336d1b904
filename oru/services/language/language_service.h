// The language service and its text domains.
#pragma once

#include <atomic>
#include <memory>

#include "interfaces/runtime/language_service.h"
#include "oru/services/language/language_data.h"

namespace vk2::oru {

class LanguageServiceObject final : public MLanguageService {
 public:
  LanguageServiceObject() : data_(std::make_shared<LanguageData>()) {}

  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override;
  // Owned by the runtime's services; references only count.
  uint32_t AddRef() override { return count_.fetch_add(1) + 1; }
  uint32_t Release() override { return count_.fetch_sub(1) - 1; }

  int32_t GetTextDomain(const char16_t* domain, const char16_t* defaultLanguage,
                        MTextDomain** out) override;
  int32_t GetLanguages(const char16_t* domain, TString* names, uint32_t capacity) override;
  int32_t SetLanguages(const TString* names, uint32_t count) override;
  int32_t GetCurrentLanguages(TString* names, uint32_t capacity) override;
  int32_t LoadFile(const char16_t* path, uint32_t flags) override;
  int32_t LoadMemory(const void* data, uint64_t size, uint32_t flags) override;

 private:
  std::shared_ptr<LanguageData> data_;
  std::atomic<uint32_t> count_{0};
};

}  // namespace vk2::oru
