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
inline constexpr char16_t kPropButtonHover[] = u"button_hover";    // integer: hover look on
inline constexpr char16_t kPropButtonToggle[] = u"button_toggle";  // integer: a toggle
inline constexpr char16_t kPropPosMin[] = u"posbutton_min";        // integer
inline constexpr char16_t kPropPosMax[] = u"posbutton_max";        // integer
inline constexpr char16_t kPropPosWrap[] = u"posbutton_wrap";      // integer: spin wraps
inline constexpr char16_t kPropOrientation[] = u"orientation";     // string: "vertical", ...

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
  // 43: 1 vertical (the minimum at the bottom), 0 horizontal (the minimum at the left).
  virtual int32_t SetVertical(int32_t vertical) = 0;
  // 44 callback: the track the handle's centre runs along (the part: the whole window).
  virtual int32_t TrackRect(RectI* out) = 0;
  virtual int32_t IntPosAtPoint(const PointI* point) = 0;  // 45
  virtual double RealPosAtPoint(const PointI* point) = 0;  // 46

 protected:
  ~MFillBar() = default;
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

 protected:
  ~MEditBox() = default;
};

}  // namespace vk2
