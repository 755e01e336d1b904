#include "oru/gui/window/window_part.h"
#include "component/object/query.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/graphics/image.h"
#include "interfaces/ids.h"
#include "oru/gui/host/host_window_object.h"

namespace vk2::gui {

namespace {

template <class T>
int32_t ReadValue(const T& value, void* buffer, uint32_t size) {
  if (!buffer) return kErrMissingArg;
  if (size < sizeof(T)) return kErrOutOfRange;
  std::memcpy(buffer, &value, sizeof(T));
  return 0;
}

template <class T>
bool WriteValue(T* value, const void* buffer, uint32_t size) {
  if (!buffer || size < sizeof(T)) return false;
  std::memcpy(value, buffer, sizeof(T));
  return true;
}

RectI Intersect(const RectI& a, const RectI& b) {
  RectI r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
  if (r.Empty()) return RectI{};
  return r;
}

}  // namespace

WindowPart::WindowPart() = default;

WindowPart::~WindowPart() {
  ClearTimers();
  if (frameRegistered_ && Loop()) Loop()->RemoveFrameClient(this);
}

WindowPart* WindowPart::FromElement(MUnknown* element) {
  if (!element) return nullptr;
  void* p = nullptr;
  if (element->QueryInterface(kIID_WindowPartCore, &p, 0, 0) != 0 || !p) return nullptr;
  return static_cast<MWindowPartCore*>(p)->Core();
}

void WindowPart::BindFace(MWindowElement* self, MUnknown* controlling) {
  self_ = self;
  controlling_ = controlling;
}

MWindowElement* WindowPart::Outer() {
  if (auto* outer = vk2::QueryBorrowed<MWindowElement>(controlling_, kIID_MWindowElement))
    return outer;
  return self_;
}

bool WindowPart::OffLoopThread() const {
  GuiLoop* loop = Loop();
  return loop && !loop->IsLoopThread();
}

int32_t WindowPart::HandToLoop(std::function<void(WindowPart*)> change) {
  return PostWhileAlive(std::move(change)) ? 0 : kErrFailed;
}

bool WindowPart::PostWhileAlive(std::function<void(WindowPart*)> body) {
  GuiLoop* loop = Loop();
  if (!loop) return false;
  std::weak_ptr<const bool> alive = lifeToken_;
  return loop->Post([this, alive, body = std::move(body)] {
    if (alive.lock() && !IsDestroying()) body(this);
  });
}

// ---- Tree ----------------------------------------------------------------------------------

int32_t WindowPart::ChildIndex(const WindowPart* child) const {
  for (size_t i = 0; i < childCores_.size(); ++i) {
    if (childCores_[i] == child) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t WindowPart::AttachChild(MWindowElement* child, int32_t placementMode) {
  if (OffLoopThread()) return kErrWrongState;
  WindowPart* core = FromElement(child);
  if (!core) return kErrMissingArg;
  if (core == this || IsDestroying()) return kErrRefused;
  for (WindowPart* p = this; p; p = p->parent_) {
    if (p == core) return kErrRefused;  // would make a cycle
  }
  child->AddRef();  // before detaching: the old parent may hold the last reference
  if (core->parent_) core->DetachFromParent();
  const bool bottom = placementMode == kPlaceModeBottom || placementMode == kPlaceModeBelowParent;
  if (bottom) {
    children_.insert(children_.begin(), child);
    childCores_.insert(childCores_.begin(), core);
  } else {
    children_.push_back(child);
    childCores_.push_back(core);
  }
  core->parent_ = this;
  if (core->anchored_) core->ApplyPlacement();
  core->SetHost(host_);
  core->Repaint();
  return 0;
}

int32_t WindowPart::DetachChild(MWindowElement* child) {
  if (OffLoopThread()) return kErrWrongState;
  WindowPart* core = FromElement(child);
  if (!core || core->parent_ != this) return kErrNotFound;
  core->DetachFromParent();
  return 0;
}

void WindowPart::DetachFromParent() {
  WindowPart* parent = parent_;
  if (!parent) return;
  const int32_t index = parent->ChildIndex(this);
  if (index < 0) return;
  Repaint();
  SetHost(nullptr);
  MWindowElement* element = parent->children_[index];
  parent->children_.erase(parent->children_.begin() + index);
  parent->childCores_.erase(parent->childCores_.begin() + index);
  parent_ = nullptr;
  element->Release();
}

MWindowElement* WindowPart::ChildAt(int32_t index) {
  if (index < 0 || index >= ChildCount()) return nullptr;
  return children_[index];
}

MWindowElement* WindowPart::Sibling(int32_t above) {
  if (!parent_) return nullptr;
  const int32_t i = parent_->ChildIndex(this) + (above ? 1 : -1);
  return parent_->ChildAt(i);
}

void WindowPart::SetHost(HostWindowObject* host) {
  if (host_ == host) return;
  HostWindowObject* old = host_;
  if (old) old->OnPartLeaving(this);
  host_ = host;
  for (WindowPart* child : childCores_)
    child->SetHost(host);
  if (host && !old) {
    MWindowElement* outer = Outer();
    outer->Notify(kNotifyCreated, 0);
    outer->Notify(kNotifyAttached, 0);
    if (parent_) parent_->Outer()->ChildNotify(kNotifyCreated, outer, 0);
    // Init runs on the next turn, once whoever attached us has finished setting us up.
    RefPtr<MWindowElement> keep(outer);
    if (Loop()) {
      Loop()->Post([keep] {
        WindowPart* core = FromElement(keep.Get());
        if (core && core->host_ && !core->IsDestroying()) keep->Notify(kNotifyInit, 0);
      });
    }
  }
  UpdateFrameRegistration();
}

int32_t WindowPart::AdoptCreator(MWindowElement* creator) {
  creator_ = RefPtr<MWindowElement>(creator);
  return 0;
}

// ---- Destruction ---------------------------------------------------------------------------

int32_t WindowPart::DestroyWindow() {
  if (OffLoopThread()) {
    return HandToLoop([](WindowPart* part) { part->DestroyWindow(); });
  }
  if (IsDestroying()) return 0;
  DestroyNow();
  return 0;
}

void WindowPart::DestroyNow() {
  // The tree may hold our last reference; keep the object until we are done.
  RefPtr<MUnknown> keep(controlling_ ? controlling_ : static_cast<MUnknown*>(self_));
  SetStateBits(kStateDestroying, true);
  while (!children_.empty()) {
    WindowPart* child = childCores_.back();
    child->DestroyNow();
    // A child that was already destroying stays attached until it finishes; take it off.
    if (!childCores_.empty() && childCores_.back() == child) child->DetachFromParent();
  }
  MWindowElement* outer = Outer();
  outer->Notify(kNotifyDestroyed, 0);
  if (parent_) parent_->Outer()->ChildNotify(kNotifyDestroyed, outer, 0);
  commands_.clear();
  UpdateFrameRegistration();
  ClearTimers();
  docks_.clear();
  creator_ = nullptr;
  if (host_ && !parent_) host_->OnRootDestroyed(this);
  DetachFromParent();
  SetHost(nullptr);
  properties_.Clear();
}

// ---- Geometry ------------------------------------------------------------------------------

SizeI WindowPart::VirtualSize() const {
  if (!virtualSizeSet_) return size_;
  return SizeI{std::max(virtualSize_.width, size_.width),
               std::max(virtualSize_.height, size_.height)};
}

void WindowPart::SetStateBits(uint32_t bits, bool on) {
  state_ = on ? (state_ | bits) : (state_ & ~bits);
}

void WindowPart::SetLocation(PointI location) {
  if (location == location_) return;
  Repaint();
  location_ = location;
  Repaint();
  if (!parent_ && host_) host_->OnRootGeometryChanged();
  Outer()->Notify(kNotifyLocationChanged, 0);
  if (parent_) parent_->Outer()->ChildNotify(kNotifyLocationChanged, Outer(), 0);
}

void WindowPart::SetSize(SizeI size) {
  Outer()->Notify(kNotifySizeRequest, reinterpret_cast<uintptr_t>(&size));
  size.width = std::clamp(size.width, 0, kMaxSurfaceSide);
  size.height = std::clamp(size.height, 0, kMaxSurfaceSide);
  if (size == size_) return;
  Repaint();
  size_ = size;
  SetPan(pan_);  // keep the pan inside the new extent
  for (WindowPart* child : childCores_) {
    if (child->anchored_) child->ApplyPlacement();
  }
  Repaint();
  if (!parent_ && host_) host_->OnRootGeometryChanged();
  // A parent that lays out beside its child (scroll bars) hears of its new extent.
  if (parent_) parent_->Outer()->ChildNotify(kNotifyLocationChanged, Outer(), 0);
}

void WindowPart::SetVirtualSize(SizeI size) {
  virtualSize_ = SizeI{std::clamp(size.width, 0, kMaxSurfaceSide),
                       std::clamp(size.height, 0, kMaxSurfaceSide)};
  virtualSizeSet_ = true;
  SetPan(pan_);
  Repaint();
}

void WindowPart::SetPan(PointI pan) {
  const SizeI extent = VirtualSize();
  pan.x = std::clamp(pan.x, 0, std::max(0, extent.width - size_.width));
  pan.y = std::clamp(pan.y, 0, std::max(0, extent.height - size_.height));
  if (pan == pan_) return;
  pan_ = pan;
  Repaint();
}

void WindowPart::SetOffset(const int32_t offset[4]) {
  std::copy_n(offset, 4, offset_);
  anchored_ = true;
  ApplyPlacement();
}

void WindowPart::SetAlignment(const double alignment[4]) {
  std::copy_n(alignment, 4, alignment_);
  anchored_ = true;
  ApplyPlacement();
}

void WindowPart::ApplyPlacement() {
  const SizeI outer = parent_ ? parent_->VirtualSize() : SizeI{};
  auto edge = [](int32_t extent, double align, int32_t offset) {
    return static_cast<int32_t>(std::lround(extent * align)) + offset;
  };
  const int32_t left = edge(outer.width, alignment_[0], offset_[0]);
  const int32_t top = edge(outer.height, alignment_[1], offset_[1]);
  const int32_t right = edge(outer.width, alignment_[2], offset_[2]);
  const int32_t bottom = edge(outer.height, alignment_[3], offset_[3]);
  SetLocation(PointI{left, top});
  SetSize(SizeI{std::max(0, right - left), std::max(0, bottom - top)});
}

void WindowPart::SetOpacity(int32_t opacity) {
  opacity = std::clamp(opacity, 0, 256);
  if (opacity == opacity_) return;
  opacity_ = opacity;
  if (!parent_ && host_) host_->OnRootOpacityChanged(opacity_);
  Repaint();
}

void WindowPart::SetVisible(bool visible) {
  if (visible == IsVisible()) return;
  if (!visible) Repaint();
  SetStateBits(kStateVisible, visible);
  if (visible) Repaint();
  if (!parent_ && host_) host_->OnRootVisibilityChanged(visible);
  Outer()->Notify(visible ? kNotifyShown : kNotifyHidden, 0);
  if (parent_) {
    parent_->Outer()->ChildNotify(visible ? kNotifyShown : kNotifyHidden, Outer(), 0);
  }
}

void WindowPart::SetEnabled(bool enabled) {
  if (enabled == IsEnabled()) return;
  SetStateBits(kStateEnabled, enabled);
  SetStateBits(kStateDisabledLook, !enabled);
  Repaint();
  Outer()->Notify(enabled ? kNotifyEnabled : kNotifyDisabled, 0);
  if (parent_) {
    parent_->Outer()->ChildNotify(enabled ? kNotifyEnabled : kNotifyDisabled, Outer(), 0);
  }
}

PointI WindowPart::OriginInHost() const {
  if (!parent_) return PointI{-pan_.x, -pan_.y};
  const PointI parentOrigin = parent_->OriginInHost();
  return PointI{parentOrigin.x + location_.x - pan_.x, parentOrigin.y + location_.y - pan_.y};
}

RectI WindowPart::RectInHost() const {
  const PointI origin = OriginInHost();
  const int32_t left = origin.x + pan_.x;
  const int32_t top = origin.y + pan_.y;
  return RectI{left, top, left + size_.width, top + size_.height};
}

RectI WindowPart::VisibleRectInHost() const {
  RectI r = RectInHost();
  for (const WindowPart* p = parent_; p; p = p->parent_)
    r = Intersect(r, p->RectInHost());
  return r;
}

int32_t WindowPart::EffectiveOpacity() const {
  int32_t opacity = 256;
  for (const WindowPart* p = this; p; p = p->parent_)
    opacity = opacity * p->opacity_ / 256;
  return opacity;
}

int32_t WindowPart::MapPoint(PointI* point, MWindowElement* to) {
  if (!point) return kErrMissingArg;
  const PointI from = OriginInHost();
  PointI target{0, 0};
  if (to) {
    WindowPart* other = FromElement(to);
    if (!other || other->host_ != host_) return kErrNotFound;
    target = other->OriginInHost();
  }
  point->x += from.x - target.x;
  point->y += from.y - target.y;
  return 0;
}

// ---- Paint, hit, region --------------------------------------------------------------------

int32_t WindowPart::Paint(MCanvas* canvas, const PaintRecord* record) {
  if (!canvas || !record) return kErrMissingArg;
  return OnPaint(canvas, *record) ? 1 : 0;
}

bool WindowPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  (void)canvas;
  (void)record;
  return false;
}

int32_t WindowPart::HitCode(const PointI* point) {
  if (!point) return kHitNone;
  return OnHitCode(*point);
}

int32_t WindowPart::OnHitCode(PointI point) {
  const SizeI extent = VirtualSize();
  const bool inside =
      point.x >= 0 && point.y >= 0 && point.x < extent.width && point.y < extent.height;
  return inside ? kHitActive : kHitNone;
}

int32_t WindowPart::Invalidate(const RectI* rect) {
  if (OffLoopThread()) {
    const bool all = rect == nullptr;
    const RectI copy = rect ? *rect : RectI{};
    return HandToLoop([all, copy](WindowPart* part) { part->Invalidate(all ? nullptr : &copy); });
  }
  if (holdCount_ > 0) {
    holdDamage_ = true;
    return 0;
  }
  if (!host_ || !IsVisible()) return 0;
  RectI area = VisibleRectInHost();
  if (rect) {
    const PointI origin = OriginInHost();
    area = Intersect(area, RectI{origin.x + rect->left, origin.y + rect->top,
                                 origin.x + rect->right, origin.y + rect->bottom});
  }
  if (!area.Empty()) host_->AddDamage(area);
  return 0;
}

int32_t WindowPart::Region(MMaskImage* target, int32_t width, int32_t height) {
  if (!target) return kErrMissingArg;
  return OnRegion(target, width, height) ? 1 : 0;
}

bool WindowPart::OnRegion(MMaskImage* target, int32_t width, int32_t height) {
  return target->CombineRect(RectI{0, 0, width, height}, kClipUnion) == 0;
}

int32_t WindowPart::RegionChanged() {
  if (host_ && !parent_) host_->OnRegionChanged();
  return 0;
}

// ---- Focus and pointer ---------------------------------------------------------------------

int32_t WindowPart::SetFocus(int32_t take) {
  if (OffLoopThread()) return kErrWrongState;
  if (!host_) return kErrWrongState;
  host_->SetFocusPart(take ? this : nullptr, this);
  return 0;
}

int32_t WindowPart::CapturePointer(int32_t capture) {
  if (OffLoopThread()) return kErrWrongState;
  if (!host_) return kErrWrongState;
  host_->SetCapturePart(capture ? this : nullptr, this);
  return 0;
}

int32_t WindowPart::GetHost(MHostWindow** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (!host_) return kErrNotFound;
  *out = host_->Face();
  (*out)->AddRef();
  return 0;
}

// ---- Values and properties -----------------------------------------------------------------

int32_t WindowPart::GetValue(uint32_t id, void* buffer, uint32_t size) {
  if (OffLoopThread()) return kErrWrongState;
  switch (id) {
    case kValueOffset: {
      int32_t v[4];
      std::copy_n(offset_, 4, v);
      return ReadValue(v, buffer, size);
    }
    case kValueAlignment: {
      double v[4];
      std::copy_n(alignment_, 4, v);
      return ReadValue(v, buffer, size);
    }
    case kValueLocation:
      return ReadValue(location_, buffer, size);
    case kValueSize:
      return ReadValue(size_, buffer, size);
    case kValueVirtualSize:
      return ReadValue(VirtualSize(), buffer, size);
    case kValuePan:
      return ReadValue(pan_, buffer, size);
    case kValueStateFlags:
      return ReadValue(state_, buffer, size);
    case kValueRectangle:
      return ReadValue(RectInHost(), buffer, size);
    case kValueCapability:
      return ReadValue(int32_t{IsVisible() && host_ ? 1 : 0}, buffer, size);
    case kValueParent:
      return ReadValue(parent_ ? parent_->Outer() : static_cast<MWindowElement*>(nullptr), buffer,
                       size);
    case kValueHost:
      return ReadValue(host_ ? host_->Face() : static_cast<MHostWindow*>(nullptr), buffer, size);
    case kValueName:
      return ReadValue(name_.c_str(), buffer, size);
    case kValueOpacity:
      return ReadValue(opacity_, buffer, size);
    default:
      return kErrNotFound;
  }
}

int32_t WindowPart::SetValue(uint32_t id, const void* buffer, uint32_t size) {
  if (OffLoopThread()) {
    if (!buffer) return kErrMissingArg;
    if (id == kValueName) {
      const char16_t* text = nullptr;
      if (!WriteValue(&text, buffer, size)) return kErrOutOfRange;
      return HandToLoop([name = std::u16string(text ? text : u"")](WindowPart* part) {
        const char16_t* p = name.c_str();
        part->SetValue(kValueName, &p, sizeof p);
      });
    }
    std::vector<uint8_t> bytes(static_cast<const uint8_t*>(buffer),
                               static_cast<const uint8_t*>(buffer) + size);
    return HandToLoop([id, bytes = std::move(bytes)](WindowPart* part) {
      part->SetValue(id, bytes.data(), static_cast<uint32_t>(bytes.size()));
    });
  }
  switch (id) {
    case kValueOffset: {
      int32_t v[4];
      if (!WriteValue(&v, buffer, size)) return kErrOutOfRange;
      SetOffset(v);
      return 0;
    }
    case kValueAlignment: {
      double v[4];
      if (!WriteValue(&v, buffer, size)) return kErrOutOfRange;
      SetAlignment(v);
      return 0;
    }
    case kValueLocation: {
      PointI p;
      if (!WriteValue(&p, buffer, size)) return kErrOutOfRange;
      anchored_ = false;
      SetLocation(p);
      return 0;
    }
    case kValueSize: {
      SizeI s;
      if (!WriteValue(&s, buffer, size)) return kErrOutOfRange;
      anchored_ = false;
      SetSize(s);
      return 0;
    }
    case kValueVirtualSize: {
      SizeI s;
      if (!WriteValue(&s, buffer, size)) return kErrOutOfRange;
      SetVirtualSize(s);
      return 0;
    }
    case kValuePan: {
      PointI p;
      if (!WriteValue(&p, buffer, size)) return kErrOutOfRange;
      SetPan(p);
      return 0;
    }
    case kValueName: {
      const char16_t* text = nullptr;
      if (!WriteValue(&text, buffer, size)) return kErrOutOfRange;
      name_ = text ? text : u"";
      return 0;
    }
    case kValueOpacity: {
      int32_t v = 0;
      if (!WriteValue(&v, buffer, size)) return kErrOutOfRange;
      SetOpacity(v);
      return 0;
    }
    default:
      return kErrNotFound;
  }
}

int32_t WindowPart::GetProperty(const char16_t* name, PropertyValue* out) {
  if (OffLoopThread()) return kErrWrongState;
  return properties_.Get(name, out);
}

int32_t WindowPart::SetProperty(const char16_t* name, int32_t type, const PropertyValue* value) {
  if (OffLoopThread()) {
    if (!name || !value) return kErrMissingArg;
    // Copies that outlive the call: the text, and a reference on an interface.
    PropertyValue copy = *value;
    std::u16string text = value->text ? value->text : u"";
    RefPtr<MUnknown> held(type == kPropertyInterface ? static_cast<MUnknown*>(value->object)
                                                     : nullptr);
    return HandToLoop([key = std::u16string(name), type, copy, text = std::move(text),
                       held = std::move(held)](WindowPart* part) mutable {
      copy.text = text.c_str();
      part->SetProperty(key.c_str(), type, &copy);
    });
  }
  if (!value) return kErrMissingArg;
  return properties_.Set(name, type, *value);
}

int32_t WindowPart::RemoveProperty(const char16_t* name) {
  if (OffLoopThread()) return kErrWrongState;
  return properties_.Remove(name);
}

// ---- Notifications and queries ---------------------------------------------------------------

int32_t WindowPart::Notify(uint32_t code, uintptr_t argument) {
  if (OffLoopThread()) return kErrWrongState;
  OnNotify(code, argument);
  return 0;
}

void WindowPart::OnNotify(uint32_t code, uintptr_t argument) {
  (void)code;
  (void)argument;
}

int32_t WindowPart::ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) {
  (void)code;
  (void)child;
  (void)argument;
  return 0;
}

int32_t WindowPart::Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  if (OffLoopThread()) return kErrWrongState;
  return OnQuery(code, a, b, c);
}

int32_t WindowPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)code;
  (void)a;
  (void)b;
  (void)c;
  return 0;
}

// ---- Holding, dock points, tasks, timers ---------------------------------------------------

int32_t WindowPart::HoldUpdates(int32_t hold) {
  if (OffLoopThread()) {
    return HandToLoop([hold](WindowPart* part) { part->HoldUpdates(hold); });
  }
  if (hold) {
    ++holdCount_;
  } else if (holdCount_ > 0 && --holdCount_ == 0) {
    if (holdDamage_) {
      holdDamage_ = false;
      Repaint();
    }
    UpdateFrameRegistration();
  }
  return holdCount_;
}

int32_t WindowPart::AddDockPoint(MDockPoint* point, int32_t master) {
  if (OffLoopThread()) return kErrWrongState;
  if (!point) return kErrMissingArg;
  docks_.emplace_back(RefPtr<MDockPoint>(point), master != 0);
  return 0;
}

int32_t WindowPart::ClearDockPoints() {
  docks_.clear();
  return 0;
}

int32_t WindowPart::PostTask(void (*callback)(void*), void* context) {
  if (!callback) return kErrMissingArg;
  GuiLoop* loop = Loop();
  if (!loop || !loop->Post([callback, context] { callback(context); })) return kErrFailed;
  return 0;
}

uint64_t WindowPart::StartTimer(uint32_t delayMs, std::function<void()> callback) {
  GuiLoop* loop = Loop();
  if (!loop) return 0;
  auto id = std::make_shared<uint64_t>(0);
  *id = loop->StartTimer(loop->NowMs() + delayMs, [this, id, cb = std::move(callback)] {
    std::erase(timers_, *id);
    cb();
  });
  timers_.push_back(*id);
  return *id;
}

void WindowPart::StopTimer(uint64_t id) {
  if (Loop()) Loop()->StopTimer(id);
  std::erase(timers_, id);
}

void WindowPart::ClearTimers() {
  if (GuiLoop* loop = Loop()) {
    for (uint64_t id : timers_)
      loop->StopTimer(id);
  }
  timers_.clear();
}

}  // namespace vk2::gui
