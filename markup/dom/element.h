// An element of a loaded DUV document: a light handle over the runtime's XML node with the
// operations the markup readers use. A default-constructed element is "none".
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/xml_document.h"

namespace vk2::markup {

class Element {
 public:
  Element() = default;
  explicit Element(RefPtr<MXmlNode> node) : node_(std::move(node)) {}

  explicit operator bool() const { return node_ != nullptr; }
  MXmlNode* Node() const { return node_.Get(); }
  bool SameAs(const Element& other) const;

  TString Tag() const;
  int32_t FirstLine() const;
  int32_t LastLine() const;
  // Where the element stands in its parent's text, in UTF-16 units; -1 when unknown.
  int32_t TextPosition() const;

  bool HasAttribute(const char16_t* name) const;
  // The value when present, else `fallback`.
  TString Attribute(const char16_t* name, const char16_t* fallback = u"") const;
  int32_t AttributeLine(const char16_t* name) const;
  // The markup number (ParseMarkupNumber) or bool (ParseBoolText) of a present attribute that
  // reads as one, else `fallback`.
  double AttributeNumber(const char16_t* name, double fallback) const;
  bool AttributeBool(const char16_t* name, bool fallback) const;

  // Text and CDATA children joined.
  TString Text() const;
  Element Parent() const;
  int32_t ChildCount(const char16_t* tag) const;
  Element Child(const char16_t* tag, int32_t index) const;
  std::vector<Element> Children(const char16_t* tag) const;
  // The first descendant in document order with that tag whose attribute equals `value`
  // without regard to case; what lies below `skip` (a child already searched) is passed over.
  Element FindDescendant(const char16_t* tag, const char16_t* attribute, std::u16string_view value,
                         const Element* skip = nullptr) const;

 private:
  RefPtr<MXmlNode> node_;
};

}  // namespace vk2::markup
