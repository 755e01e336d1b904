// The enumeration service object: one per request, held by its users.
#pragma once

#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/enumeration_service.h"

namespace vk2::oru {

class EnumerationServiceObject final
    : public ComObject<EnumerationServiceObject,
                       Face<MEnumerationService, kIID_MEnumerationService>> {
 private:
  ~EnumerationServiceObject() override = default;
};

}  // namespace vk2::oru
