// The plain window part: what BrintClass makes for MWindowElement and MBrintWindow. It draws
// nothing of its own; its wrapper (a markup window) draws and answers hits.
#pragma once

#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

class PlainWindowPart final : public WindowPartOf<PlainWindowPart, MWindowElement> {
 public:
  // Hands out the part as `iid` (its inner unknown when `outer` is given).
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

 private:
  explicit PlainWindowPart(MUnknown* outer) : WindowPartOf(outer) {}
  ~PlainWindowPart() override = default;
};

}  // namespace vk2::gui
