// The class object a module hands out for one of its classes.
#pragma once

#include <atomic>

#include "component/module/module_glue.h"
#include "interfaces/runtime/class_factory.h"

namespace vk2 {

class ClassFactoryObject final : public MClassFactory {
 public:
  explicit ClassFactoryObject(ModuleCreateFn create) : create_(create) {}

  // A class object answers no interface of its own.
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef, uint32_t reserved) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  int32_t CreateInstance(const Guid& iid, void** out, MUnknown* outer) override;

 private:
  ~ClassFactoryObject() = default;

  ModuleCreateFn create_;
  std::atomic<uint32_t> count_{0};
};

}  // namespace vk2
