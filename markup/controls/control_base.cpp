#include "markup/controls/control_base.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2::markup {

ButtonFace::ButtonFace(MarkupWindow* owner) : ButtonSlotsFace(owner), window_(owner) {}

MButton* ButtonFace::Part() {
  if (!part_)
    part_ = static_cast<MButton*>(window_->FindPartFace(kIID_MButton, static_cast<MButton*>(this)));
  return part_;
}

}  // namespace vk2::markup
