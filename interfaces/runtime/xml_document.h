// XML documents. Nodes and attributes read from text know their line; nodes can be changed
// and the document written back.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

enum XmlNodeType : int32_t {
  kXmlAnyNode = 0,  // as a filter: every type
  kXmlDocument = 1,
  kXmlElement = 2,
  kXmlText = 3,
  kXmlProcessingInstruction = 4,
  kXmlComment = 5,
  kXmlCData = 6,
  kXmlDeclaration = 7,
};

// Save flags.
inline constexpr uint32_t kXmlSaveIndent = 0x01;
inline constexpr uint32_t kXmlSaveUtf8 = 0x20;

class MXmlNode : public MUnknown {
 public:
  virtual int32_t GetType() = 0;
  // Element tag or instruction target.
  virtual int32_t GetName(TString* name) = 0;
  // Element: its text and CDATA children joined; other nodes: their value.
  virtual int32_t GetText(TString* text) = 0;
  // Element: replaces its text children; other nodes: their value.
  virtual int32_t SetText(const char16_t* text) = 0;
  // -5 for the document node.
  virtual int32_t GetParent(MXmlNode** parent) = 0;
  // Children of a type (kXmlAnyNode: all) and, unless `name` is null, of that name.
  virtual int32_t GetChildCount(const char16_t* name, int32_t type) = 0;
  // The index-th such child (from 0); -5 when there is none.
  virtual int32_t GetChild(const char16_t* name, uint32_t index, int32_t type,
                           MXmlNode** child) = 0;
  // Appends a child element or processing instruction (or text, comment, CDATA: `name`
  // ignored) with `text` (may be null); the new node in `*child` (may be null).
  virtual int32_t AddChild(const char16_t* name, const char16_t* text, int32_t type,
                           MXmlNode** child) = 0;
  // -5 when `child` is not a child of this node.
  virtual int32_t RemoveChild(MXmlNode* child) = 0;
  virtual int32_t GetAttributeCount() = 0;
  virtual int32_t GetAttributeAt(uint32_t index, TString* name, TString* value) = 0;
  // -5 when absent.
  virtual int32_t GetAttribute(const char16_t* name, TString* value) = 0;
  // Strict readers: -5 when absent, -16 when the text is not such a value.
  virtual int32_t GetAttributeNumber(const char16_t* name, double* value) = 0;
  virtual int32_t GetAttributeInt(const char16_t* name, int32_t* value) = 0;
  // "true"/"false"/"yes"/"no"/"1"/"0", any case.
  virtual int32_t GetAttributeBool(const char16_t* name, bool* value) = 0;
  virtual int32_t SetAttribute(const char16_t* name, const char16_t* value) = 0;
  virtual int32_t RemoveAttribute(const char16_t* name) = 0;
  // 1-based line where the node or attribute starts in the loaded text; 0 for ones added later.
  virtual int32_t GetLine() = 0;
  virtual int32_t GetAttributeLine(const char16_t* name) = 0;
  // True when both objects stand for the same node.
  virtual bool IsSameNode(MXmlNode* other) = 0;
  // 1-based line where an element read from text ends (its end tag, or the "/>" of an empty
  // element); the start line for other nodes; 0 for ones added later.
  virtual int32_t GetLastLine() = 0;
  // Where the node stands in its parent's text (GetText of the parent): the UTF-16 units of the
  // parent's text and CDATA children before it. -5 for the document node.
  virtual int32_t GetTextPosition() = 0;

 protected:
  ~MXmlNode() = default;
};

class MXmlDocument : public MUnknown {
 public:
  // Replaces the contents. -16 for text that is not well-formed XML (GetError tells where),
  // -7 when the file cannot be read.
  virtual int32_t Load(const void* data, uint64_t size, uint32_t flags) = 0;
  virtual int32_t LoadFile(const char16_t* path, uint32_t flags) = 0;
  // Written atomically; flags as above (0: compact).
  virtual int32_t Save(const char16_t* path, uint32_t reserved, uint32_t flags) = 0;
  virtual int32_t SaveToMemory(NarrowString* text, uint32_t flags) = 0;
  // The document node: processing instructions and the top element are its children.
  virtual int32_t Root(MXmlNode** root) = 0;
  // The last load's error text and line (0 when it succeeded).
  virtual int32_t GetError(TString* text, int32_t* line) = 0;

 protected:
  ~MXmlDocument() = default;
};

}  // namespace vk2
