#include "oru/gui/window/dock_point_object.h"

#include <new>

#include "foundation/util/result.h"

namespace vk2::gui {

int32_t DockPointObject::Create(RefPtr<MDockPoint>* out) {
  if (!out) return kErrMissingArg;
  auto* point = new (std::nothrow) DockPointObject;
  if (!point) return kErrOutOfMemory;
  *out = RefPtr<MDockPoint>(point);
  return 0;
}

int32_t DockPointObject::Setup(const DockPointRecord* record) {
  if (!record) return kErrMissingArg;
  record_ = *record;
  name_ = record->name ? record->name : u"";
  record_.name = name_.c_str();
  return 0;
}

int32_t DockPointObject::GetRecord(DockPointRecord* out) {
  if (!out) return kErrMissingArg;
  *out = record_;
  return 0;
}

}  // namespace vk2::gui
