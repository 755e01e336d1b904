// What a `window` element of a DUV document defines, as the windows made from it use it:
// drawing (background and state image styles), outline, hit codes, size and drag limits,
// event scripts and dock points. Also the seams through which image styles and shapes draw:
// the image-style and shape readers make objects of these interfaces.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/graphics/image.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/runtime/xml_document.h"
#include "interfaces/unknown.h"

namespace vk2 {

// The animation parameters a window hands its image styles (from its `mml_*` properties).
struct VisualParameters {
  float opacity = 1.0f;
  float angle = 0.0f;  // degrees
  float time = 0.0f;
  float zoom = 1.0f;
  float position = 0.0f;
};

// State masks of image styles.
inline constexpr uint32_t kStyleStateNormal = 1;
inline constexpr uint32_t kStyleStateHover = 2;
inline constexpr uint32_t kStyleStateHit = 4;

// A named group of image styles, drawn for one state at a time.
class MImageStyleDrawing : public MUnknown {
 public:
  // Draws the styles whose state mask meets `stateMask` into `rect` at `opacity` (0.0-1.0);
  // nonzero when anything was drawn.
  virtual int32_t Draw(const RectI& rect, MCanvas* canvas, uint32_t stateMask, double opacity,
                       const VisualParameters& params) = 0;
  // How many of its styles take part in `stateMask`.
  virtual int32_t CountStyles(uint32_t stateMask) = 0;

 protected:
  ~MImageStyleDrawing() = default;
};

// A shape: the outline of a window of a given size.
class MShapeDrawing : public MUnknown {
 public:
  // Adds the outline for `rect` to `target`; nonzero when it did.
  virtual int32_t RegionOperation(const RectI& rect, MMaskImage* target) = 0;

 protected:
  ~MShapeDrawing() = default;
};

// Which size GetSizeLimit answers.
enum SizeLimit : int32_t { kSizeDefault = 1, kSizeMinimum = 2, kSizeMaximum = 3 };

// Window style bits of GetWindowStyle.
inline constexpr uint32_t kWindowStyleVisible = 1;
inline constexpr uint32_t kWindowStyleTransparent = 4;
inline constexpr uint32_t kWindowStylePopup = 16;
inline constexpr uint32_t kWindowStylePopout = 48;
inline constexpr uint32_t kWindowStyleBelowParent = 0x2000;

class MWindowDefinition : public MUnknown {
 public:
  // Background and state styles into `rect`: `weights` three per state style (normal, hit,
  // hover), null for none. Nonzero when anything reached the canvas.
  virtual int32_t Draw(const RectI& rect, MCanvas* canvas, const double* weights,
                       int32_t weightCount, int32_t composite, double opacity,
                       const VisualParameters& params) = 0;
  // The shape's outline; zero without a shape.
  virtual int32_t ShapeOperation(const RectI& rect, MMaskImage* target) = 0;
  virtual uint32_t HitCode(const RectI& rect, const PointI& point) = 0;
  // Nonzero and the size when that size was given; `out` untouched otherwise.
  virtual int32_t GetSizeLimit(SizeI* out, int32_t which) = 0;
  // which 0 minimum, 1 maximum: nonzero when given; the offset cut toward zero.
  virtual int32_t GetDragLimit(int32_t which, PointI* offset, double fraction[2]) = 0;
  virtual int32_t IsTransparent() = 0;
  virtual int32_t IsBelowParent() = 0;
  virtual int32_t IsPopup() = 0;
  virtual int32_t IsPopout() = 0;
  virtual uint32_t GetWindowStyle() = 0;
  // The class that makes windows of this definition's type.
  virtual int32_t GetTypeClass(Guid* out) = 0;
  virtual int32_t GetName(TString* out) = 0;
  virtual int32_t GetOffsetRect(int32_t out[4]) = 0;
  virtual int32_t GetFractionRect(double out[4]) = 0;
  // The element that holds the window's properties (no reference), or null.
  virtual MXmlNode* GetPropertyElement() = 0;
  virtual int32_t GetScriptCount() = 0;
  // kErrOutOfRange past the end.
  virtual int32_t GetScript(int32_t index, TString* text, TString* name) = 0;
  virtual int32_t GetHint(TString* out) = 0;
  virtual int32_t CountImageStyles(const char16_t* pattern) = 0;
  // The first style of that name (any case), with a reference; kErrNotFound when none.
  virtual int32_t FindImageStyle(const char16_t* name, MImageStyleDrawing** out) = 0;
  virtual uint32_t GetExtraHitCode() = 0;
  virtual void SetExtraHitCode(uint32_t code) = 0;
  // Replaces (style given) or removes (null) the style of that name; "background" and
  // "state<N>" take part in drawing.
  virtual int32_t SetImageStyle(const char16_t* name, MImageStyleDrawing* style) = 0;
  // Nonzero when there is no background and, with `checkStates`, no state style.
  virtual int32_t IsEmpty(int32_t checkStates) = 0;

 protected:
  ~MWindowDefinition() = default;
};

// What every markup window and control answers beside its window element.
class MControl : public MUnknown {
 public:
  virtual int32_t SetDefinition(MWindowDefinition* definition) = 0;
  // No reference added.
  virtual MWindowDefinition* GetDefinition() = 0;
  // Nonzero when the control draws nothing of its own and its definition has no background.
  virtual int32_t HasNoLook() = 0;

 protected:
  ~MControl() = default;
};

// Composing state styles for other modules (class DUV, served for its interface id).
class MMarkupUtility : public MUnknown {
 public:
  // `weights` three per style (normal, hit, hover), null for none; opacity 1.0.
  virtual int32_t DrawStateStyles(const RectI& rect, MCanvas* canvas,
                                  MImageStyleDrawing* background, MImageStyleDrawing* const* styles,
                                  int32_t count, const double* weights, int32_t weightCount,
                                  int32_t composite, const VisualParameters& params) = 0;

 protected:
  ~MMarkupUtility() = default;
};

}  // namespace vk2
