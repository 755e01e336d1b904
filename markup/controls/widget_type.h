// The type objects tessel's widget class factories hand out (MWidgetType), one per request.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"

namespace vk2::markup {

// A widget class factory's CreateInstance: for MWidgetType a new type object of `classId`
// with one reference; any other interface id (or a class that is no widget type) answers -15
// with `*out` cleared.
int32_t CreateWidgetTypeInstance(const Guid& classId, const Guid& iid, void** out);

}  // namespace vk2::markup
