#include "oru/gui/controls/button_part.h"

#include <new>

#include "foundation/util/result.h"

namespace vk2::gui {

int32_t ButtonPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) ButtonPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

}  // namespace vk2::gui
