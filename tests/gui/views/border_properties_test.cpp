// A border element's edge, thickness and offset from its markup element.
#include <gtest/gtest.h>

#include "foundation/util/ref_ptr.h"
#include "gui/border/border_properties.h"
#include "interfaces/runtime/xml_document.h"
#include "oru/services/xml/xml_document.h"

namespace vk2::gui {
namespace {

RefPtr<MXmlNode> Element(const std::string& text) {
  RefPtr<MXmlDocument> document(new oru::XmlDocumentObject());
  EXPECT_EQ(document->Load(text.data(), text.size(), 0), 0);
  MXmlNode* root = nullptr;
  document->Root(&root);
  MXmlNode* top = nullptr;
  root->GetChild(nullptr, 0, kXmlElement, &top);
  root->Release();
  return RefPtr<MXmlNode>::Adopt(top);
}

// Knows one named rectangle, "frame", and no inline ones.
bool Resolve(const TString& text, double out[4]) {
  if (text != u"frame") return false;
  const double values[4] = {1.9, -2.7, 3.0, 4.5};
  std::copy(values, values + 4, out);
  return true;
}

TEST(BorderPropertiesTest, EdgeThicknessAndOffsetFromTheElement) {
  struct Case {
    const char* markup;
    int32_t edge;
    int32_t thickness;
    std::array<int32_t, 4> offset;
  } cases[] = {
      {"<b/>", kEdgeAll, 100, {}},
      {"<b edge='top'/>", kEdgeTop, 0, {}},
      {"<b edge='Left' thickness='12'/>", kEdgeLeft, 12, {}},
      {"<b edge='LEFT'/>", kEdgeLeft, 0, {}},
      {"<b edge='right' border_offset='frame'/>", kEdgeRight, 0, {1, -2, 3, 4}},
      {"<b edge='bottom' border_offset='nothing'/>", kEdgeBottom, 0, {}},
      {"<b edge='sideways' thickness='x'/>", kEdgeAll, 0, {}},
      {"<b edge='all' thickness='-3'/>", kEdgeAll, -3, {}},
      {"<b edge='topper'/>", kEdgeAll, 0, {}},
  };
  for (const Case& c : cases) {
    RefPtr<MXmlNode> element = Element(c.markup);
    ASSERT_TRUE(element) << c.markup;
    const BorderProperties properties = LoadBorderProperties(element.Get(), &Resolve);
    EXPECT_EQ(properties.edge, c.edge) << c.markup;
    EXPECT_EQ(properties.thickness, c.thickness) << c.markup;
    EXPECT_EQ(properties.offset, c.offset) << c.markup;
  }
  EXPECT_EQ(LoadBorderProperties(nullptr, &Resolve).thickness, 100);
}

}  // namespace
}  // namespace vk2::gui
