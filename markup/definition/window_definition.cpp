#include "markup/definition/window_definition.h"

#include <cmath>
#include <new>

#include "foundation/util/result.h"
#include "markup/definition/interface_definition.h"
#include "markup/definition/state_styles.h"
#include "markup/definition/style_readers.h"
#include "markup/parse/identifiers.h"
#include "markup/report/error_sink.h"
#include "markup/resources/script_includes.h"

namespace vk2::markup {
namespace {

bool SameName(const TString& a, const char16_t* b) {
  return a.Equals(TString(b), false);
}

// The number after "state" (any case), or -1 when the name is not a state style's.
int32_t StateIndex(const TString& name) {
  std::u16string_view text = name.view();
  if (text.size() <= 5 || !TString(text.substr(0, 5)).Equals(TString(u"state"), false)) return -1;
  int32_t n = 0;
  for (char16_t c : text.substr(5)) {
    if (c < u'0' || c > u'9' || n > 100000) return -1;
    n = n * 10 + (c - u'0');
  }
  return n;
}

}  // namespace

RefPtr<WindowDefinition> WindowDefinition::Read(const Element& element,
                                                InterfaceDefinition* owner) {
  if (!element || !owner) return nullptr;
  TString name = ReadIdentifierAttribute(element, u"name");
  TString type = element.Attribute(u"type", u"Generic");
  Guid typeClass;
  if (!owner->FindWindowType(type.view(), &typeClass)) {
    ReportMmlError(&element, TString::Format(u"Unknown WindowType: \"%s\"", type));
    return nullptr;
  }
  RefPtr<WindowDefinition> window(new (std::nothrow) WindowDefinition(name, element, typeClass));
  if (window) window->ReadBody(owner);
  return window;
}

RefPtr<WindowDefinition> WindowDefinition::MakeEmpty(const Guid& typeClass) {
  return RefPtr<WindowDefinition>(new (std::nothrow) WindowDefinition({}, {}, typeClass));
}

void WindowDefinition::ReadBody(InterfaceDefinition* owner) {
  const Element& e = element_;
  MResourceFile* package = owner->Package();
  if (e.AttributeBool(u"transparent", false)) flags_ |= kWindowTransparent;
  if (e.AttributeBool(u"belowparent", false)) flags_ |= kWindowBelowParent;
  if (e.AttributeBool(u"popup", false)) flags_ |= kWindowPopup;
  if (e.AttributeBool(u"popout", false)) flags_ |= kWindowPopout;
  ReadPropertyElement(owner);

  placement_.Parse(&e, u"offset", u"alignment", package, owner);
  if (minDrag_.Parse(&e, u"drag_min_offset", u"drag_min_alignment", package, owner))
    flags_ |= kWindowMinDrag;
  if (maxDrag_.Parse(&e, u"drag_max_offset", u"drag_max_alignment", package, owner))
    flags_ |= kWindowMaxDrag;

  for (const Element& script : e.Children(u"script")) {
    TString scriptName = script.Attribute(u"name");
    // Scripts without a name are the interface's business, not an event handler.
    if (!scriptName.IsEmpty()) scripts_.push_back({ParseIncludeOrScript(script), scriptName});
  }
  for (const Element& dock : e.Children(u"dock_point")) {
    DockPointDefinition point;
    if (!ParseDockPoint(dock, package, owner, &point)) continue;
    (point.master ? masterDocks_ : slaveDocks_).push_back(std::move(point));
  }
  for (const Element& child : e.Children(u"imagestyle")) {
    TString styleName = ReadIdentifierAttribute(child, u"name");
    if (styleName.IsEmpty()) continue;
    if (RefPtr<MImageStyleDrawing> style = ReadImageStyleDrawing(child, owner))
      SetImageStyle(styleName.c_str(), style.Get());
  }

  TString shapeName = ReadIdentifierAttribute(e, u"shape");
  if (!shapeName.IsEmpty()) {
    MMarkupDefinition* record = nullptr;
    if (owner->GetShape(shapeName.c_str(), &record) != kOk || !record) {
      ReportMmlError(&e, TString::Format(u"Couldn't find shape: \"%s\"", shapeName));
    } else {
      MXmlNode* node = nullptr;
      if (record->GetElement(&node) == kOk && node) {
        shape_ = ReadShapeDrawing(Element(RefPtr<MXmlNode>::Adopt(node)), owner);
      }
      record->Release();
    }
  }

  TString hitText = e.Attribute(u"hitstyle");
  if (!hitText.IsEmpty()) {
    MHitStyleDefinition* hit = nullptr;
    if (owner->GetHitStyle(hitText.c_str(), &hit) != kOk || !hit) {
      TString hitName = ReadIdentifierAttribute(e, u"hitstyle");
      if (!hitName.IsEmpty()) owner->GetHitStyle(hitName.c_str(), &hit);
    }
    hitStyle_ = RefPtr<MHitStyleDefinition>::Adopt(hit);
    const StyleScope scope = StyleScope::Of(owner);
    hitShapes_ = FindHitStyle(scope, hitText.view());
    if (!hitShapes_)
      hitShapes_ = FindHitStyle(scope, ReadIdentifierAttribute(e, u"hitstyle").view());
  }
  ReadSizes(owner);
}

void WindowDefinition::ReadPropertyElement(InterfaceDefinition* owner) {
  TString name = ReadIdentifierAttribute(element_, u"property");
  if (name.IsEmpty()) {
    property_ = element_.Child(u"property", 0);
  } else {
    property_ = FindNamedElement(element_, u"property", u"name", name.view());
    if (!property_) {
      MXmlNode* node = nullptr;
      if (owner->GetProperty(name.c_str(), &node) == kOk && node)
        property_ = Element(RefPtr<MXmlNode>::Adopt(node));
    }
  }
  if (property_) hint_ = property_.Attribute(u"hoverhint");
}

void WindowDefinition::ReadSizes(InterfaceDefinition* owner) {
  struct Entry {
    const char16_t* attribute;
    SizeI* size;
    uint32_t flag;
  };
  const Entry entries[] = {{u"min_size", &minSize_, kWindowMinSize},
                           {u"default_size", &defaultSize_, kWindowDefaultSize},
                           {u"max_size", &maxSize_, kWindowMaxSize}};
  for (const Entry& entry : entries) {
    PointD value;
    if (!ParseSizeAttribute(element_, entry.attribute, &value, true, owner->Package(), owner))
      continue;
    entry.size->width = static_cast<int32_t>(std::trunc(value.x));
    entry.size->height = static_cast<int32_t>(std::trunc(value.y));
    flags_ |= entry.flag;
  }
}

void WindowDefinition::ForgetElements() {
  element_ = Element();
  for (auto& child : children_)
    child->ForgetElements();
}

int32_t WindowDefinition::Draw(const RectI& rect, MCanvas* canvas, const double* weights,
                               int32_t weightCount, int32_t composite, double opacity,
                               const VisualParameters& params) {
  StateStyleSet set;
  set.background = background_;
  set.styles = stateStyles_.data();
  set.count = static_cast<int32_t>(stateStyles_.size());
  set.weights = weights;
  set.weightCount = weightCount;
  return DrawStateStyles(rect, canvas, set, composite != 0 || opacity != 0.0, opacity, params) ? 1
                                                                                               : 0;
}

int32_t WindowDefinition::ShapeOperation(const RectI& rect, MMaskImage* target) {
  if (!shape_ || !target) return 0;
  return shape_->RegionOperation(rect, target) ? 1 : 0;
}

uint32_t WindowDefinition::HitCode(const RectI& rect, const PointI& point) {
  if (hitShapes_) return hitShapes_->HitCode(rect, point.x, point.y) | extraHitCode_;
  if (!hitStyle_) return extraHitCode_;
  return hitStyle_->HitTest(point.x - rect.left, point.y - rect.top) | extraHitCode_;
}

int32_t WindowDefinition::GetSizeLimit(SizeI* out, int32_t which) {
  const SizeI* size = nullptr;
  uint32_t flag = 0;
  switch (which) {
    case kSizeDefault:
      size = &defaultSize_, flag = kWindowDefaultSize;
      break;
    case kSizeMinimum:
      size = &minSize_, flag = kWindowMinSize;
      break;
    case kSizeMaximum:
      size = &maxSize_, flag = kWindowMaxSize;
      break;
    default:
      return 0;
  }
  if (!(flags_ & flag)) return 0;
  if (out) *out = *size;
  return 1;
}

int32_t WindowDefinition::GetDragLimit(int32_t which, PointI* offset, double fraction[2]) {
  const AnchoredPoint* limit = which == 0 ? &minDrag_ : which == 1 ? &maxDrag_ : nullptr;
  const uint32_t flag = which == 0 ? kWindowMinDrag : kWindowMaxDrag;
  if (!limit || !(flags_ & flag)) return 0;
  if (offset) {
    offset->x = static_cast<int32_t>(std::trunc(limit->offset.x));
    offset->y = static_cast<int32_t>(std::trunc(limit->offset.y));
  }
  if (fraction) {
    fraction[0] = limit->fraction.x;
    fraction[1] = limit->fraction.y;
  }
  return 1;
}

uint32_t WindowDefinition::GetWindowStyle() {
  uint32_t style = kWindowStyleVisible;
  if (flags_ & kWindowTransparent) style |= kWindowStyleTransparent;
  if (flags_ & kWindowPopup) style |= kWindowStylePopup;
  if (flags_ & kWindowPopout) style |= kWindowStylePopout;
  return style;
}

int32_t WindowDefinition::GetTypeClass(Guid* out) {
  if (!out) return kErrMissingArg;
  *out = typeClass_;
  return kOk;
}

int32_t WindowDefinition::GetName(TString* out) {
  if (!out) return kErrMissingArg;
  *out = name_;
  return kOk;
}

int32_t WindowDefinition::GetOffsetRect(int32_t out[4]) {
  if (!out) return kErrMissingArg;
  const RectD& o = placement_.offsets;
  out[0] = static_cast<int32_t>(std::trunc(o.left));
  out[1] = static_cast<int32_t>(std::trunc(o.top));
  out[2] = static_cast<int32_t>(std::trunc(o.right));
  out[3] = static_cast<int32_t>(std::trunc(o.bottom));
  return kOk;
}

int32_t WindowDefinition::GetFractionRect(double out[4]) {
  if (!out) return kErrMissingArg;
  const RectD& f = placement_.fractions;
  out[0] = f.left, out[1] = f.top, out[2] = f.right, out[3] = f.bottom;
  return kOk;
}

int32_t WindowDefinition::GetScript(int32_t index, TString* text, TString* name) {
  if (index < 0 || index >= GetScriptCount()) return kErrOutOfRange;
  if (text) *text = scripts_[static_cast<size_t>(index)].text;
  if (name) *name = scripts_[static_cast<size_t>(index)].name;
  return kOk;
}

int32_t WindowDefinition::GetHint(TString* out) {
  if (!out) return kErrMissingArg;
  *out = hint_;
  return kOk;
}

int32_t WindowDefinition::CountImageStyles(const char16_t* pattern) {
  if (!pattern) return 0;
  int32_t count = 0;
  for (const NamedStyle& entry : styles_) {
    if (WildcardCompare(entry.name.c_str(), pattern, false) == 0) ++count;
  }
  return count;
}

int32_t WindowDefinition::FindImageStyle(const char16_t* name, MImageStyleDrawing** out) {
  if (!name || !out) return kErrMissingArg;
  for (const NamedStyle& entry : styles_) {
    if (SameName(entry.name, name)) {
      *out = entry.style.Get();
      (*out)->AddRef();
      return kOk;
    }
  }
  return kErrNotFound;
}

int32_t WindowDefinition::SetImageStyle(const char16_t* name, MImageStyleDrawing* style) {
  if (!name) return kErrMissingArg;
  const TString key(name);
  const bool isBackground = SameName(key, u"background");
  const int32_t state = StateIndex(key);
  for (auto it = styles_.begin(); it != styles_.end(); ++it) {
    if (!SameName(it->name, name)) continue;
    if (isBackground) background_ = nullptr;
    if (state >= 0 && state < static_cast<int32_t>(stateStyles_.size()))
      stateStyles_[static_cast<size_t>(state)] = nullptr;
    styles_.erase(it);
    break;
  }
  if (!style) return kOk;
  styles_.push_back({key, RefPtr<MImageStyleDrawing>(style)});
  if (isBackground) background_ = style;
  if (state >= 0) {
    if (stateStyles_.size() <= static_cast<size_t>(state))
      stateStyles_.resize(static_cast<size_t>(state) + 1, nullptr);
    stateStyles_[static_cast<size_t>(state)] = style;
  }
  return kOk;
}

int32_t WindowDefinition::IsEmpty(int32_t checkStates) {
  if (background_) return 0;
  if (checkStates) {
    for (MImageStyleDrawing* style : stateStyles_) {
      if (style) return 0;
    }
  }
  return 1;
}

}  // namespace vk2::markup
