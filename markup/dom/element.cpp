#include "markup/dom/element.h"

#include "markup/parse/scalar_parsers.h"

namespace vk2::markup {

bool Element::SameAs(const Element& other) const {
  return node_ && other.node_ && node_->IsSameNode(other.node_.Get());
}

TString Element::Tag() const {
  TString name;
  if (node_) node_->GetName(&name);
  return name;
}

int32_t Element::FirstLine() const {
  return node_ ? node_->GetLine() : 0;
}

int32_t Element::LastLine() const {
  return node_ ? node_->GetLastLine() : 0;
}

int32_t Element::TextPosition() const {
  if (!node_) return -1;
  int32_t position = node_->GetTextPosition();
  return position < 0 ? -1 : position;
}

bool Element::HasAttribute(const char16_t* name) const {
  return node_ && node_->GetAttribute(name, nullptr) == 0;
}

TString Element::Attribute(const char16_t* name, const char16_t* fallback) const {
  TString value;
  if (node_ && node_->GetAttribute(name, &value) == 0) return value;
  return TString(fallback);
}

int32_t Element::AttributeLine(const char16_t* name) const {
  return node_ ? node_->GetAttributeLine(name) : 0;
}

double Element::AttributeNumber(const char16_t* name, double fallback) const {
  if (!HasAttribute(name)) return fallback;
  double value = 0;
  return ParseMarkupNumber(Attribute(name).view(), &value) > 0 ? value : fallback;
}

bool Element::AttributeBool(const char16_t* name, bool fallback) const {
  if (!HasAttribute(name)) return fallback;
  bool value = false;
  return ParseBoolText(Attribute(name).view(), &value) > 0 ? value : fallback;
}

TString Element::Text() const {
  TString text;
  if (node_) node_->GetText(&text);
  return text;
}

Element Element::Parent() const {
  MXmlNode* parent = nullptr;
  if (!node_ || node_->GetParent(&parent) != 0) return Element();
  auto held = RefPtr<MXmlNode>::Adopt(parent);
  if (held->GetType() != kXmlElement) return Element();
  return Element(std::move(held));
}

int32_t Element::ChildCount(const char16_t* tag) const {
  return node_ ? node_->GetChildCount(tag, kXmlElement) : 0;
}

Element Element::Child(const char16_t* tag, int32_t index) const {
  MXmlNode* child = nullptr;
  if (!node_ || index < 0 ||
      node_->GetChild(tag, static_cast<uint32_t>(index), kXmlElement, &child) != 0)
    return Element();
  return Element(RefPtr<MXmlNode>::Adopt(child));
}

std::vector<Element> Element::Children(const char16_t* tag) const {
  std::vector<Element> children;
  for (int32_t i = 0;; ++i) {
    Element child = Child(tag, i);
    if (!child) break;
    children.push_back(std::move(child));
  }
  return children;
}

Element Element::FindDescendant(const char16_t* tag, const char16_t* attribute,
                                std::u16string_view value, const Element* skip) const {
  // Depth first, in document order, without recursion: a deep document cannot overflow the stack.
  std::vector<std::pair<Element, int32_t>> stack;
  stack.emplace_back(*this, 0);
  while (!stack.empty()) {
    auto& [parent, next] = stack.back();
    Element child = parent.Child(nullptr, next++);
    if (!child) {
      stack.pop_back();
      continue;
    }
    if (child.Tag() == tag && child.HasAttribute(attribute) &&
        child.Attribute(attribute).Equals(TString(value), false))
      return child;
    // The skipped child itself is a candidate; only what lies below it was searched.
    if (skip && stack.size() == 1 && child.SameAs(*skip)) continue;
    stack.emplace_back(std::move(child), 0);
  }
  return Element();
}

}  // namespace vk2::markup
