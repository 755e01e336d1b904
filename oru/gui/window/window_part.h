// The window part's core: geometry, state, the part tree, properties, timed commands, dock
// points. Every window part (plain or control) is a WindowPartOf<...> (window_part_of.h) that
// puts the MWindowElement table over this core; control parts override the hooks below.
// Loop thread only; see oru/gui/README.md for the codes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/host_window.h"
#include "interfaces/gui/window_element.h"
#include "oru/gui/loop/gui_loop.h"
#include "oru/gui/window/pending_command.h"
#include "oru/gui/window/property_table.h"

namespace vk2::gui {

class HostWindowObject;
class WindowPart;

// Asked of any window element to reach our core behind it (no reference is handed out).
class MWindowPartCore : public MUnknown {
 public:
  virtual WindowPart* Core() = 0;

 protected:
  ~MWindowPartCore() = default;
};

class WindowPart : public FrameClient {
 public:
  WindowPart();
  virtual ~WindowPart();
  WindowPart(const WindowPart&) = delete;
  WindowPart& operator=(const WindowPart&) = delete;

  // The core behind any element of ours (a wrapper that aggregates us included), or null.
  static WindowPart* FromElement(MUnknown* element);

  // Set by WindowPartOf: the part's own table and the object that controls its lifetime.
  void BindFace(MWindowElement* self, MUnknown* controlling);
  MWindowElement* Self() const { return self_; }
  // The outermost window element of the object (a wrapper when aggregated): notifications,
  // queries, paint and hit tests go through it so that the wrapper sees them first.
  MWindowElement* Outer();

  // ---- MWindowElement operations (slot order) ----
  int32_t PostCommand(uint32_t code, int32_t startMs, int32_t durationMs, uintptr_t data,
                      MWindowElement* sender, uint32_t options);
  int32_t CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs, uint32_t mode,
                         MWindowElement* sender);
  int32_t AttachChild(MWindowElement* child, int32_t placementMode);
  int32_t DetachChild(MWindowElement* child);
  int32_t Paint(MCanvas* canvas, const PaintRecord* record);
  int32_t HitCode(const PointI* point);
  int32_t Invalidate(const RectI* rect);
  int32_t MapPoint(PointI* point, MWindowElement* to);
  int32_t Region(MMaskImage* target, int32_t width, int32_t height);
  int32_t SetFocus(int32_t take);
  int32_t GetProperty(const char16_t* name, PropertyValue* out);
  int32_t GetValue(uint32_t id, void* buffer, uint32_t size);
  int32_t Notify(uint32_t code, uintptr_t argument);
  int32_t ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument);
  int32_t SetValue(uint32_t id, const void* buffer, uint32_t size);
  int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c);
  int32_t CapturePointer(int32_t capture);
  int32_t ChildCount() const { return static_cast<int32_t>(children_.size()); }
  MWindowElement* ChildAt(int32_t index);
  int32_t HoldUpdates(int32_t hold);
  int32_t AdoptCreator(MWindowElement* creator);
  int32_t HasOwnContent() { return OnHasOwnContent() ? 1 : 0; }
  int32_t GetHost(MHostWindow** out);
  int32_t DestroyWindow();
  int32_t AddDockPoint(MDockPoint* point, int32_t master);
  int32_t ClearDockPoints();
  int32_t RegionChanged();
  MWindowElement* Sibling(int32_t above);
  int32_t PostTask(void (*callback)(void*), void* context);
  int32_t SetProperty(const char16_t* name, int32_t type, const PropertyValue* value);
  int32_t RemoveProperty(const char16_t* name);

  // ---- Hooks for control parts ----
  // Draws the part's own content in window coordinates; true when it drew.
  virtual bool OnPaint(MCanvas* canvas, const PaintRecord& record);
  // Default: active inside the virtual area.
  virtual int32_t OnHitCode(PointI point);
  virtual void OnNotify(uint32_t code, uintptr_t argument);
  virtual int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c);
  virtual bool OnHasOwnContent() { return false; }
  // Adds the outline to `target`; default: the whole rectangle.
  virtual bool OnRegion(MMaskImage* target, int32_t width, int32_t height);

  // ---- For the host and for control parts ----
  uint32_t State() const { return state_; }
  bool IsVisible() const { return (state_ & kStateVisible) != 0; }
  bool IsEnabled() const { return (state_ & kStateEnabled) != 0; }
  bool IsDestroying() const { return (state_ & kStateDestroying) != 0; }
  void SetStateBits(uint32_t bits, bool on);
  PointI Location() const { return location_; }
  SizeI Size() const { return size_; }
  SizeI VirtualSize() const;
  PointI Pan() const { return pan_; }
  int32_t Opacity() const { return opacity_; }
  const std::u16string& Name() const { return name_; }
  void SetName(std::u16string name) { name_ = std::move(name); }
  WindowPart* Parent() const { return parent_; }
  HostWindowObject* Host() const { return host_; }
  const std::vector<WindowPart*>& Children() const { return childCores_; }
  const PropertyTable& Properties() const { return properties_; }
  const std::vector<std::pair<RefPtr<MDockPoint>, bool>>& DockPoints() const { return docks_; }
  int32_t HoldCount() const { return holdCount_; }

  // Immediate changes (commands end in these). Size passes notification 12 first.
  void SetLocation(PointI location);
  void SetSize(SizeI size);
  void SetVirtualSize(SizeI size);
  void SetPan(PointI pan);
  void SetOffset(const int32_t offset[4]);
  void SetAlignment(const double alignment[4]);
  void SetOpacity(int32_t opacity);
  void SetVisible(bool visible);
  void SetEnabled(bool enabled);
  // Recomputes the rectangle from the offset and alignment in the parent's size.
  void ApplyPlacement();

  // Host coordinates of the window coordinate origin (pan applied) and of the window's area.
  PointI OriginInHost() const;
  RectI RectInHost() const;
  // The part of RectInHost that shows (clipped by every ancestor).
  RectI VisibleRectInHost() const;
  int32_t EffectiveOpacity() const;
  // Joins or leaves a host, with the whole subtree (notifications 1 and 2 on joining).
  void SetHost(HostWindowObject* host);

  // A timer on the loop's clock, stopped when the part is destroyed.
  uint64_t StartTimer(uint32_t delayMs, std::function<void()> callback);
  void StopTimer(uint64_t id);
  // Repaint of the whole window.
  void Repaint() { Invalidate(nullptr); }
  // The loop the part belongs to (the process's).
  static GuiLoop* Loop() { return GuiLoop::Current(); }
  // Posts `body` to the loop without holding the window: it runs only if the part still exists
  // then. For work raised on other threads that may arrive while the window is being destroyed,
  // where a new reference would bring a dying window back. Parts die on the loop thread.
  bool PostWhileAlive(std::function<void(WindowPart*)> body);

  // ---- FrameClient: timed commands ----
  uint64_t NextDeadline(uint64_t nowMs, uint64_t frameMs) override;
  void Tick(uint64_t nowMs) override;
  size_t PendingCommandCount() const { return commands_.size(); }

 private:
  // Off the loop thread (when there is a loop): changes are handed to it, the rest refused.
  bool OffLoopThread() const;
  int32_t HandToLoop(std::function<void(WindowPart*)> change);
  void DestroyNow();
  void DetachFromParent();
  void ClearTimers();
  int32_t ChildIndex(const WindowPart* child) const;
  void RunCommands(uint64_t nowMs);
  void StartCommand(PendingCommand& command);
  void StepCommand(PendingCommand& command, double t);
  void FinishCommand(PendingCommand& command);
  void UpdateFrameRegistration();

  MWindowElement* self_ = nullptr;
  MUnknown* controlling_ = nullptr;
  WindowPart* parent_ = nullptr;
  HostWindowObject* host_ = nullptr;
  std::vector<MWindowElement*> children_;  // each holds a reference
  std::vector<WindowPart*> childCores_;
  RefPtr<MWindowElement> creator_;

  PointI location_;
  SizeI size_;
  SizeI virtualSize_;
  bool virtualSizeSet_ = false;
  PointI pan_;
  int32_t offset_[4] = {};
  double alignment_[4] = {};
  bool anchored_ = false;
  uint32_t state_ = kStateVisible | kStateEnabled;
  int32_t opacity_ = 256;
  std::u16string name_;
  PropertyTable properties_;
  std::vector<std::pair<RefPtr<MDockPoint>, bool>> docks_;
  int32_t holdCount_ = 0;
  bool holdDamage_ = false;

  std::vector<PendingCommand> commands_;
  uint64_t commandSequence_ = 0;
  uint64_t lastFrameMs_ = 0;
  bool frameRegistered_ = false;
  std::vector<uint64_t> timers_;
  // Expires with the part; posts from PostWhileAlive hold it weakly.
  std::shared_ptr<const bool> lifeToken_ = std::make_shared<const bool>(true);
};

}  // namespace vk2::gui
