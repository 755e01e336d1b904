#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/core/number_text.h"
#include "oru/core/text_util.h"
#include "oru/services/xml/xml_document.h"

namespace vk2::oru {
namespace {

int32_t TypeOf(pugi::xml_node_type t) {
  switch (t) {
    case pugi::node_document:
      return kXmlDocument;
    case pugi::node_element:
      return kXmlElement;
    case pugi::node_pcdata:
      return kXmlText;
    case pugi::node_pi:
      return kXmlProcessingInstruction;
    case pugi::node_comment:
      return kXmlComment;
    case pugi::node_cdata:
      return kXmlCData;
    case pugi::node_declaration:
      return kXmlDeclaration;
    default:
      return kXmlAnyNode;
  }
}

// Children before this index are found by walking from the first child; later ones through
// the state's index, which costs a walk over all children once.
constexpr uint32_t kIndexedFrom = 16;

class XmlNodeObject final : public ComObject<XmlNodeObject, Face<MXmlNode, kIID_MXmlNode>> {
 public:
  XmlNodeObject(std::shared_ptr<XmlState> state, pugi::xml_node node)
      : state_(std::move(state)), node_(node) {
    std::lock_guard lock(state_->mutex);
    state_->handles.push_back(&node_);
  }

  int32_t GetType() override {
    std::lock_guard lock(state_->mutex);
    return TypeOf(node_.type());
  }

  int32_t GetName(TString* name) override {
    if (!name) return kErrMissingArg;
    std::lock_guard lock(state_->mutex);
    *name = ToWide(node_.name());
    return 0;
  }

  int32_t GetText(TString* text) override {
    if (!text) return kErrMissingArg;
    std::lock_guard lock(state_->mutex);
    if (node_.type() == pugi::node_element || node_.type() == pugi::node_document) {
      std::string joined;
      for (pugi::xml_node c : node_.children()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) joined += c.value();
      }
      *text = ToWide(joined);
    } else {
      *text = ToWide(node_.value());
    }
    return 0;
  }

  int32_t SetText(const char16_t* text) override {
    std::string value = ToUtf8(text);
    std::lock_guard lock(state_->mutex);
    if (node_.type() == pugi::node_element) {
      state_->ChildrenChanged();
      for (pugi::xml_node c = node_.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) {
          state_->Forget(c);
          node_.remove_child(c);
        }
        c = next;
      }
      if (!value.empty()) node_.append_child(pugi::node_pcdata).set_value(value.c_str());
      return 0;
    }
    return node_.set_value(value.c_str()) ? 0 : kErrFailed;
  }

  int32_t GetParent(MXmlNode** parent) override {
    if (!parent) return kErrMissingArg;
    *parent = nullptr;
    std::lock_guard lock(state_->mutex);
    pugi::xml_node p = node_.parent();
    if (!p) return kErrNotFound;
    *parent = MakeXmlNode(state_, p);
    return *parent ? 0 : kErrOutOfMemory;
  }

  int32_t GetChildCount(const char16_t* name, int32_t type) override {
    std::string n = name ? ToUtf8(name) : std::string();
    std::lock_guard lock(state_->mutex);
    int32_t count = 0;
    for (pugi::xml_node c : node_.children())
      count += XmlNodeMatches(c, name ? &n : nullptr, type);
    return count;
  }

  int32_t GetChild(const char16_t* name, uint32_t index, int32_t type, MXmlNode** child) override {
    if (!child) return kErrMissingArg;
    *child = nullptr;
    std::string n = name ? ToUtf8(name) : std::string();
    std::lock_guard lock(state_->mutex);
    if (index >= kIndexedFrom) {
      const std::vector<pugi::xml_node>& children =
          state_->IndexedChildren(node_, name ? &n : nullptr, type);
      if (index >= children.size()) return kErrNotFound;
      *child = MakeXmlNode(state_, children[index]);
      return *child ? 0 : kErrOutOfMemory;
    }
    for (pugi::xml_node c : node_.children()) {
      if (!XmlNodeMatches(c, name ? &n : nullptr, type)) continue;
      if (index-- == 0) {
        *child = MakeXmlNode(state_, c);
        return *child ? 0 : kErrOutOfMemory;
      }
    }
    return kErrNotFound;
  }

  int32_t AddChild(const char16_t* name, const char16_t* text, int32_t type,
                   MXmlNode** child) override {
    if (child) *child = nullptr;
    std::string n = ToUtf8(name);
    std::string value = ToUtf8(text);
    std::lock_guard lock(state_->mutex);
    state_->ChildrenChanged();
    pugi::xml_node made;
    switch (type) {
      case kXmlElement:
        if (n.empty()) return kErrMissingArg;
        made = node_.append_child(n.c_str());
        if (made && !value.empty()) made.append_child(pugi::node_pcdata).set_value(value.c_str());
        break;
      case kXmlProcessingInstruction:
        if (n.empty()) return kErrMissingArg;
        made = node_.append_child(pugi::node_pi);
        if (made) {
          made.set_name(n.c_str());
          made.set_value(value.c_str());
        }
        break;
      case kXmlText:
      case kXmlComment:
      case kXmlCData:
        made = node_.append_child(type == kXmlText      ? pugi::node_pcdata
                                  : type == kXmlComment ? pugi::node_comment
                                                        : pugi::node_cdata);
        if (made) made.set_value(value.c_str());
        break;
      default:
        return kErrMissingArg;
    }
    // pugixml refuses children a node cannot have (text under the document, for one).
    if (!made) return kErrFailed;
    if (child) {
      *child = MakeXmlNode(state_, made);
      if (!*child) return kErrOutOfMemory;
    }
    return 0;
  }

  int32_t RemoveChild(MXmlNode* child) override {
    if (!child) return kErrMissingArg;
    auto* other = static_cast<XmlNodeObject*>(child);
    if (other->state_ != state_) return kErrNotFound;
    std::lock_guard lock(state_->mutex);
    if (!other->node_ || other->node_.parent() != node_) return kErrNotFound;
    pugi::xml_node removed = other->node_;
    state_->ChildrenChanged();
    state_->Forget(removed);
    return node_.remove_child(removed) ? 0 : kErrFailed;
  }

  int32_t GetAttributeCount() override {
    std::lock_guard lock(state_->mutex);
    int32_t count = 0;
    for (pugi::xml_attribute a = node_.first_attribute(); a; a = a.next_attribute())
      ++count;
    return count;
  }

  int32_t GetAttributeAt(uint32_t index, TString* name, TString* value) override {
    std::lock_guard lock(state_->mutex);
    for (pugi::xml_attribute a = node_.first_attribute(); a; a = a.next_attribute()) {
      if (index-- != 0) continue;
      if (name) *name = ToWide(a.name());
      if (value) *value = ToWide(a.value());
      return 0;
    }
    return kErrNotFound;
  }

  int32_t GetAttribute(const char16_t* name, TString* value) override {
    std::string text;
    if (int32_t r = AttributeText(name, &text); r != 0) return r;
    if (value) *value = ToWide(text);
    return 0;
  }

  int32_t GetAttributeNumber(const char16_t* name, double* value) override {
    std::string text;
    if (int32_t r = AttributeText(name, &text); r != 0) return r;
    double v;
    if (!ParseDoubleText(text, &v)) return kErrBadData;
    if (value) *value = v;
    return 0;
  }

  int32_t GetAttributeInt(const char16_t* name, int32_t* value) override {
    std::string text;
    if (int32_t r = AttributeText(name, &text); r != 0) return r;
    int32_t v;
    if (!ParseInt32Text(text, &v)) return kErrBadData;
    if (value) *value = v;
    return 0;
  }

  int32_t GetAttributeBool(const char16_t* name, bool* value) override {
    std::string text;
    if (int32_t r = AttributeText(name, &text); r != 0) return r;
    bool v;
    if (!ParseBoolText(text, &v)) return kErrBadData;
    if (value) *value = v;
    return 0;
  }

  int32_t SetAttribute(const char16_t* name, const char16_t* value) override {
    std::string n = ToUtf8(name);
    if (n.empty()) return kErrMissingArg;
    std::string v = ToUtf8(value);
    std::lock_guard lock(state_->mutex);
    if (node_.type() != pugi::node_element && node_.type() != pugi::node_declaration) {
      return kErrFailed;
    }
    pugi::xml_attribute a = node_.attribute(n.c_str());
    if (!a) a = node_.append_attribute(n.c_str());
    return a && a.set_value(v.c_str()) ? 0 : kErrFailed;
  }

  int32_t RemoveAttribute(const char16_t* name) override {
    std::string n = ToUtf8(name);
    std::lock_guard lock(state_->mutex);
    return node_.remove_attribute(n.c_str()) ? 0 : kErrNotFound;
  }

  int32_t GetLine() override {
    std::lock_guard lock(state_->mutex);
    const char* anchor = node_.type() == pugi::node_pcdata || node_.type() == pugi::node_cdata ||
                                 node_.type() == pugi::node_comment
                             ? node_.value()
                             : node_.name();
    return state_->LineOf(anchor);
  }

  int32_t GetAttributeLine(const char16_t* name) override {
    std::string n = ToUtf8(name);
    std::lock_guard lock(state_->mutex);
    pugi::xml_attribute a = node_.attribute(n.c_str());
    return a ? state_->LineOf(a.name()) : 0;
  }

  int32_t GetLastLine() override {
    std::lock_guard lock(state_->mutex);
    if (node_.type() == pugi::node_element) return state_->ElementEndLine(node_.name());
    return GetLine();
  }

  int32_t GetTextPosition() override {
    std::lock_guard lock(state_->mutex);
    if (!node_ || !node_.parent()) return kErrNotFound;
    int32_t units = 0;
    for (pugi::xml_node c = node_.parent().first_child(); c && c != node_; c = c.next_sibling()) {
      if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
        units += static_cast<int32_t>(ToWide(c.value()).Length());
    }
    return units;
  }

  bool IsSameNode(MXmlNode* other) override {
    if (!other) return false;
    auto* o = static_cast<XmlNodeObject*>(other);
    std::lock_guard lock(state_->mutex);
    return o->state_ == state_ && node_ && o->node_ == node_;
  }

 private:
  ~XmlNodeObject() {
    std::lock_guard lock(state_->mutex);
    std::erase(state_->handles, &node_);
  }

  int32_t AttributeText(const char16_t* name, std::string* text) {
    std::string n = ToUtf8(name);
    if (n.empty()) return kErrMissingArg;
    std::lock_guard lock(state_->mutex);
    pugi::xml_attribute a = node_.attribute(n.c_str());
    if (!a) return kErrNotFound;
    *text = a.value();
    return 0;
  }

  std::shared_ptr<XmlState> state_;
  pugi::xml_node node_;
};

}  // namespace

bool XmlNodeMatches(const pugi::xml_node& node, const std::string* name, int32_t type) {
  if (type != kXmlAnyNode && TypeOf(node.type()) != type) return false;
  return !name || *name == node.name();
}

MXmlNode* MakeXmlNode(std::shared_ptr<XmlState> state, pugi::xml_node node) {
  auto* object = new (std::nothrow) XmlNodeObject(std::move(state), node);
  if (!object) return nullptr;
  object->AddRef();
  return object;
}

}  // namespace vk2::oru
