#include "oru/gui/window/plain_window_part.h"

#include <new>

#include "foundation/util/result.h"

namespace vk2::gui {

int32_t PlainWindowPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) PlainWindowPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

}  // namespace vk2::gui
