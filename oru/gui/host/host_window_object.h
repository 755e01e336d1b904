// A host window: one backend window showing one window tree. It composes the tree into its
// surface, routes input to the parts, runs the drag and size loops, keeps docked hosts
// together and runs queued tasks. Loop thread only (QueueTask excepted).
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/graphics/image.h"
#include "interfaces/gui/host_window.h"
#include "interfaces/ids.h"
#include "oru/gui/backend/backend.h"

namespace vk2::gui {

class GuiLoop;
class WindowPart;

class HostWindowObject final
    : public ComObject<HostWindowObject, Face<MHostWindow, kIID_MHostWindow>> {
 public:
  // A hidden host on `loop`'s backend, with one reference for the caller.
  static int32_t Create(GuiLoop* loop, RefPtr<HostWindowObject>* out);

  MHostWindow* Face() { return this; }
  uint32_t BackendWindow() const { return window_; }
  WindowPart* Root() const { return rootCore_; }
  // Destroys the tree and the backend window (the loop's shutdown, the app's Shutdown).
  void Close();

  // ---- MHostWindow ----
  double GetActualFps() override;
  int32_t SetRoot(MWindowElement* root) override;
  MWindowElement* GetRoot() override;
  int32_t DesiredFps(int32_t rate) override;
  int32_t PointerPosition(MWindowElement* window, PointI* out) override;
  int32_t SetTitle(const char16_t* title) override;
  int32_t Show(int32_t show) override;
  int32_t Minimize(int32_t minimize) override;
  int32_t SetAlwaysOnTop(int32_t onTop) override;
  int32_t SetScreenRect(const RectI* rect) override;
  int32_t GetScreenRect(RectI* out) override;
  int32_t SetOpacity(int32_t opacity) override;
  int32_t DumpPng(const char* path) override;
  int32_t Broadcast(MWindowElement* window, uint32_t code, uintptr_t argument) override;
  int32_t QueueTask(MHostTask* task, MWindowElement* window, uintptr_t a, uintptr_t b) override;
  MWindowElement* GetFocus() override;
  int32_t GetClipboardText(char16_t** out) override;
  int32_t SetClipboardText(const char16_t* text) override;
  void FreeText(char16_t* text) override;
  int32_t EnableTextInput(int32_t enable) override;

  // ---- From the window parts ----
  void AddDamage(const RectI& hostRect);
  void OnRootGeometryChanged();
  void OnRootOpacityChanged(int32_t opacity);
  void OnRootVisibilityChanged(bool visible);
  void OnRootDestroyed(WindowPart* root);
  void OnRegionChanged();
  void OnPartLeaving(WindowPart* part);
  void SetFocusPart(WindowPart* part, WindowPart* requester);
  void SetCapturePart(WindowPart* part, WindowPart* requester);
  void StartMoveLoop(WindowPart* part, const DragStartRecord& start, bool size);
  void ChangeZOrder(int32_t order);
  WindowPart* FocusPart() const { return focus_; }
  WindowPart* CapturePart() const { return capture_; }
  bool InMoveLoop() const { return move_.active; }

  // ---- From the loop ----
  void HandleEvent(const BackendEvent& event);
  void PaintIfDamaged();
  // Moves the host on the screen (docked slaves follow).
  void MoveTo(PointI screenLocation);
  RectI ScreenRect() const { return screenRect_; }
  bool IsShown() const { return shown_; }

 private:
  explicit HostWindowObject(GuiLoop* loop, uint32_t window);
  ~HostWindowObject() override;

  // Input (host_input.cpp).
  struct Hit {
    WindowPart* part = nullptr;
    int32_t code = 0;
  };
  Hit HitTest(PointI hostPoint);
  Hit HitTestPart(WindowPart* part, PointI hostPoint);
  void UpdateHover(PointI hostPoint);
  void ClearHover();
  int32_t QueryUpward(WindowPart* part, uint32_t code, uintptr_t a, uintptr_t b);
  void OnPointerMove(const BackendEvent& event);
  void OnButtonDown(const BackendEvent& event);
  void OnButtonUp(const BackendEvent& event);
  void OnDrop(const BackendEvent& event);
  void OnKey(const BackendEvent& event, bool down);
  PointI ToScreen(int32_t x, int32_t y) const;

  // Move loops (move_loop.cpp).
  void UpdateMoveLoop(PointI screenPoint);
  void EndMoveLoop();

  // Paint (host_paint.cpp).
  void PaintPart(WindowPart* part, MCanvas* hostCanvas, const RectI& damage);
  void Reshape();
  void RunTasks();

  GuiLoop* loop_;
  uint32_t window_;
  RefPtr<MWindowElement> root_;
  WindowPart* rootCore_ = nullptr;
  RefPtr<MSurface> surface_;
  RefPtr<MSurface> scratch_;
  RefPtr<MMaskImage> shape_;  // null: the whole rectangle
  RectI damage_;
  RectI screenRect_{0, 0, 1, 1};
  bool shown_ = false;
  bool minimized_ = false;
  int32_t desiredFps_ = 60;
  std::deque<uint64_t> frameTimes_;

  WindowPart* hoverTop_ = nullptr;
  std::vector<WindowPart*> hoverChain_;
  WindowPart* capture_ = nullptr;
  WindowPart* focus_ = nullptr;
  WindowPart* pressed_ = nullptr;
  int32_t pressedButton_ = 0;
  WindowPart* lastClickPart_ = nullptr;
  uint64_t lastClickMs_ = 0;
  PointI lastClickPoint_;
  PointI pointer_;  // host coordinates

  struct MoveLoop {
    bool active = false;
    WindowPart* part = nullptr;
    int32_t code = 0;
    int32_t button = 1;
    PointI startPointer;  // screen
    PointI startLocation;
    SizeI startSize;
    PointI startPan;
  };
  MoveLoop move_;

  struct Task {
    RefPtr<MHostTask> task;
    RefPtr<MWindowElement> window;
    uintptr_t a = 0;
    uintptr_t b = 0;
  };
  std::mutex taskMutex_;
  std::vector<Task> tasks_;   // guarded by taskMutex_
  bool tasksPosted_ = false;  // guarded by taskMutex_
};

}  // namespace vk2::gui
