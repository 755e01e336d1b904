// The XML document service on arbitrary text: a load gives a tree or an error with its text,
// every node of a tree can be read, and the tree written out loads again to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/util/ref_ptr.h"
#include "oru/services/xml/xml_document.h"

namespace {

constexpr int kMaxDepth = 64;
constexpr int kMaxNodes = 4096;

// Reads what a caller of the service would read from each node, depth first.
void Walk(vk2::MXmlNode* node, int depth, int* budget) {
  if (depth > kMaxDepth || --*budget < 0) return;
  vk2::TString name, text, value;
  node->GetType();
  node->GetName(&name);
  node->GetText(&text);
  node->GetLine();
  const int32_t attributes = node->GetAttributeCount();
  for (int32_t i = 0; i < attributes; ++i) {
    if (node->GetAttributeAt(static_cast<uint32_t>(i), &name, &value) != 0) std::abort();
    double number = 0;
    int32_t whole = 0;
    bool flag = false;
    node->GetAttributeNumber(name.c_str(), &number);
    node->GetAttributeInt(name.c_str(), &whole);
    node->GetAttributeBool(name.c_str(), &flag);
    node->GetAttributeLine(name.c_str());
  }
  const int32_t children = node->GetChildCount(nullptr, vk2::kXmlAnyNode);
  for (int32_t i = 0; i < children; ++i) {
    vk2::MXmlNode* child = nullptr;
    if (node->GetChild(nullptr, static_cast<uint32_t>(i), vk2::kXmlAnyNode, &child) != 0 ||
        !child) {
      std::abort();
    }
    Walk(child, depth + 1, budget);
    child->Release();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto document = vk2::RefPtr<vk2::oru::XmlDocumentObject>(new vk2::oru::XmlDocumentObject);
  vk2::TString error;
  int32_t line = 0;
  if (document->Load(data, size, 0) != 0) {
    if (document->GetError(&error, &line) != 0 || error.IsEmpty()) std::abort();
    return 0;
  }
  vk2::MXmlNode* root = nullptr;
  if (document->Root(&root) != 0 || !root) std::abort();
  int budget = kMaxNodes;
  Walk(root, 0, &budget);
  root->Release();
  vk2::NarrowString written;
  if (document->SaveToMemory(&written, 0) != 0) std::abort();
  auto again = vk2::RefPtr<vk2::oru::XmlDocumentObject>(new vk2::oru::XmlDocumentObject);
  if (again->Load(written.c_str(), written.Length(), 0) != 0) std::abort();
  vk2::NarrowString rewritten;
  if (again->SaveToMemory(&rewritten, 0) != 0) std::abort();
  if (std::string(rewritten.c_str(), rewritten.Length()) !=
      std::string(written.c_str(), written.Length())) {
    std::abort();
  }
  return 0;
}
