// XML documents over pugixml. The text is parsed in place, so every node and attribute read
// from it still points into the loaded buffer and its line can be worked out; nodes made or
// renamed later have no line.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <pugixml.hpp>
#include <string>
#include <tuple>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/xml_document.h"

namespace vk2::oru {

// One loaded document: the tree and the buffer its strings live in. Nodes keep it alive, so a
// node outlives a reload or the document object safely.
struct XmlState {
  std::recursive_mutex mutex;
  pugi::xml_document doc;
  std::unique_ptr<char[]> buffer;
  size_t size = 0;
  std::vector<size_t> lineStarts;  // offsets where each line begins
  // The text as loaded: parsing in place overwrites delimiters in `buffer`, and the end of an
  // element is found by reading past its start tag in this copy.
  std::string original;
  // The node handles of live node objects: a removed subtree empties the handles into it, so
  // an object kept for a removed node turns into an empty node instead of dangling.
  std::vector<pugi::xml_node*> handles;
  // (parent, type, named, name) -> the matching children.
  std::map<std::tuple<const void*, int32_t, bool, std::string>, std::vector<pugi::xml_node>>
      childIndexes;

  void Forget(const pugi::xml_node& removed);

  // The children of `parent` of a type (kXmlAnyNode: all) and, unless `name` is null, of that
  // name, in document order. Kept until a child list changes, so that walking the children of
  // a long list by index is linear overall instead of a scan from the first child per step.
  const std::vector<pugi::xml_node>& IndexedChildren(const pugi::xml_node& parent,
                                                     const std::string* name, int32_t type);
  // Every change to a child list calls this.
  void ChildrenChanged() {
    if (!childIndexes.empty()) childIndexes.clear();
  }

  // 1-based line of a string that lies in the buffer; 0 otherwise.
  int32_t LineOf(const char* text) const;
  int32_t LineAtOffset(size_t offset) const;
  // 1-based line of the end of the element whose name starts at `name` in the buffer; 0 when the
  // name is not in the buffer.
  int32_t ElementEndLine(const char* name) const;
};

class XmlDocumentObject final
    : public ComObject<XmlDocumentObject, Face<MXmlDocument, kIID_MXmlDocument>> {
 public:
  XmlDocumentObject();

  int32_t Load(const void* data, uint64_t size, uint32_t flags) override;
  int32_t LoadFile(const char16_t* path, uint32_t flags) override;
  int32_t Save(const char16_t* path, uint32_t reserved, uint32_t flags) override;
  int32_t SaveToMemory(NarrowString* text, uint32_t flags) override;
  int32_t Root(MXmlNode** root) override;
  int32_t GetError(TString* text, int32_t* line) override;

 private:
  ~XmlDocumentObject() override = default;
  std::shared_ptr<XmlState> State();
  std::string Serialize(uint32_t flags);

  std::mutex mutex_;
  std::shared_ptr<XmlState> state_;
  std::string error_;
  int32_t errorLine_ = 0;
};

// True when `node` is of `type` (kXmlAnyNode: any) and, unless `name` is null, so named.
bool XmlNodeMatches(const pugi::xml_node& node, const std::string* name, int32_t type);

// Makes a node object for `node` of `state`, with one reference.
MXmlNode* MakeXmlNode(std::shared_ptr<XmlState> state, pugi::xml_node node);

}  // namespace vk2::oru
