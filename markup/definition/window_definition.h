// A `window` element as read from the document: placement, type, flags, sizes and drag limits,
// named image styles (background and state styles), shape, hit style, property element, event
// scripts and dock points, and the child windows. Only the image styles and the extra hit code
// change after reading.
#pragma once

#include <cstdint>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/window_definition.h"
#include "markup/dom/element.h"
#include "markup/parse/value_parsers.h"
#include "markup/resources/dock_point.h"
#include "markup/shapes/hit_style.h"

namespace vk2::markup {

class InterfaceDefinition;

struct WindowScript {
  TString text;
  TString name;
};

// Flag bits of a window definition.
enum WindowDefinitionFlag : uint32_t {
  kWindowTransparent = 1u << 0,
  kWindowMinSize = 1u << 1,
  kWindowDefaultSize = 1u << 2,
  kWindowMaxSize = 1u << 3,
  kWindowBelowParent = 1u << 4,
  kWindowPopup = 1u << 5,
  kWindowPopout = 1u << 6,
  kWindowMinDrag = 1u << 7,
  kWindowMaxDrag = 1u << 8,
};

class WindowDefinition final : public ComObject<WindowDefinition, SilentFace<MWindowDefinition>> {
 public:
  // Null for a type the interface does not know (reported) or an element that is none.
  static RefPtr<WindowDefinition> Read(const Element& element, InterfaceDefinition* owner);
  // An empty definition of type `typeClass` (windows made without markup).
  static RefPtr<WindowDefinition> MakeEmpty(const Guid& typeClass);

  const TString& Name() const { return name_; }
  const Guid& TypeClass() const { return typeClass_; }
  uint32_t Flags() const { return flags_; }
  const AnchoredRect& Placement() const { return placement_; }
  const std::vector<WindowScript>& Scripts() const { return scripts_; }
  const std::vector<DockPointDefinition>& DockPoints(bool master) const {
    return master ? masterDocks_ : slaveDocks_;
  }
  const Element& PropertyElement() const { return property_; }
  const TString& Hint() const { return hint_; }
  std::vector<RefPtr<WindowDefinition>>& Children() { return children_; }
  // Lets go of the window element (the property element stays: windows read it when made).
  void ForgetElements();

  // MWindowDefinition.
  int32_t Draw(const RectI& rect, MCanvas* canvas, const double* weights, int32_t weightCount,
               int32_t composite, double opacity, const VisualParameters& params) override;
  int32_t ShapeOperation(const RectI& rect, MMaskImage* target) override;
  uint32_t HitCode(const RectI& rect, const PointI& point) override;
  int32_t GetSizeLimit(SizeI* out, int32_t which) override;
  int32_t GetDragLimit(int32_t which, PointI* offset, double fraction[2]) override;
  int32_t IsTransparent() override { return (flags_ & kWindowTransparent) != 0; }
  int32_t IsBelowParent() override { return (flags_ & kWindowBelowParent) != 0; }
  int32_t IsPopup() override { return (flags_ & kWindowPopup) != 0; }
  int32_t IsPopout() override { return (flags_ & kWindowPopout) != 0; }
  uint32_t GetWindowStyle() override;
  int32_t GetTypeClass(Guid* out) override;
  int32_t GetName(TString* out) override;
  int32_t GetOffsetRect(int32_t out[4]) override;
  int32_t GetFractionRect(double out[4]) override;
  MXmlNode* GetPropertyElement() override { return property_.Node(); }
  int32_t GetScriptCount() override { return static_cast<int32_t>(scripts_.size()); }
  int32_t GetScript(int32_t index, TString* text, TString* name) override;
  int32_t GetHint(TString* out) override;
  int32_t CountImageStyles(const char16_t* pattern) override;
  int32_t FindImageStyle(const char16_t* name, MImageStyleDrawing** out) override;
  uint32_t GetExtraHitCode() override { return extraHitCode_; }
  void SetExtraHitCode(uint32_t code) override { extraHitCode_ = code; }
  int32_t SetImageStyle(const char16_t* name, MImageStyleDrawing* style) override;
  int32_t IsEmpty(int32_t checkStates) override;

 private:
  struct NamedStyle {
    TString name;
    RefPtr<MImageStyleDrawing> style;
  };

  WindowDefinition(TString name, Element element, const Guid& typeClass)
      : name_(std::move(name)), element_(std::move(element)), typeClass_(typeClass) {}
  ~WindowDefinition() override = default;

  void ReadBody(InterfaceDefinition* owner);
  void ReadPropertyElement(InterfaceDefinition* owner);
  void ReadSizes(InterfaceDefinition* owner);

  TString name_;
  Element element_;
  Guid typeClass_;
  AnchoredRect placement_;
  TString hint_;
  uint32_t flags_ = 0;
  SizeI minSize_, defaultSize_, maxSize_;
  std::vector<NamedStyle> styles_;
  MImageStyleDrawing* background_ = nullptr;      // an entry of styles_
  std::vector<MImageStyleDrawing*> stateStyles_;  // entries of styles_, or null
  RefPtr<MShapeDrawing> shape_;
  RefPtr<MHitStyleDefinition> hitStyle_;
  // The same style with its shapes, which answer by the window's size.
  RefPtr<HitStyle> hitShapes_;
  Element property_;
  std::vector<WindowScript> scripts_;
  std::vector<DockPointDefinition> masterDocks_, slaveDocks_;
  uint32_t extraHitCode_ = 0;
  AnchoredPoint minDrag_, maxDrag_;
  std::vector<RefPtr<WindowDefinition>> children_;
};

}  // namespace vk2::markup
