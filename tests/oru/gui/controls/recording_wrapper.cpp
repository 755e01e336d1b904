#include "tests/oru/gui/controls/recording_wrapper.h"

#include <algorithm>

#include "component/object/query_answer.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"

namespace vk2::gui::test {

RefPtr<RecordingWrapper> RecordingWrapper::Make(PartFactory factory) {
  RefPtr<RecordingWrapper> wrapper(new RecordingWrapper);
  void* inner = nullptr;
  // Aggregated: the factory hands out the part's inner unknown.
  EXPECT_EQ(factory(wrapper.Get(), kIID_MWindowElement, &inner), 0);
  wrapper->inner_ = static_cast<MUnknown*>(inner);
  void* element = nullptr;
  wrapper->inner_->QueryInterface(kIID_MWindowElement, &element, 0, 0);
  wrapper->part_ = static_cast<MWindowElement*>(element);
  return wrapper;
}

uint32_t RecordingWrapper::Release() {
  const uint32_t left = --count_;
  if (left == 0) {
    if (inner_) inner_->Release();
    delete this;
  }
  return left;
}

int32_t RecordingWrapper::QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                                         uint32_t reserved) {
  if (iid == kIID_MWindowElement || iid == kIID_MBrintWindow) {
    return AnswerQuery(static_cast<MWindowElement*>(this), out, addRef);
  }
  if (iid == kIID_MEditBox && caretIndexAt) return AnswerQuery(this, out, addRef);
  return inner_ ? inner_->QueryInterface(iid, out, addRef, reserved)
                : AnswerQuery(nullptr, out, addRef);
}

int32_t RecordingWrapper::Notify(uint32_t code, uintptr_t argument) {
  notes.emplace_back(code, code == kNotifyQueryPosChange && argument
                               ? static_cast<uintptr_t>(*reinterpret_cast<int32_t*>(argument))
                               : argument);
  part_->Notify(code, argument);
  if (code == kNotifyQueryPosChange) {
    if (forcedPosition >= 0 && argument) *reinterpret_cast<int32_t*>(argument) = forcedPosition;
    return allowMoves ? 1 : 0;
  }
  return 0;
}

int32_t RecordingWrapper::Count(uint32_t code) const {
  return static_cast<int32_t>(std::count_if(
      notes.begin(), notes.end(), [code](const auto& note) { return note.first == code; }));
}

}  // namespace vk2::gui::test
