#include "markup/controls/control_base.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"

namespace vk2::markup {

ButtonFace::ButtonFace(MarkupWindow* owner)
    : ElementFace(static_cast<MWindowElement*>(owner), owner), window_(owner) {}

MButton* ButtonFace::Part() {
  if (!part_)
    part_ = static_cast<MButton*>(window_->FindPartFace(kIID_MButton, static_cast<MButton*>(this)));
  return part_;
}

#define VK2_TO_PART(call, fallback) \
  MButton* part = Part();           \
  return part ? part->call : fallback

int32_t ButtonFace::SetLogicState(uint32_t state, int32_t notify) {
  VK2_TO_PART(SetLogicState(state, notify), kErrNotFound);
}
int32_t ButtonFace::GetLogicState() {
  VK2_TO_PART(GetLogicState(), 0);
}
int32_t ButtonFace::SetStateCount(int32_t count) {
  VK2_TO_PART(SetStateCount(count), kErrNotFound);
}
int32_t ButtonFace::SetRepeatDelay(int32_t delayMs) {
  VK2_TO_PART(SetRepeatDelay(delayMs), kErrNotFound);
}
int32_t ButtonFace::GetStateCount() {
  VK2_TO_PART(GetStateCount(), 0);
}
int32_t ButtonFace::GetRepeatDelay() {
  VK2_TO_PART(GetRepeatDelay(), 0);
}
int32_t ButtonFace::GetChecked() {
  VK2_TO_PART(GetChecked(), 0);
}
int32_t ButtonFace::SetChecked(int32_t checked) {
  VK2_TO_PART(SetChecked(checked), kErrNotFound);
}
int32_t ButtonFace::GetVisualState() {
  VK2_TO_PART(GetVisualState(), 0);
}

#undef VK2_TO_PART

}  // namespace vk2::markup
