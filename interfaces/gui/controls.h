// Control parts: window parts that extend MWindowElement from slot 37. A markup control
// aggregates one and answers the same interface id with a table of its own; the part then
// calls the callback slots (marked "callback") through its outer object, so the wrapper draws
// what it owns, and answers them itself when it stands alone. Codes and logic in
// oru/gui/CONTROLS.md.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/gui/window_element.h"

namespace vk2 {

// Window properties the control parts read.
inline constexpr char16_t kPropButtonHover[] = u"button_hover";         // integer: hover look on
inline constexpr char16_t kPropButtonToggle[] = u"button_toggle";       // integer: a toggle
inline constexpr char16_t kPropFadeDuration[] = u"fade_duration";       // integer: look fade, ms
inline constexpr char16_t kPropPosMin[] = u"posbutton_min";             // integer
inline constexpr char16_t kPropPosMax[] = u"posbutton_max";             // integer
inline constexpr char16_t kPropPosWrap[] = u"posbutton_wrap";           // integer: spin wraps
inline constexpr char16_t kPropOrientation[] = u"orientation";          // string: "vertical", ...
inline constexpr char16_t kPropRadialKnob[] = u"radialknob";            // integer: a radial knob
inline constexpr char16_t kPropKnobSensitivity[] = u"knobsensitivity";  // integer: px per step
inline constexpr char16_t kPropRadialStart[] = u"radialstartangle";     // integer: degrees
inline constexpr char16_t kPropRadialStop[] = u"radialstopangle";       // integer: degrees
inline constexpr char16_t kPropScrollDest[] = u"scrolldest";  // object: the scrolled window
inline constexpr char16_t kPropScrollType[] = u"scrolltype";  // integer: 1 vert., 2 horiz.
inline constexpr char16_t kPropMinBarSize[] = u"minbarsize";  // integer: thumb minimum, px
inline constexpr char16_t kPropScrollBg[] = u"scrollbarbg";   // integer ARGB: track
inline constexpr char16_t kPropScrollFg[] = u"scrollbarfg";   // integer ARGB: thumb
inline constexpr char16_t kPropScrollHl[] = u"scrollbarhl";   // integer ARGB: light edge
inline constexpr char16_t kPropScrollLl[] = u"scrollbarll";   // integer ARGB: dark edge
inline constexpr char16_t kPropScrollIn[] = u"scrollbarin";   // integer ARGB: pressed
inline constexpr char16_t kPropArrowSpeed[] = u"arrowspeed";  // integer: ms per arrow step
inline constexpr char16_t kPropPageSpeed[] = u"pagespeed";    // integer: (unused here)

// Input settings the spin part reads.
inline constexpr char16_t kSettingRadialKnobControl[] = u"radialknobcontrol";
inline constexpr char16_t kSettingKnobSensitivity[] = u"knobsensitivity";

// Asked of a scrolled window by its scroll bars (README section 5); a window that does not
// answer scrolls by its pan over its virtual size, in pixels.
inline constexpr uint32_t kQueryScrollInfo = 0x1020;  // a: ScrollInfo* out, b: 0 vert., 1 horiz.
inline constexpr uint32_t kQueryScrollTo = 0x1021;    // a: position, b: 0 vert., 1 horiz.
// Asked of a button part: the weights its state styles are drawn with now (3 per look: normal,
// hit, hover), cross-fading over "fade_duration" (CONTROLS.md).
inline constexpr uint32_t kQueryStateWeights = 0x1022;  // a: double* out, b: the number of looks
// Told to a scroll bar when the window it scrolls changed what it shows.
inline constexpr uint32_t kNotifyScrollChanged = 0x105;

struct ScrollInfo {
  int32_t total = 0;     // content units
  int32_t page = 0;      // units shown at once
  int32_t position = 0;  // the first unit shown, 0 to total - page
  int32_t step = 1;      // units an arrow moves
};

// A spin button's value paint: the paint record and the relative position to draw.
struct KnobPaintRecord {
  PaintRecord paint;
  double position = 0;
};

class MButton : public MWindowElement {
 public:
  // 37: states 0 normal, 1 hover, 2 pressed, 3 pressed with the pointer outside; 4 or more
  // answers kErrOutOfRange. `notify` nonzero sends the click (5) as if the user had clicked.
  virtual int32_t SetLogicState(uint32_t state, int32_t notify) = 0;
  virtual int32_t GetLogicState() = 0;                  // 38
  virtual int32_t SetStateCount(int32_t count) = 0;     // 39: the looks the wrapper has
  virtual int32_t SetRepeatDelay(int32_t delayMs) = 0;  // 40: 0 or less: no repeat
  virtual int32_t GetStateCount() = 0;                  // 41
  virtual int32_t GetRepeatDelay() = 0;                 // 42
  virtual int32_t GetChecked() = 0;                     // 43: a toggle's checked flag
  virtual int32_t SetChecked(int32_t checked) = 0;      // 44
  // 45: the look to draw now (logic state, checked toggles, held below the state count).
  virtual int32_t GetVisualState() = 0;

 protected:
  ~MButton() = default;
};

class MFillBar : public MWindowElement {
 public:
  virtual int32_t GetIntPos() = 0;                  // 37
  virtual int32_t SetRealPos(double position) = 0;  // 38: 0.0 to 1.0
  virtual int32_t SetIntPos(int32_t position) = 0;  // 39
  virtual double GetRealPos() = 0;                  // 40
  // 41 callback: draws the bar's value; the part itself draws nothing.
  virtual int32_t ValuePaint(MCanvas* canvas, const PaintRecord* record) = 0;
  // 42 callback: the handle's centre for a relative position (the part: on the track).
  virtual int32_t HandleCentre(PointI* out, uint32_t reserved, double position, uint32_t a,
                               uint32_t b, uint32_t c) = 0;
  // 43: 1 vertical (the minimum at the top), 0 horizontal (the minimum at the left).
  virtual int32_t SetVertical(int32_t vertical) = 0;
  // 44 callback: the track the handle's centre runs along (the part: the whole window).
  virtual int32_t TrackRect(RectI* out) = 0;
  virtual int32_t IntPosAtPoint(const PointI* point) = 0;  // 45
  virtual double RealPosAtPoint(const PointI* point) = 0;  // 46

 protected:
  ~MFillBar() = default;
};

class MSpinButton : public MWindowElement {
 public:
  // 37 callback: the knob's centre in window coordinates (the part: half the size).
  virtual int32_t KnobCentre(PointI* out) = 0;
  virtual int32_t GetIntPos() = 0;                  // 38
  virtual int32_t SetRealPos(double position) = 0;  // 39: 0.0 to 1.0
  virtual int32_t SetIntPos(int32_t position) = 0;  // 40
  virtual double GetRealPos() = 0;                  // 41
  // 42 callback: draws the knob at `record->position`; the part itself draws nothing.
  virtual int32_t ValuePaint(MCanvas* canvas, const KnobPaintRecord* record) = 0;

 protected:
  ~MSpinButton() = default;
};

class MScrollBar : public MWindowElement {
 public:
  // 37: the content and the page in units, for a bar with no "scrolldest" window.
  virtual int32_t SetRange(int32_t total, int32_t page) = 0;
  // 38: scrolls to `position` (kept in range); `notify` tells the wrapper 0x103 and 0x104.
  virtual int32_t SetScrollPos(int32_t position, int32_t notify, uint32_t reserved) = 0;
  virtual int32_t GetScrollPos() = 0;  // 39
  // 40 callback: draws the track into `rect` (the part: flat colours).
  virtual int32_t TrackPaint(MCanvas* canvas, uint32_t a, const RectI* rect, uint32_t b,
                             uint32_t c) = 0;
  // 41 callback: draws the thumb into `rect`; `weights` (4: normal, hover, pressed, disabled).
  virtual int32_t ThumbPaint(MCanvas* canvas, uint32_t a, uint32_t b, const RectI* rect,
                             const double* weights) = 0;
  // 42 callback: a new arrow button (0 up or left, 1 down or right) with one reference;
  // the part makes a plain arrow-button part.
  virtual MWindowElement* ArrowButton(int32_t which) = 0;
  // 43: the wrapper's (styles); the part answers 0 and does nothing.
  virtual int32_t ApplyStyle(MUnknown* definition, MUnknown* style) = 0;

 protected:
  ~MScrollBar() = default;
};

// An item of a selection list or picker: the caller's object, drawn by itself.
class MListItem : public MUnknown {
 public:
  // 3: draws into `rect`; state bits kItemSelected, kItemCurrent, kItemHover, kItemDisabled;
  // `position` 0 only, 1 first, 2 middle, 3 last (the item styles' places).
  virtual int32_t DrawItem(MCanvas* canvas, const RectI* rect, uint32_t state,
                           int32_t position) = 0;
  virtual int32_t ItemHeight() = 0;  // 4: pixels; 0 or less: the list's default

 protected:
  ~MListItem() = default;
};

inline constexpr uint32_t kItemSelected = 0x1;
inline constexpr uint32_t kItemCurrent = 0x2;
inline constexpr uint32_t kItemHover = 0x4;
inline constexpr uint32_t kItemDisabled = 0x8;

// The ordered items of a selection list or picker, each held with a reference. Indices from 0.
class MItemList : public MUnknown {
 public:
  virtual int32_t Count() = 0;                   // 3
  virtual MListItem* ItemAt(int32_t index) = 0;  // 4: no reference; null out of range
  virtual int32_t IndexOf(MListItem* item) = 0;  // 5: -1 when absent
  // 6: puts `item` in place of the one at `index` (the part repaints it).
  virtual int32_t Replace(int32_t index, MListItem* item) = 0;
  virtual int32_t Append(MListItem* item) = 0;                 // 7
  virtual int32_t Insert(int32_t index, MListItem* item) = 0;  // 8: 0 to Count()
  virtual int32_t RemoveAt(int32_t index) = 0;                 // 9
  virtual int32_t RemoveAll() = 0;                             // 10

 protected:
  ~MItemList() = default;
};

class MSelectionList : public MWindowElement {
 public:
  // 37: the item index notification 0x101 stands for (its argument), -1 when gone.
  virtual int32_t ItemIndex(uintptr_t argument) = 0;
  // 38: the item list (one reference).
  virtual int32_t GetItems(MItemList** out) = 0;
  virtual int32_t IsSelected(int32_t index) = 0;  // 39: 1 / 0
  // 40: kErrOutOfRange for an index out of range.
  virtual int32_t SetSelected(int32_t index, int32_t selected) = 0;
  virtual int32_t ItemChanged(int32_t index) = 0;  // 41: repaints it
  // 42 to 45: ours.
  virtual int32_t SetMultiple(int32_t multiple) = 0;
  virtual int32_t GetCurrent() = 0;
  virtual int32_t ScrollToShow(int32_t index) = 0;
  virtual int32_t GetTop() = 0;

 protected:
  ~MSelectionList() = default;
};

class MPicker : public MButton {
 public:
  virtual int32_t GetItems(MItemList** out) = 0;  // 46: one reference
  virtual int32_t ItemsChanged() = 0;             // 47: after the caller changed the items
  virtual int32_t GetCurrent() = 0;               // 48: -1 with none
  // 49: -1 clears; kErrOutOfRange for an index out of range.
  virtual int32_t SetCurrent(int32_t index) = 0;
  virtual int32_t OpenMenu() = 0;   // 50: opens the popup under the picker
  virtual int32_t CloseMenu() = 0;  // 51
  // 52 callback: paints the open menu's background over (0, 0) to its virtual size;
  // answers whether it drew (the part draws nothing).
  virtual int32_t PaintMenuBackground(MWindowElement* menu, MCanvas* canvas, uintptr_t unused) = 0;
  // 53: ours: the popup while open (no reference), else null.
  virtual MWindowElement* MenuWindow() = 0;

 protected:
  ~MPicker() = default;
};

class MEditBox : public MWindowElement {
 public:
  virtual int32_t SetText(const char16_t* text) = 0;  // 37
  // 38: the text (masked or not, the real one).
  virtual int32_t GetText(TString* text) = 0;
  virtual int32_t SetSecret(int32_t secret) = 0;     // 39
  virtual int32_t SetMaxLength(int32_t length) = 0;  // 40: 0 no limit
  virtual int32_t GetCaret() = 0;                    // 41
  // 42: selection from `start` to `end` (the caret), in UTF-16 units.
  virtual int32_t SetSelection(int32_t start, int32_t end) = 0;
  virtual int32_t GetSelection(int32_t* start, int32_t* end) = 0;  // 43
  // 44: whether the caret shows now (it blinks every 500 ms while focused).
  virtual int32_t CaretVisible() = 0;
  // 45 callback: the UTF-16 index of the caret position nearest `point` (window coordinates),
  // measured with the wrapper's font; -1 when it cannot tell (the part: always -1).
  virtual int32_t CaretIndexAt(const PointI* point) = 0;

 protected:
  ~MEditBox() = default;
};

}  // namespace vk2
