// A stand-in for a markup control: it aggregates a control part, passes every window operation
// to it, and records the notifications on their way (answering 0x102 as told).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"

namespace vk2::gui::test {

// It is also an edit box's face when `caretIndexAt` is set: it measures as a wrapper with a
// font would, and passes the other edit-box slots to the part.
class RecordingWrapper final : public MEditBox {
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
  int32_t PostCommand(uint32_t code, int32_t s, int32_t d, uintptr_t data, MWindowElement* sender,
                      uint32_t o, uint32_t r) override {
    return part_->PostCommand(code, s, d, data, sender, o, r);
  }
  int32_t CancelCommands(uint32_t code, int32_t f, int32_t u, uintptr_t data, uint32_t m,
                         MWindowElement* s, uint32_t r) override {
    return part_->CancelCommands(code, f, u, data, m, s, r);
  }
  int32_t AttachChild(MWindowElement* c, int32_t m) override { return part_->AttachChild(c, m); }
  int32_t DetachChild(MWindowElement* c) override { return part_->DetachChild(c); }
  int32_t Paint(MCanvas* c, const PaintRecord* r) override { return part_->Paint(c, r); }
  int32_t HitCode(const PointI* p) override { return part_->HitCode(p); }
  int32_t Invalidate(const RectI* r) override { return part_->Invalidate(r); }
  int32_t MapPoint(PointI* p, MWindowElement* to) override { return part_->MapPoint(p, to); }
  int32_t Region(MMaskImage* t, int32_t w, int32_t h) override { return part_->Region(t, w, h); }
  int32_t SetFocus(int32_t take) override { return part_->SetFocus(take); }
  int32_t GetProperty(const char16_t* n, PropertyValue* o) override {
    return part_->GetProperty(n, o);
  }
  int32_t GetValue(uint32_t id, void* b, uint32_t s) override { return part_->GetValue(id, b, s); }
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t ChildNotify(uint32_t code, MWindowElement* c, uintptr_t a) override {
    return part_->ChildNotify(code, c, a);
  }
  int32_t SetValue(uint32_t id, const void* b, uint32_t s) override {
    return part_->SetValue(id, b, s);
  }
  int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override {
    return part_->Query(code, a, b, c);
  }
  int32_t CapturePointer(int32_t c) override { return part_->CapturePointer(c); }
  int32_t ChildCount() override { return part_->ChildCount(); }
  MWindowElement* ChildAt(int32_t i) override { return part_->ChildAt(i); }
  int32_t HoldUpdates(int32_t h) override { return part_->HoldUpdates(h); }
  int32_t AdoptCreator(MWindowElement* c) override { return part_->AdoptCreator(c); }
  int32_t HasOwnContent() override { return part_->HasOwnContent(); }
  int32_t GetHost(MHostWindow** o) override { return part_->GetHost(o); }
  int32_t DestroyWindow() override { return part_->DestroyWindow(); }
  int32_t AddDockPoint(MDockPoint* p, int32_t m) override { return part_->AddDockPoint(p, m); }
  int32_t ClearDockPoints() override { return part_->ClearDockPoints(); }
  int32_t RegionChanged() override { return part_->RegionChanged(); }
  MWindowElement* Sibling(int32_t above) override { return part_->Sibling(above); }
  int32_t PostTask(void (*cb)(void*), void* c) override { return part_->PostTask(cb, c); }
  int32_t SetProperty(const char16_t* n, int32_t t, const PropertyValue* v) override {
    return part_->SetProperty(n, t, v);
  }
  int32_t RemoveProperty(const char16_t* n) override { return part_->RemoveProperty(n); }

 private:
  RecordingWrapper() = default;
  ~RecordingWrapper() = default;
  MEditBox* Edit() { return Part<MEditBox>(kIID_MEditBox); }

  uint32_t count_ = 0;
  MUnknown* inner_ = nullptr;       // the part's inner unknown (one reference)
  MWindowElement* part_ = nullptr;  // the part's element face (no reference)
};

}  // namespace vk2::gui::test
