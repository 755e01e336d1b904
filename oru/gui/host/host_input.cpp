// Input routing: hit testing through the part tree, hover, pointer capture, clicks and double
// clicks, focus, keys, text and file drops.
#include <algorithm>
#include <cstdlib>

#include "oru/gui/host/host_window_object.h"
#include "oru/gui/loop/gui_loop.h"
#include "oru/gui/window/window_part.h"

namespace vk2::gui {

namespace {

constexpr uint64_t kDoubleClickMs = 400;
constexpr int32_t kDoubleClickSlop = 4;

uint32_t DownQuery(int32_t button) {
  return button == 2 ? kQueryRightDown : button == 3 ? kQueryMiddleDown : kQueryLeftDown;
}

uint32_t UpQuery(int32_t button) {
  return button == 2 ? kQueryRightUp : button == 3 ? kQueryMiddleUp : kQueryLeftUp;
}

PointI ToWindow(const WindowPart* part, PointI hostPoint) {
  const PointI origin = part->OriginInHost();
  return PointI{hostPoint.x - origin.x, hostPoint.y - origin.y};
}

bool Contains(const RectI& r, PointI p) {
  return p.x >= r.left && p.y >= r.top && p.x < r.right && p.y < r.bottom;
}

}  // namespace

PointI HostWindowObject::ToScreen(int32_t x, int32_t y) const {
  return PointI{screenRect_.left + x, screenRect_.top + y};
}

HostWindowObject::Hit HostWindowObject::HitTest(PointI hostPoint) {
  if (!rootCore_) return {};
  if (shape_ && !shape_->Value(hostPoint.x, hostPoint.y)) return {};
  return HitTestPart(rootCore_, hostPoint);
}

HostWindowObject::Hit HostWindowObject::HitTestPart(WindowPart* part, PointI hostPoint) {
  if (!part->IsVisible() || part->IsDestroying()) return {};
  if (!Contains(part->VisibleRectInHost(), hostPoint)) return {};
  const auto& children = part->Children();
  for (auto it = children.rbegin(); it != children.rend(); ++it) {
    Hit hit = HitTestPart(*it, hostPoint);
    if (hit.part) return hit;
  }
  const PointI local = ToWindow(part, hostPoint);
  const int32_t code = part->Outer()->HitCode(&local);
  if (code == kHitNone) return {};
  // A disabled window is opaque to the pointer but does nothing.
  if (!part->IsEnabled()) return Hit{part, kHitInactive};
  return Hit{part, code};
}

int32_t HostWindowObject::QueryUpward(WindowPart* part, uint32_t code, uintptr_t a, uintptr_t b) {
  // Points travel in each receiver's own coordinates.
  const bool hasPoint = code != kQueryKeyDown && code != kQueryKeyUp && code != kQueryText &&
                        code != kQueryCaptureLost;
  const PointI* hostPoint = reinterpret_cast<const PointI*>(a);
  for (WindowPart* p = part; p; p = p->Parent()) {
    RefPtr<MWindowElement> keep(p->Outer());
    PointI local;
    uintptr_t arg = a;
    if (hasPoint && hostPoint) {
      local = ToWindow(p, *hostPoint);
      arg = reinterpret_cast<uintptr_t>(&local);
    }
    if (keep->Query(code, arg, b, 0)) return 1;
    if (p->IsDestroying()) return 0;
  }
  return 0;
}

void HostWindowObject::HandleEvent(const BackendEvent& event) {
  RefPtr<HostWindowObject> keep(this);
  switch (event.type) {
    case BackendEvent::Type::kPointerMove:
      OnPointerMove(event);
      break;
    case BackendEvent::Type::kButtonDown:
      OnButtonDown(event);
      break;
    case BackendEvent::Type::kButtonUp:
      OnButtonUp(event);
      break;
    case BackendEvent::Type::kWheel: {
      const PointI p{event.x, event.y};
      const Hit hit = HitTest(p);
      if (hit.part)
        QueryUpward(hit.part, kQueryWheel, reinterpret_cast<uintptr_t>(&p),
                    static_cast<uintptr_t>(static_cast<intptr_t>(event.wheel)));
      break;
    }
    case BackendEvent::Type::kKeyDown:
      OnKey(event, true);
      break;
    case BackendEvent::Type::kKeyUp:
      OnKey(event, false);
      break;
    case BackendEvent::Type::kText: {
      WindowPart* target = focus_ ? focus_ : rootCore_;
      if (target) {
        QueryUpward(target, kQueryText, reinterpret_cast<uintptr_t>(event.text.c_str()),
                    event.text.size());
      }
      break;
    }
    case BackendEvent::Type::kDrop:
      OnDrop(event);
      break;
    case BackendEvent::Type::kPointerLeave:
      if (!move_.active && !capture_) ClearHover();
      break;
    case BackendEvent::Type::kCloseRequest:
      if (root_) root_->PostCommand(kCmdDestroy, 0, 0, 0, nullptr, 0, 0);
      break;
    case BackendEvent::Type::kExposed:
      AddDamage(RectI{0, 0, screenRect_.Width(), screenRect_.Height()});
      break;
    case BackendEvent::Type::kFocusLost:
      if (move_.active) EndMoveLoop();
      break;
    case BackendEvent::Type::kMoved:
      if (rootCore_ && !move_.active) MoveTo(PointI{event.x, event.y});
      break;
    case BackendEvent::Type::kNone:
      break;
  }
}

void HostWindowObject::UpdateHover(PointI hostPoint) {
  const Hit hit = HitTest(hostPoint);
  std::vector<WindowPart*> chain;
  for (WindowPart* p = hit.part; p; p = p->Parent())
    chain.push_back(p);
  // Leaving first, deepest first; then entering, outermost first.
  for (WindowPart* old : std::vector<WindowPart*>(hoverChain_)) {
    if (std::find(chain.begin(), chain.end(), old) == chain.end()) {
      old->SetStateBits(kStateHover, false);
      RefPtr<MWindowElement>(old->Outer())->Notify(kNotifyPointer, 0);
    }
  }
  if (hoverTop_ != hit.part) {
    if (hoverTop_) RefPtr<MWindowElement>(hoverTop_->Outer())->Notify(kNotifyPointerTop, 0);
    hoverTop_ = hit.part;
    if (hoverTop_) RefPtr<MWindowElement>(hoverTop_->Outer())->Notify(kNotifyPointerTop, 1);
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if (std::find(hoverChain_.begin(), hoverChain_.end(), *it) == hoverChain_.end()) {
      (*it)->SetStateBits(kStateHover, true);
      RefPtr<MWindowElement>((*it)->Outer())->Notify(kNotifyPointer, 1);
    }
  }
  hoverChain_ = std::move(chain);
}

void HostWindowObject::ClearHover() {
  if (hoverTop_) RefPtr<MWindowElement>(hoverTop_->Outer())->Notify(kNotifyPointerTop, 0);
  hoverTop_ = nullptr;
  for (WindowPart* old : std::vector<WindowPart*>(hoverChain_)) {
    old->SetStateBits(kStateHover, false);
    RefPtr<MWindowElement>(old->Outer())->Notify(kNotifyPointer, 0);
  }
  hoverChain_.clear();
}

void HostWindowObject::OnPointerMove(const BackendEvent& event) {
  pointer_ = PointI{event.x, event.y};
  if (move_.active) {
    UpdateMoveLoop(ToScreen(event.x, event.y));
    return;
  }
  if (capture_) {
    QueryUpward(capture_, kQueryPointerMove, reinterpret_cast<uintptr_t>(&pointer_),
                static_cast<uintptr_t>(pressedButton_));
    return;
  }
  UpdateHover(pointer_);
  if (hoverTop_) {
    QueryUpward(hoverTop_, kQueryPointerMove, reinterpret_cast<uintptr_t>(&pointer_), 0);
  }
}

void HostWindowObject::OnButtonDown(const BackendEvent& event) {
  pointer_ = PointI{event.x, event.y};
  RefPtr<HostWindowObject> keepHost(this);
  loop_->DismissPopupsOutside(this);
  if (move_.active) return;
  const Hit hit = HitTest(pointer_);
  if (!hit.part || (hit.code & kHitInactive) == kHitInactive) return;
  if (hit.code & kHitInputFocus) SetFocusPart(hit.part, hit.part);
  if (event.button == 1 && (hit.code & kHitActionMask)) {
    const PointI local = ToWindow(hit.part, pointer_);
    StartMoveLoop(hit.part, DragStartRecord{hit.code, local.x, local.y, 1}, false);
    return;
  }
  pressed_ = hit.part;
  pressedButton_ = event.button;
  capture_ = hit.part;
  hit.part->SetStateBits(kStatePressed, true);
  RefPtr<MWindowElement> keep(hit.part->Outer());
  QueryUpward(hit.part, DownQuery(event.button), reinterpret_cast<uintptr_t>(&pointer_),
              event.modifiers);
  if (event.button != 1 || !pressed_) return;
  const uint64_t now = loop_->NowMs();
  const bool dbl = lastClickPart_ == hit.part && now - lastClickMs_ <= kDoubleClickMs &&
                   std::abs(lastClickPoint_.x - pointer_.x) <= kDoubleClickSlop &&
                   std::abs(lastClickPoint_.y - pointer_.y) <= kDoubleClickSlop;
  if (dbl) {
    lastClickPart_ = nullptr;
    keep->Notify(kNotifyDoubleClick, 0);
  } else {
    lastClickPart_ = hit.part;
    lastClickMs_ = now;
    lastClickPoint_ = pointer_;
  }
}

void HostWindowObject::OnButtonUp(const BackendEvent& event) {
  pointer_ = PointI{event.x, event.y};
  if (move_.active) {
    if (event.button == move_.button) {
      UpdateMoveLoop(ToScreen(event.x, event.y));
      EndMoveLoop();
    }
    return;
  }
  WindowPart* target = capture_ ? capture_ : HitTest(pointer_).part;
  if (!target) return;
  RefPtr<MWindowElement> keep(target->Outer());
  WindowPart* pressed = pressed_;
  if (event.button == pressedButton_) {
    capture_ = nullptr;
    pressed_ = nullptr;
    target->SetStateBits(kStatePressed, false);
  }
  QueryUpward(target, UpQuery(event.button), reinterpret_cast<uintptr_t>(&pointer_), 0);
  if (event.button == 1 && pressed && pressed == target && !target->IsDestroying() &&
      HitTest(pointer_).part == target) {
    keep->Notify(kNotifyClick, 0);
  }
  UpdateHover(pointer_);
}

void HostWindowObject::OnKey(const BackendEvent& event, bool down) {
  WindowPart* target = focus_ ? focus_ : rootCore_;
  if (!target) return;
  KeyEvent key{event.key, event.modifiers, 0};
  QueryUpward(target, down ? kQueryKeyDown : kQueryKeyUp, reinterpret_cast<uintptr_t>(&key), 0);
}

void HostWindowObject::OnDrop(const BackendEvent& event) {
  const PointI p{event.x, event.y};
  Hit hit = HitTest(p);
  WindowPart* target = hit.part ? hit.part : rootCore_;
  if (!target || event.paths.empty()) return;
  std::vector<const char16_t*> paths;
  for (const std::u16string& path : event.paths)
    paths.push_back(path.c_str());
  FileDropRecord record;
  record.count = static_cast<int32_t>(paths.size());
  record.paths = paths.data();
  record.point = ToWindow(target, p);
  RefPtr<MWindowElement>(target->Outer())
      ->Notify(kNotifyFileDrop, reinterpret_cast<uintptr_t>(&record));
}

void HostWindowObject::SetFocusPart(WindowPart* part, WindowPart* requester) {
  if (part == nullptr && focus_ != requester) return;  // only the holder gives it up
  if (part == focus_) return;
  WindowPart* old = focus_;
  focus_ = part;
  if (old) {
    old->SetStateBits(kStateFocused, false);
    RefPtr<MWindowElement>(old->Outer())->Notify(kNotifyFocus, 0);
  }
  if (part) {
    part->SetStateBits(kStateFocused, true);
    RefPtr<MWindowElement>(part->Outer())->Notify(kNotifyFocus, 1);
  }
}

void HostWindowObject::SetCapturePart(WindowPart* part, WindowPart* requester) {
  if (part == nullptr) {
    if (capture_ == requester) capture_ = nullptr;
    return;
  }
  if (capture_ && capture_ != part) {
    RefPtr<MWindowElement>(capture_->Outer())->Query(kQueryCaptureLost, 0, 0, 0);
  }
  capture_ = part;
}

}  // namespace vk2::gui
