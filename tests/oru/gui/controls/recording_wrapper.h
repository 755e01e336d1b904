// A stand-in for a markup control: it aggregates a control part, passes every window operation
// to it, and records the notifications on their way (answering 0x102 as told).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "component/window/forwarding_window.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"

namespace vk2::gui::test {

// It is also an edit box's face when `caretIndexAt` is set: it measures as a wrapper with a
// font would, and passes the other edit-box slots to the part.
class RecordingWrapper final : public ForwardingWindowOf<MEditBox> {
 public:
  using PartFactory = int32_t (*)(MUnknown* outer, const Guid& iid, void** out);
  // A wrapper over a new part from `factory`, with one reference.
  static RefPtr<RecordingWrapper> Make(PartFactory factory);

  template <class T>
  T* Part(const Guid& iid) {
    void* p = nullptr;
    inner_->QueryInterface(iid, &p, 0, 0);
    return static_cast<T*>(p);
  }
  int32_t Count(uint32_t code) const;

  std::vector<std::pair<uint32_t, uintptr_t>> notes;
  bool allowMoves = true;
  int32_t forcedPosition = -1;  // when >= 0, 0x102 alters the position to it
  std::function<int32_t(PointI)> caretIndexAt;

  // MEditBox, passed to the part but for the measuring callback.
  int32_t SetText(const char16_t* text) override { return Edit()->SetText(text); }
  int32_t GetText(TString* text) override { return Edit()->GetText(text); }
  int32_t SetSecret(int32_t secret) override { return Edit()->SetSecret(secret); }
  int32_t SetMaxLength(int32_t length) override { return Edit()->SetMaxLength(length); }
  int32_t GetCaret() override { return Edit()->GetCaret(); }
  int32_t SetSelection(int32_t s, int32_t e) override { return Edit()->SetSelection(s, e); }
  int32_t GetSelection(int32_t* s, int32_t* e) override { return Edit()->GetSelection(s, e); }
  int32_t CaretVisible() override { return Edit()->CaretVisible(); }
  int32_t CaretIndexAt(const PointI* point) override {
    return caretIndexAt && point ? caretIndexAt(*point) : -1;
  }

  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef, uint32_t reserved) override;
  uint32_t AddRef() override { return ++count_; }
  uint32_t Release() override;
  int32_t InnerQueryInterface(const Guid& iid, void** out, uint32_t a, uint32_t r) override {
    return QueryInterface(iid, out, a, r);
  }
  uint32_t InnerAddRef() override { return AddRef(); }
  uint32_t InnerRelease() override { return Release(); }
  // Window element: passed to the part, notifications recorded on their way.
  int32_t Notify(uint32_t code, uintptr_t argument) override;

 private:
  RecordingWrapper() = default;
  ~RecordingWrapper() = default;
  MEditBox* Edit() { return Part<MEditBox>(kIID_MEditBox); }
  MWindowElement* Behind() override { return part_; }

  uint32_t count_ = 0;
  MUnknown* inner_ = nullptr;       // the part's inner unknown (one reference)
  MWindowElement* part_ = nullptr;  // the part's element face (no reference)
};

}  // namespace vk2::gui::test
