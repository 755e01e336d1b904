// The runtime root class's one object: registrar, error registry and class enumerator. It
// lives as long as the runtime state; references only count.
#pragma once

#include <atomic>

#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/runtime/error_registry.h"
#include "interfaces/runtime/registrar.h"

namespace vk2::oru {

class RootObject final : public MRegistrar, public MErrorRegistry, public MClassEnumerator {
 public:
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override;
  uint32_t AddRef() override { return count_.fetch_add(1) + 1; }
  uint32_t Release() override { return count_.fetch_sub(1) - 1; }

  MRegistrar& Registrar() { return *this; }

  // MRegistrar
  int32_t RegisterModuleFile(int32_t mode, const char16_t* path, uint32_t reserved) override;
  int32_t RegisterClass(int32_t mode, const Guid& classId, uintptr_t context,
                        const char16_t* name) override;
  int32_t AddToCategory(int32_t mode, const Guid& category, const Guid& member,
                        const char16_t* name) override;
  int32_t SetBatch(int32_t flag) override;
  int32_t Attach() override;
  int32_t Detach() override;

  // MErrorRegistry
  ErrorTableHandle FindTable(const char* name) override;
  const ErrorRecord* GetRecord(int32_t code, ErrorTableHandle table) override;
  int32_t RegisterTable(ErrorRecord* records, uint32_t count, const char* name) override;

  // MClassEnumerator
  int32_t AddRemoveChangeListener(MRegistryChangeListener* listener, int32_t add) override;
  int32_t GetClassModule(const Guid& classId, TString* path) override;
  int32_t GetClassName(const Guid& classId, TString* name) override;
  int32_t CreateInstance(const Guid& classId, const Guid& iid, void** out,
                         MUnknown* outer) override;
  int32_t GetCategoryCount(const Guid& category, uint32_t* count) override;
  int32_t GetCategoryEntry(const Guid& category, uint32_t index, Guid* member,
                           TString* name) override;

 private:
  std::atomic<uint32_t> count_{0};
};

}  // namespace vk2::oru
