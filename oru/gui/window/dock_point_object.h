// A dock point: a named, anchored point of a window that is a master or a slave.
#pragma once

#include <string>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"

namespace vk2::gui {

class DockPointObject final : public ComObject<DockPointObject, Face<MDockPoint, kIID_MDockPoint>> {
 public:
  static int32_t Create(RefPtr<MDockPoint>* out);

  int32_t Setup(const DockPointRecord* record) override;
  int32_t IsMaster() override { return record_.master ? 1 : 0; }
  int32_t GetRecord(DockPointRecord* out) override;

 private:
  DockPointObject() = default;
  ~DockPointObject() override = default;

  DockPointRecord record_;
  std::u16string name_;
};

}  // namespace vk2::gui
