// The window part: one node of a host's window tree. Every markup window and control wraps one
// (aggregated into a blank base object) and forwards these operations to it by slot. Codes,
// records and the threading rule are fixed in oru/gui/README.md; the structs below are the
// records that README names.
#pragma once

#include <cstdint>

#include "interfaces/graphics/surface.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MCanvas;
class MMaskImage;
class MHostWindow;
class MDockPoint;

struct PointI {
  int32_t x = 0;
  int32_t y = 0;
  friend constexpr bool operator==(const PointI&, const PointI&) = default;
};

struct SizeI {
  int32_t width = 0;
  int32_t height = 0;
  friend constexpr bool operator==(const SizeI&, const SizeI&) = default;
};

// ---- Commands (PostCommand / CancelCommands) -----------------------------------------------
enum WindowCommand : uint32_t {
  kCmdLocation = 0x1,
  kCmdSize = 0x2,
  kCmdVirtualSize = 0x4,
  kCmdOffset = 0x8,
  kCmdLocationAndOffset = 0x9,
  kCmdAlignment = 0x10,
  kCmdPan = 0x20,
  kCmdPlacement = 0x40,
  kCmdDestroy = 0x80,
  kCmdShow = 0xC0,
  kCmdEnable = 0x100,
  kCmdRepaint = 0x140,
  kCmdCustom = 0x240,
  kCmdStartDrag = 0x2C0,
  kCmdStartSize = 0x340,
  kCmdZOrder = 0x480,
  kCmdMinimize = 0x540,
  kCmdAlwaysOnTop = 0x580,
  kCmdPropertyTween = 0x680,
};

// Option word bits of PostCommand.
inline constexpr uint32_t kCmdOptRepeatEachFrame = 0x1;  // repaint on every frame of the span
inline constexpr uint32_t kCmdOptNotifyEnd = 0x2;        // notification 15 to the sender at the end
inline constexpr uint32_t kCmdOptSupersede = 0x8;        // drop pending commands of the same kind

// Mode word of a tween record.
inline constexpr uint32_t kTweenFromCurrent = 0x1;        // start from the value at start time
inline constexpr uint32_t kTweenRelativePan = 0x2;        // pan target is added to the current
inline constexpr uint32_t kTweenRelativeLocation = 0x40;  // location target is a delta
inline constexpr uint32_t kTweenRelativeSize = 0x80;      // size target is a delta
inline constexpr uint32_t kTweenRelativeVirtualSize = 0x100;

// Tween curves, as the markup's tween-curve table numbers them.
enum TweenCurve : int32_t {
  kTweenLinear = 0,
  kTweenAccelerate = 1,
  kTweenDecelerate = 2,
  kTweenSmooth = 3,
  kTweenBounce = 4,
};

// One value of a tween: points in words 0-1 (repeated in 2-7 by callers), four offsets in words
// 0-3, four alignment fractions in values 0-3.
struct TweenState {
  int32_t words[12] = {};
  double values[4] = {};
};

// Data of commands 1, 2, 4, 8, 9, 0x10, 0x20. The part copies it when the command is posted.
struct TweenRecord {
  TweenState from;
  TweenState to;
  int32_t curve = kTweenLinear;
  int32_t reserved = 0;
  uint32_t mode = kTweenFromCurrent;
};

// Data of command 0x680: tweens a double property from its value at start time to `to`.
struct PropertyTweenRecord {
  const char* name = nullptr;  // narrow, copied at posting
  int32_t curve = kTweenLinear;
  int32_t fromCurrent = 1;
  int32_t reserved = 0;
  double from = 0;
  double to = 0;
};

// Data of commands 0x2C0 and 0x340: the drag or size loop starts at a point of this window.
struct DragStartRecord {
  int32_t code = 0;  // a hit code: bits 12-15 choose the drag, pan or size action
  int32_t x = 0;
  int32_t y = 0;
  int32_t button = 1;  // 1 left, 2 right, 3 middle
};

// Edges of a placed rectangle: each is a fraction of the parent's size plus whole pixels.
struct AnchoredRect {
  int32_t offset[4] = {};    // left, top, right, bottom in pixels
  double alignment[4] = {};  // left, top, right, bottom as fractions of the parent
};

// Data of command 0x40: attach this window under `parent` (null: make it a host's root).
struct PlacementRecord {
  MUnknown* parent = nullptr;
  AnchoredRect rect;
  uint32_t flags = 0;  // kPlace* bits
  int32_t mode = 0;    // kPlaceMode*
  const char16_t* name = nullptr;
};
inline constexpr uint32_t kPlaceVisible = 0x1;
inline constexpr uint32_t kPlaceEnabled = 0x4;
inline constexpr uint32_t kPlaceClipToParent = 0x100;
inline constexpr uint32_t kPlaceNoFocus = 0x200;
enum PlacementMode : int32_t {
  kPlaceModeBottom = 2,  // below its siblings
  kPlaceModeTop = 3,     // above its siblings
  kPlaceModeChild = 4,   // above its siblings, not a top-level candidate
  kPlaceModeBelowParent = 7,
};

// Data of notification 15.
struct CommandEndRecord {
  uint32_t code = 0;
  int32_t cancelled = 0;
};

// Data of notification 18: a file drop, paths as UTF-16 in one list.
struct FileDropRecord {
  int32_t count = 0;
  const char16_t* const* paths = nullptr;
  PointI point;
};

// Data of notification 32.
struct DockChangeRecord {
  const char16_t* name = nullptr;  // the dock point's name
  int32_t kind = 0;  // 0 docked as slave, 1 undocked slave, 2 docked master, 3 undocked master
};

// ---- Notifications (Notify) ----------------------------------------------------------------
enum WindowNotification : uint32_t {
  kNotifyCreated = 1,
  kNotifyAttached = 2,
  kNotifyDestroyed = 4,
  kNotifyClick = 5,
  kNotifyPointerTop = 6,  // argument 1 enter, 0 leave (this window is the topmost under it)
  kNotifyPointer = 7,     // argument 1 enter, 0 leave (this window or a descendant)
  kNotifySizeRequest = 12,
  kNotifyDoubleClick = 14,
  kNotifyCommandEnd = 15,
  kNotifyFileDrop = 18,
  kNotifyLocationChanged = 19,
  kNotifyShown = 28,
  kNotifyHidden = 29,
  kNotifyEnabled = 30,
  kNotifyDisabled = 31,
  kNotifyDock = 32,
  kNotifyItemChosen = 0x101,
  kNotifyQueryPosChange = 0x102,
  kNotifyPosChange = 0x103,
  kNotifyPosFinalized = 0x104,
  kNotifyEditEnter = 256,
  kNotifyEditChanged = 257,
  kNotifyFocus = 0x200,  // argument 1 gained, 0 lost
  kNotifyInit = 0x10001,
  kNotifyIntro = 0x10002,
  kNotifyExtro = 0x10003,
};

// ---- Queries (Query) -----------------------------------------------------------------------
enum WindowQuery : uint32_t {
  kQueryLeftDown = 0x1001,
  kQueryLeftUp = 0x1002,
  kQueryMiddleDown = 0x1003,
  kQueryMiddleUp = 0x1004,
  kQueryRightUp = 0x1005,
  kQueryRightDown = 0x1006,
  kQueryPositionAtPoint = 0x1007,  // a: const PointI*, b: int32_t* position out
  kQueryPointerMove = 0x1010,      // a: const PointI*, b: button mask
  kQueryKeyDown = 0x1011,          // a: KeyEvent*
  kQueryKeyUp = 0x1012,            // a: KeyEvent*
  kQueryWheel = 0x1013,            // a: const PointI*, b: steps (positive away from the user)
  kQueryText = 0x1014,             // a: const char16_t* text, b: length
  kQueryCaptureLost = 0x1015,
};

struct KeyEvent {
  int32_t key = 0;         // kKey* or a Unicode code point for printable keys
  uint32_t modifiers = 0;  // kMod*
  int32_t repeat = 0;
};
inline constexpr uint32_t kModShift = 0x1;
inline constexpr uint32_t kModCtrl = 0x2;
inline constexpr uint32_t kModAlt = 0x4;
enum Key : int32_t {
  kKeyBackspace = 8,
  kKeyTab = 9,
  kKeyEnter = 13,
  kKeyEscape = 27,
  kKeyDelete = 127,
  kKeyLeft = 0x110001,
  kKeyRight,
  kKeyUp,
  kKeyDown,
  kKeyHome,
  kKeyEnd,
  kKeyPageUp,
  kKeyPageDown,
};

// ---- Hit codes (HitCode) -------------------------------------------------------------------
inline constexpr int32_t kHitNone = 0;        // transparent: the point belongs to what lies below
inline constexpr int32_t kHitActive = 1;      // this window takes the pointer
inline constexpr int32_t kHitInactive = 2;    // opaque to the pointer, but does nothing
inline constexpr int32_t kHitInputFocus = 8;  // a press gives this window the keyboard focus
inline constexpr int32_t kHitActionMask = 0xF000;
inline constexpr int32_t kHitDragX = 0x1000;
inline constexpr int32_t kHitDragY = 0x2000;
inline constexpr int32_t kHitDrag = 0x3000;
inline constexpr int32_t kHitPanX = 0x4000;
inline constexpr int32_t kHitPanY = 0x5000;
inline constexpr int32_t kHitPan = 0x6000;
inline constexpr int32_t kHitSizeLeft = 0x7000;
inline constexpr int32_t kHitSizeTopLeft = 0x8000;
inline constexpr int32_t kHitSizeTop = 0x9000;
inline constexpr int32_t kHitSizeTopRight = 0xA000;
inline constexpr int32_t kHitSizeRight = 0xB000;
inline constexpr int32_t kHitSizeBottomRight = 0xC000;
inline constexpr int32_t kHitSizeBottom = 0xD000;
inline constexpr int32_t kHitSizeBottomLeft = 0xE000;

// ---- Window values (GetValue / SetValue) ---------------------------------------------------
enum WindowValue : uint32_t {
  kValueOffset = 1,       // int32_t[4] left, top, right, bottom (pixels)
  kValueAlignment = 2,    // double[4] fractions of the parent
  kValueLocation = 3,     // PointI in the parent (top-level: on the screen)
  kValueSize = 4,         // SizeI
  kValueVirtualSize = 5,  // SizeI: the extent the window draws (>= size when panned)
  kValuePan = 6,          // PointI: origin of the virtual area inside the window
  kValueStateFlags = 7,   // uint32_t kState*
  kValueRectangle = 8,    // RectI in the host's coordinates
  kValueCapability = 11,  // int32_t: nonzero while the window is shown
  kValueParent = 12,      // MWindowElement* (no reference), null for a root
  kValueHost = 13,        // MHostWindow* (no reference)
  kValueName = 16,        // const char16_t* (valid while the window lives)
  kValueOpacity = 17,     // int32_t 0-256: the window's own fade
};
inline constexpr uint32_t kStateVisible = 0x1;
inline constexpr uint32_t kStateEnabled = 0x2;
inline constexpr uint32_t kStateComposite = 0x4;  // drawn into its parent's surface
inline constexpr uint32_t kStateHover = 0x10;
inline constexpr uint32_t kStatePressed = 0x20;
inline constexpr uint32_t kStateFocused = 0x40;
inline constexpr uint32_t kStateDisabledLook = 0x400;
inline constexpr uint32_t kStateDestroying = 0x800;

// ---- Typed named properties ----------------------------------------------------------------
enum PropertyType : int32_t {
  kPropertyNone = 0,
  kPropertyInteger = 1,
  kPropertyDouble = 2,
  kPropertyObject = 4,     // a raw pointer the window does not own
  kPropertyInterface = 5,  // an MUnknown*, held with a reference
  kPropertyString = 7,     // UTF-16, copied
};

struct PropertyValue {
  int32_t type = kPropertyNone;
  int32_t integer = 0;
  double number = 0;
  void* object = nullptr;  // kPropertyObject, kPropertyInterface (no reference handed out by Get)
  const char16_t* text = nullptr;  // kPropertyString: valid until the property changes
};

// Paint record: where the window lies on the composed surface, and what needs drawing.
struct PaintRecord {
  RectI dirty;            // in window coordinates
  int32_t opacity = 256;  // the fade the window is drawn at
  uint32_t reserved = 0;
};

// Dock point set-up, as the markup reads it.
struct DockPointRecord {
  const char16_t* name = nullptr;
  int32_t offsetX = 0;
  int32_t offsetY = 0;
  double alignX = 0;
  double alignY = 0;
  int32_t master = 0;
};

class MWindowElement : public MUnknown {
 public:
  // 3-5: the part's own (non-delegating) unknown.
  virtual int32_t InnerQueryInterface(const Guid& iid, void** out, uint32_t addRef,
                                      uint32_t reserved) = 0;
  virtual uint32_t InnerAddRef() = 0;
  virtual uint32_t InnerRelease() = 0;
  // 6: a timed command; start and duration in ms from now. `data` is a record pointer or a
  // value as the code says. A null sender means the window itself.
  virtual int32_t PostCommand(uint32_t code, int32_t startMs, int32_t durationMs, uintptr_t data,
                              MWindowElement* sender, uint32_t options, uint32_t reserved) = 0;
  // 7: cancels pending commands of `code` (0: all) whose start lies in [fromMs, untilMs) from
  // now (untilMs -1: no end). `mode` 10 cancels and ends running ones at their current value.
  virtual int32_t CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs, uintptr_t data,
                                 uint32_t mode, MWindowElement* sender, uint32_t reserved) = 0;
  // 8, 9: the part tree (a child attached keeps a reference until detached or destroyed).
  virtual int32_t AttachChild(MWindowElement* child, int32_t placementMode) = 0;
  virtual int32_t DetachChild(MWindowElement* child) = 0;
  // 10: draws the window's own content (children are drawn by the host); true when drawn.
  virtual int32_t Paint(MCanvas* canvas, const PaintRecord* record) = 0;
  // 11: hit code for a point in window coordinates (virtual area, pan applied).
  virtual int32_t HitCode(const PointI* point) = 0;
  // 12: marks a rectangle (null: all) for repaint.
  virtual int32_t Invalidate(const RectI* rect) = 0;
  // 13: converts a point from this window's coordinates to `to`'s (null: the host's).
  virtual int32_t MapPoint(PointI* point, MWindowElement* to) = 0;
  // 14: adds the window's outline to `target` (1-bit, width x height); true when added.
  virtual int32_t Region(MMaskImage* target, int32_t width, int32_t height) = 0;
  // 15: takes (1) or gives up (0) the keyboard focus of its host.
  virtual int32_t SetFocus(int32_t take) = 0;
  // 16: reads a named property; kErrNotFound when absent.
  virtual int32_t GetProperty(const char16_t* name, PropertyValue* out) = 0;
  // 17: a window value into `buffer` of `size` bytes.
  virtual int32_t GetValue(uint32_t id, void* buffer, uint32_t size) = 0;
  // 18, 19: notifications to this window and about a child.
  virtual int32_t Notify(uint32_t code, uintptr_t argument) = 0;
  virtual int32_t ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) = 0;
  // 20: sets a window value at once (as a command with no start and no duration).
  virtual int32_t SetValue(uint32_t id, const void* buffer, uint32_t size) = 0;
  // 21: input and questions routed to the window; nonzero when handled.
  virtual int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) = 0;
  // 22: routes every pointer event of the host to this window (1) until released (0).
  virtual int32_t CapturePointer(int32_t capture) = 0;
  // 23, 24: children in drawing order, bottom first (no reference added).
  virtual int32_t ChildCount() = 0;
  virtual MWindowElement* ChildAt(int32_t index) = 0;
  // 25: holds repaints and commands from running while the count is above zero.
  virtual int32_t HoldUpdates(int32_t hold) = 0;
  // 26: records the window that asked for this one to be created; it goes with its creator.
  virtual int32_t AdoptCreator(MWindowElement* creator) = 0;
  // 27: true when the part draws content a definition does not describe (control parts).
  virtual int32_t HasOwnContent() = 0;
  // 28: the host (with a reference), or kErrNotFound.
  virtual int32_t GetHost(MHostWindow** out) = 0;
  // 29: destroys now (children first); notification 4 goes out before the part leaves.
  virtual int32_t DestroyWindow() = 0;
  // 30: adds a dock point (set up through MDockPoint), as master or slave.
  virtual int32_t AddDockPoint(MDockPoint* point, int32_t master) = 0;
  // 31: removes every dock point.
  virtual int32_t ClearDockPoints() = 0;
  // 32: the window's outline changed (the host re-shapes a root).
  virtual int32_t RegionChanged() = 0;
  // 33: the part directly below in z order among its siblings (no reference), or null.
  virtual MWindowElement* Sibling(int32_t above) = 0;
  // 34: runs `callback(context)` on the loop thread after pending events (thread-safe).
  virtual int32_t PostTask(void (*callback)(void*), void* context) = 0;
  // 35: sets a named property.
  virtual int32_t SetProperty(const char16_t* name, int32_t type, const PropertyValue* value) = 0;
  // 36: removes a named property.
  virtual int32_t RemoveProperty(const char16_t* name) = 0;
  // Control parts extend from slot 37.

 protected:
  ~MWindowElement() = default;
};

// A dock point object, made from BrintClass and set up by the markup.
class MDockPoint : public MUnknown {
 public:
  virtual int32_t Setup(const DockPointRecord* record) = 0;
  virtual int32_t IsMaster() = 0;
  virtual int32_t GetRecord(DockPointRecord* out) = 0;

 protected:
  ~MDockPoint() = default;
};

}  // namespace vk2
