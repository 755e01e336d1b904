#include "oru/gui/host/host_window_object.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/util/result.h"
#include "oru/graphics/canvas/surface_object.h"
#include "oru/gui/backend/png_dump.h"
#include "oru/gui/host/docking.h"
#include "oru/gui/loop/gui_loop.h"
#include "oru/gui/window/window_part.h"

namespace vk2::gui {

int32_t HostWindowObject::Create(GuiLoop* loop, RefPtr<HostWindowObject>* out) {
  if (!loop || !out) return kErrMissingArg;
  if (!loop->IsLoopThread()) return kErrWrongState;
  const uint32_t window = loop->Backend().CreateWindow();
  auto* host = new (std::nothrow) HostWindowObject(loop, window);
  if (!host) {
    loop->Backend().DestroyWindow(window);
    return kErrOutOfMemory;
  }
  *out = RefPtr<HostWindowObject>(host);
  return 0;
}

HostWindowObject::HostWindowObject(GuiLoop* loop, uint32_t window) : loop_(loop), window_(window) {
  loop_->AddHost(this);
}

HostWindowObject::~HostWindowObject() {
  Close();
}

void HostWindowObject::Close() {
  if (root_) {
    RefPtr<MWindowElement> root = root_;
    root->DestroyWindow();
  }
  Docking::Forget(this);
  loop_->RemovePopup(this);
  if (window_) {
    loop_->RemoveHost(this);
    loop_->Backend().DestroyWindow(window_);
    window_ = 0;
  }
}

// ---- Root ----------------------------------------------------------------------------------

int32_t HostWindowObject::SetRoot(MWindowElement* root) {
  if (!loop_->IsLoopThread()) return kErrWrongState;
  WindowPart* core = root ? WindowPart::FromElement(root) : nullptr;
  if (root && !core) return kErrMissingArg;
  if (root_) {
    WindowPart* old = rootCore_;
    RefPtr<MWindowElement> keep = std::move(root_);
    rootCore_ = nullptr;
    old->SetHost(nullptr);
  }
  if (!core) return 0;
  if (core->Parent()) core->Parent()->DetachChild(root);
  root_ = RefPtr<MWindowElement>(root);
  rootCore_ = core;
  core->SetHost(this);
  OnRootGeometryChanged();
  OnRootVisibilityChanged(core->IsVisible());
  return 0;
}

MWindowElement* HostWindowObject::GetRoot() {
  return root_.Get();
}

void HostWindowObject::OnRootDestroyed(WindowPart* root) {
  if (root != rootCore_) return;
  ClearHover();
  capture_ = focus_ = pressed_ = lastClickPart_ = nullptr;
  move_ = MoveLoop{};
  Docking::Forget(this);
  rootCore_ = nullptr;
  RefPtr<MWindowElement> keep = std::move(root_);
  keep->DestroyWindow();  // already destroying: finishes nothing twice
  if (window_) loop_->Backend().ShowWindow(window_, false);
  shown_ = false;
}

void HostWindowObject::OnRootGeometryChanged() {
  if (!rootCore_) return;
  const PointI location = rootCore_->Location();
  const SizeI size = rootCore_->Size();
  const RectI rect{location.x, location.y, location.x + std::max(1, size.width),
                   location.y + std::max(1, size.height)};
  const PointI delta{rect.left - screenRect_.left, rect.top - screenRect_.top};
  const bool resized = rect.Width() != screenRect_.Width() || rect.Height() != screenRect_.Height();
  screenRect_ = rect;
  loop_->Backend().SetWindowRect(window_, rect);
  if (resized) {
    surface_ = nullptr;
    AddDamage(RectI{0, 0, rect.Width(), rect.Height()});
    Reshape();
  }
  if (delta.x || delta.y) Docking::MasterMoved(this, delta);
}

void HostWindowObject::OnRootOpacityChanged(int32_t opacity) {
  loop_->Backend().SetOpacity(window_, opacity);
}

void HostWindowObject::OnRootVisibilityChanged(bool visible) {
  Show(visible ? 1 : 0);
  if (!visible) Docking::MasterHidden(this);
}

void HostWindowObject::OnPartLeaving(WindowPart* part) {
  if (std::find(hoverChain_.begin(), hoverChain_.end(), part) != hoverChain_.end() ||
      hoverTop_ == part) {
    std::erase(hoverChain_, part);
    if (hoverTop_ == part) hoverTop_ = nullptr;
  }
  if (capture_ == part) capture_ = nullptr;
  if (focus_ == part) focus_ = nullptr;
  if (pressed_ == part) pressed_ = nullptr;
  if (lastClickPart_ == part) lastClickPart_ = nullptr;
  if (move_.part == part) move_ = MoveLoop{};
  if (!part->IsVisible()) return;
  const RectI area = part->VisibleRectInHost();
  if (!area.Empty()) AddDamage(area);
}

void HostWindowObject::MoveTo(PointI screenLocation) {
  if (!rootCore_) return;
  rootCore_->SetLocation(screenLocation);
}

// ---- MHostWindow ---------------------------------------------------------------------------

double HostWindowObject::GetActualFps() {
  const uint64_t now = loop_->NowMs();
  while (!frameTimes_.empty() && frameTimes_.front() + 1000 <= now)
    frameTimes_.pop_front();
  return static_cast<double>(frameTimes_.size());
}

int32_t HostWindowObject::DesiredFps(int32_t rate) {
  if (rate >= 1 && rate <= 200) desiredFps_ = rate;
  return desiredFps_;
}

int32_t HostWindowObject::PointerPosition(MWindowElement* window, PointI* out) {
  if (!out) return kErrMissingArg;
  const PointI screen = loop_->Backend().PointerOnScreen();
  PointI p{screen.x - screenRect_.left, screen.y - screenRect_.top};
  if (window) {
    WindowPart* core = WindowPart::FromElement(window);
    if (!core || core->Host() != this) return kErrNotFound;
    const PointI origin = core->OriginInHost();
    p.x -= origin.x;
    p.y -= origin.y;
  }
  *out = p;
  return 0;
}

int32_t HostWindowObject::SetTitle(const char16_t* title) {
  loop_->Backend().SetTitle(window_, title ? title : u"");
  return 0;
}

int32_t HostWindowObject::Show(int32_t show) {
  shown_ = show != 0;
  loop_->Backend().ShowWindow(window_, shown_);
  if (shown_) AddDamage(RectI{0, 0, screenRect_.Width(), screenRect_.Height()});
  return 0;
}

int32_t HostWindowObject::Minimize(int32_t minimize) {
  minimized_ = minimize != 0;
  loop_->Backend().MinimizeWindow(window_, minimized_);
  return 0;
}

int32_t HostWindowObject::SetAlwaysOnTop(int32_t onTop) {
  loop_->Backend().SetAlwaysOnTop(window_, onTop != 0);
  return 0;
}

int32_t HostWindowObject::SetScreenRect(const RectI* rect) {
  if (!rect) return kErrMissingArg;
  if (!rootCore_) {
    screenRect_ = *rect;
    loop_->Backend().SetWindowRect(window_, *rect);
    return 0;
  }
  rootCore_->SetLocation(PointI{rect->left, rect->top});
  rootCore_->SetSize(SizeI{rect->Width(), rect->Height()});
  return 0;
}

int32_t HostWindowObject::GetScreenRect(RectI* out) {
  if (!out) return kErrMissingArg;
  *out = screenRect_;
  return 0;
}

int32_t HostWindowObject::SetOpacity(int32_t opacity) {
  if (rootCore_) {
    rootCore_->SetOpacity(opacity);
  } else {
    loop_->Backend().SetOpacity(window_, std::clamp(opacity, 0, 256));
  }
  return 0;
}

int32_t HostWindowObject::DumpPng(const char* path) {
  if (!path) return kErrMissingArg;
  PaintIfDamaged();
  SurfaceView view;
  if (!surface_ || surface_->GetView(&view) != 0) return kErrWrongState;
  return WritePng(view, path) ? 0 : kErrCannotWrite;
}

namespace {
void BroadcastTo(WindowPart* part, uint32_t code, uintptr_t argument) {
  RefPtr<MWindowElement> keep(part->Outer());
  keep->Notify(code, argument);
  for (WindowPart* child : std::vector<WindowPart*>(part->Children())) {
    BroadcastTo(child, code, argument);
  }
}
}  // namespace

int32_t HostWindowObject::Broadcast(MWindowElement* window, uint32_t code, uintptr_t argument) {
  WindowPart* core = window ? WindowPart::FromElement(window) : rootCore_;
  if (!core) return kErrNotFound;
  BroadcastTo(core, code, argument);
  return 0;
}

int32_t HostWindowObject::QueueTask(MHostTask* task, MWindowElement* window, uintptr_t a,
                                    uintptr_t b) {
  if (!task) return kErrMissingArg;
  bool post = false;
  {
    std::lock_guard lock(taskMutex_);
    tasks_.push_back(Task{RefPtr<MHostTask>(task), RefPtr<MWindowElement>(window), a, b});
    post = !tasksPosted_;
    tasksPosted_ = true;
  }
  if (post) {
    RefPtr<HostWindowObject> keep(this);
    if (!loop_->Post([keep] { keep->RunTasks(); })) return kErrFailed;
  }
  return 0;
}

void HostWindowObject::RunTasks() {
  std::vector<Task> batch;
  {
    std::lock_guard lock(taskMutex_);
    batch.swap(tasks_);
    tasksPosted_ = false;
  }
  for (Task& t : batch)
    t.task->Run(t.window.Get(), t.a, t.b);
}

MWindowElement* HostWindowObject::GetFocus() {
  return focus_ ? focus_->Outer() : nullptr;
}

int32_t HostWindowObject::GetClipboardText(char16_t** out) {
  if (!out) return kErrMissingArg;
  const std::u16string text = loop_->Backend().ClipboardText();
  auto* copy = new (std::nothrow) char16_t[text.size() + 1];
  if (!copy) return kErrOutOfMemory;
  std::copy(text.begin(), text.end(), copy);
  copy[text.size()] = 0;
  *out = copy;
  return 0;
}

int32_t HostWindowObject::SetClipboardText(const char16_t* text) {
  loop_->Backend().SetClipboardText(text ? text : u"");
  return 0;
}

void HostWindowObject::FreeText(char16_t* text) {
  delete[] text;
}

int32_t HostWindowObject::EnableTextInput(int32_t enable) {
  loop_->Backend().EnableTextInput(enable != 0);
  return 0;
}

void HostWindowObject::ChangeZOrder(int32_t order) {
  const bool top = order == 3 || order == 5;
  loop_->Backend().RaiseWindow(window_, top);
  if (order == 5) SetAlwaysOnTop(1);
  if (order == 0) SetAlwaysOnTop(0);
}

}  // namespace vk2::gui
