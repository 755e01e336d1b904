// The named records of the window tree: image styles, shapes, hit styles and windows. This is
// what the interface definition keeps of each; the drawing, shape and window readers build on
// the element they hold.
#pragma once

#include <cstdint>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "interfaces/markup/interface_definition.h"
#include "markup/dom/element.h"

namespace vk2::markup {

class InterfaceDefinition;

// Common to every record: a name and the element it was read from.
template <class Interface>
class NamedRecord : public ComObject<NamedRecord<Interface>, SilentFace<Interface>> {
 public:
  int32_t GetName(TString* name) override {
    if (!name) return kErrMissingArg;
    *name = name_;
    return kOk;
  }
  int32_t GetElement(MXmlNode** element) override {
    if (!element) return kErrMissingArg;
    *element = element_.Node();
    if (!*element) return kErrNotFound;
    (*element)->AddRef();
    return kOk;
  }
  const TString& Name() const { return name_; }
  const Element& Source() const { return element_; }
  // Drops the element, so the record no longer keeps the document.
  void ForgetElement() { element_ = Element(); }

 protected:
  NamedRecord(TString name, Element element)
      : name_(std::move(name)), element_(std::move(element)) {}
  ~NamedRecord() override = default;

 private:
  TString name_;
  Element element_;
};

class ImageStyleDefinition final : public NamedRecord<MMarkupDefinition> {
 public:
  // The named `imagestyle` element; null without a valid name.
  static RefPtr<ImageStyleDefinition> Read(const Element& element);

 private:
  using NamedRecord::NamedRecord;
};

class ShapeDefinition final : public NamedRecord<MMarkupDefinition> {
 public:
  static RefPtr<ShapeDefinition> Read(const Element& element);

 private:
  using NamedRecord::NamedRecord;
};

class HitStyleDefinition final
    : public ComObject<HitStyleDefinition, SilentFace<MHitStyleDefinition>> {
 public:
  static RefPtr<HitStyleDefinition> Read(const Element& element);
  // An unnamed style that answers `code` everywhere.
  static RefPtr<HitStyleDefinition> FromCode(uint32_t code);

  int32_t GetName(TString* name) override;
  int32_t GetElement(MXmlNode** element) override;
  uint32_t HitTest(int32_t x, int32_t y) override;
  const TString& Name() const { return name_; }
  uint32_t Code() const { return code_; }
  void ForgetElement() { element_ = Element(); }

 private:
  HitStyleDefinition(TString name, Element element, uint32_t code)
      : name_(std::move(name)), element_(std::move(element)), code_(code) {}
  ~HitStyleDefinition() override = default;
  TString name_;
  Element element_;
  uint32_t code_;
};

}  // namespace vk2::markup
