// The runtime root class's one object: registrar, error registry and class enumerator. It
// lives as long as the runtime state; references only count.
#pragma once

#include <atomic>

#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/runtime/error_registry.h"
#include "interfaces/runtime/registrar.h"

namespace vk2::oru {

class RootObject final : public ComObject<RootObject, Face<MRegistrar, kIID_MRegistrar>,
                                          Face<MErrorRegistry, kIID_MErrorRegistry>,
                                          Face<MClassEnumerator, kIID_MClassEnumerator>> {
 public:
  // Owned by the runtime; references only count.
  RootObject() : ComObject(Lifetime::kOwnedElsewhere) {}

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
};

}  // namespace vk2::oru
