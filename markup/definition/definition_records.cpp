#include "markup/definition/definition_records.h"

#include <new>

#include "markup/definition/interface_definition.h"
#include "markup/parse/identifiers.h"
#include "markup/parse/value_parsers.h"
#include "markup/report/error_sink.h"

namespace vk2::markup {

RefPtr<ImageStyleDefinition> ImageStyleDefinition::Read(const Element& element) {
  TString name = ReadIdentifierAttribute(element, u"name");
  if (name.IsEmpty()) return nullptr;
  return RefPtr<ImageStyleDefinition>(new (std::nothrow) ImageStyleDefinition(name, element));
}

RefPtr<ShapeDefinition> ShapeDefinition::Read(const Element& element) {
  TString name = ReadIdentifierAttribute(element, u"name");
  if (name.IsEmpty()) return nullptr;
  return RefPtr<ShapeDefinition>(new (std::nothrow) ShapeDefinition(name, element));
}

RefPtr<HitStyleDefinition> HitStyleDefinition::Read(const Element& element) {
  TString name = ReadIdentifierAttribute(element, u"name");
  if (name.IsEmpty()) return nullptr;
  uint64_t code = 0;
  if (element.HasAttribute(u"default_hitcode"))
    ParseHitCodeAttribute(element, u"default_hitcode", &code);
  return RefPtr<HitStyleDefinition>(
      new (std::nothrow) HitStyleDefinition(name, element, static_cast<uint32_t>(code)));
}

RefPtr<HitStyleDefinition> HitStyleDefinition::FromCode(uint32_t code) {
  return RefPtr<HitStyleDefinition>(new (std::nothrow)
                                        HitStyleDefinition(TString(), Element(), code));
}

int32_t HitStyleDefinition::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  *name = name_;
  return kOk;
}

int32_t HitStyleDefinition::GetElement(MXmlNode** element) {
  if (!element) return kErrMissingArg;
  *element = element_.Node();
  if (!*element) return kErrNotFound;
  (*element)->AddRef();
  return kOk;
}

uint32_t HitStyleDefinition::HitTest(int32_t, int32_t) {
  // Shapes join the style with the shape reader; until then the style's own code answers.
  return code_;
}

}  // namespace vk2::markup
