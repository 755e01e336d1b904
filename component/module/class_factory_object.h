// The class object a module hands out for one of its classes.
#pragma once

#include "component/module/module_glue.h"
#include "component/object/com_object.h"
#include "interfaces/runtime/class_factory.h"

namespace vk2 {

// A class object answers no interface of its own, not even MClassFactory.
class ClassFactoryObject final
    : public ComObject<ClassFactoryObject, SilentFace<MClassFactory>> {
 public:
  explicit ClassFactoryObject(ModuleCreateFn create) : create_(create) {}

  int32_t CreateInstance(const Guid& iid, void** out, MUnknown* outer) override;

 private:
  ~ClassFactoryObject() override = default;

  ModuleCreateFn create_;
};

}  // namespace vk2
