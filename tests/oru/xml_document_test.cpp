// XML documents: processing instructions, line numbers, changes and saving.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/xml_document.h"
#include "tests/oru/sandbox.h"

namespace vk2::test {
namespace {

constexpr char kPlaylist[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<?xpl version=\"1.0\"?>\n"
    "<xpl>\n"
    "  <!-- items -->\n"
    "  <item url=\"a.mp3\"\n"
    "        duration=\"12.5\" scanned=\"yes\" count=\"3\">First &amp; best</item>\n"
    "  <item url=\"b.ogg\"/>\n"
    "</xpl>\n";

class XmlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.Bound());
    doc_ = CreateRuntimeObject<MXmlDocument>(kServiceClass, kIID_MXmlDocument);
    ASSERT_TRUE(doc_);
  }
  RefPtr<MXmlNode> Root() {
    MXmlNode* root = nullptr;
    EXPECT_EQ(doc_->Root(&root), 0);
    return RefPtr<MXmlNode>::Adopt(root);
  }
  static RefPtr<MXmlNode> Child(MXmlNode* node, const char16_t* name, uint32_t index = 0,
                                int32_t type = kXmlElement) {
    MXmlNode* child = nullptr;
    if (node->GetChild(name, index, type, &child) != 0) return nullptr;
    return RefPtr<MXmlNode>::Adopt(child);
  }
  static std::string Text(MXmlNode* node) {
    TString t;
    node->GetText(&t);
    return Utf8(t).c_str();
  }

  Sandbox sandbox_;
  RuntimeSession session_;
  RefPtr<MXmlDocument> doc_;
};

TEST_F(XmlTest, ProcessingInstructionsAndElementsUnderTheRoot) {
  ASSERT_EQ(doc_->Load(kPlaylist, sizeof kPlaylist - 1, 0), 0);
  auto root = Root();
  EXPECT_EQ(root->GetType(), kXmlDocument);
  EXPECT_EQ(root->GetChildCount(nullptr, kXmlProcessingInstruction), 1);
  auto pi = Child(root.Get(), u"xpl", 0, kXmlProcessingInstruction);
  ASSERT_TRUE(pi);
  EXPECT_EQ(Text(pi.Get()), "version=\"1.0\"");
  auto xpl = Child(root.Get(), u"xpl");
  ASSERT_TRUE(xpl);
  EXPECT_EQ(xpl->GetChildCount(u"item", kXmlElement), 2);
  EXPECT_EQ(xpl->GetChildCount(nullptr, kXmlComment), 1);
  auto first = Child(xpl.Get(), u"item");
  EXPECT_EQ(Text(first.Get()), "First & best");
  EXPECT_FALSE(Child(xpl.Get(), u"item", 2));
  MXmlNode* parent = nullptr;
  ASSERT_EQ(first->GetParent(&parent), 0);
  EXPECT_TRUE(parent->IsSameNode(xpl.Get()));
  parent->Release();
  EXPECT_EQ(root->GetParent(&parent), -5);
}

TEST_F(XmlTest, NodesAndAttributesKnowTheirLines) {
  ASSERT_EQ(doc_->Load(kPlaylist, sizeof kPlaylist - 1, 0), 0);
  auto root = Root();
  auto xpl = Child(root.Get(), u"xpl");
  auto first = Child(xpl.Get(), u"item");
  auto second = Child(xpl.Get(), u"item", 1);
  EXPECT_EQ(Child(root.Get(), u"xpl", 0, kXmlProcessingInstruction)->GetLine(), 2);
  EXPECT_EQ(xpl->GetLine(), 3);
  EXPECT_EQ(first->GetLine(), 5);
  EXPECT_EQ(first->GetAttributeLine(u"url"), 5);
  EXPECT_EQ(first->GetAttributeLine(u"count"), 6);
  EXPECT_EQ(first->GetAttributeLine(u"missing"), 0);
  EXPECT_EQ(second->GetLine(), 7);
  // Added later: no line.
  MXmlNode* added = nullptr;
  ASSERT_EQ(xpl->AddChild(u"item", nullptr, kXmlElement, &added), 0);
  EXPECT_EQ(added->GetLine(), 0);
  added->Release();
}

TEST_F(XmlTest, ElementsKnowWhereTheyEndAndWhereTheyStandInTheParentsText) {
  // The end tags of a multi-line element are found past quoted '>' and '/>', comments, CDATA
  // and nested elements of the same name; positions count UTF-16 units of the parent's text.
  constexpr char kText[] =
      "<root>\n"
      "  <script name=\"a>/\">x\u00e9\U0001F600<include source=\"b\"/>tail\n"
      "    <!-- </script> --><![CDATA[</script>]]>\n"
      "    <script name=\"inner\">\n"
      "    </script>\n"
      "  </script>\n"
      "  <empty/>\n"
      "</root>\n";
  ASSERT_EQ(doc_->Load(kText, sizeof kText - 1, 0), 0);
  auto root = Child(Root().Get(), u"root");
  auto script = Child(root.Get(), u"script");
  auto include = Child(script.Get(), u"include");
  auto inner = Child(script.Get(), u"script");
  auto empty = Child(root.Get(), u"empty");
  struct Case {
    MXmlNode* node;
    int32_t first, last;
  } cases[] = {{root.Get(), 1, 8},
               {script.Get(), 2, 6},
               {include.Get(), 2, 2},
               {inner.Get(), 4, 5},
               {empty.Get(), 7, 7}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.node->GetLine(), c.first);
    EXPECT_EQ(c.node->GetLastLine(), c.last);
  }
  // "x", U+00E9 and a surrogate pair precede the include: four units.
  EXPECT_EQ(include->GetTextPosition(), 4);
  // Blank-only text is not kept as text, so it counts for nothing, as in GetText.
  EXPECT_EQ(script->GetTextPosition(), 0);
  EXPECT_EQ(Root()->GetTextPosition(), -5);
  MXmlNode* added = nullptr;
  ASSERT_EQ(root->AddChild(u"late", nullptr, kXmlElement, &added), 0);
  EXPECT_EQ(added->GetLastLine(), 0);
  added->Release();
}

TEST_F(XmlTest, TypedAttributesAreReadStrictly) {
  ASSERT_EQ(doc_->Load(kPlaylist, sizeof kPlaylist - 1, 0), 0);
  auto item = Child(Child(Root().Get(), u"xpl").Get(), u"item");
  double d = 0;
  int32_t i = 0;
  bool b = false;
  EXPECT_EQ(item->GetAttributeNumber(u"duration", &d), 0);
  EXPECT_EQ(d, 12.5);
  EXPECT_EQ(item->GetAttributeInt(u"count", &i), 0);
  EXPECT_EQ(i, 3);
  EXPECT_EQ(item->GetAttributeBool(u"scanned", &b), 0);
  EXPECT_TRUE(b);
  i = 99;
  EXPECT_EQ(item->GetAttributeInt(u"duration", &i), -16);
  EXPECT_EQ(item->GetAttributeInt(u"absent", &i), -5);
  EXPECT_EQ(i, 99);
}

TEST_F(XmlTest, ChangesRoundTripThroughAFile) {
  auto root = Root();
  MXmlNode* pi = nullptr;
  ASSERT_EQ(root->AddChild(u"xpl", u"version=\"1.0\"", kXmlProcessingInstruction, &pi), 0);
  pi->Release();
  MXmlNode* top = nullptr;
  ASSERT_EQ(root->AddChild(u"xpl", nullptr, kXmlElement, &top), 0);
  auto xpl = RefPtr<MXmlNode>::Adopt(top);
  for (const char16_t* url : {u"one.mp3", u"t\u00f6 <two>.ogg"}) {
    MXmlNode* item = nullptr;
    ASSERT_EQ(xpl->AddChild(u"item", u"title", kXmlElement, &item), 0);
    ASSERT_EQ(item->SetAttribute(u"url", url), 0);
    item->Release();
  }
  auto second = Child(xpl.Get(), u"item", 1);
  ASSERT_EQ(second->SetText(u"renamed"), 0);
  auto first = Child(xpl.Get(), u"item");
  ASSERT_EQ(first->SetAttribute(u"gone", u"x"), 0);
  ASSERT_EQ(first->RemoveAttribute(u"gone"), 0);
  EXPECT_EQ(first->RemoveAttribute(u"gone"), -5);

  std::string path = sandbox_.Root() + "/out.xpl";
  ASSERT_EQ(doc_->Save(WideFromNarrow(path.c_str()).c_str(), 0, kXmlSaveIndent | kXmlSaveUtf8), 0);
  auto again = CreateRuntimeObject<MXmlDocument>(kServiceClass, kIID_MXmlDocument);
  ASSERT_EQ(again->LoadFile(WideFromNarrow(path.c_str()).c_str(), 0), 0);
  MXmlNode* r = nullptr;
  ASSERT_EQ(again->Root(&r), 0);
  auto root2 = RefPtr<MXmlNode>::Adopt(r);
  ASSERT_TRUE(Child(root2.Get(), u"xpl", 0, kXmlProcessingInstruction));
  auto items = Child(root2.Get(), u"xpl");
  auto item2 = Child(items.Get(), u"item", 1);
  TString url;
  ASSERT_EQ(item2->GetAttribute(u"url", &url), 0);
  EXPECT_EQ(url.view(), std::u16string_view(u"t\u00f6 <two>.ogg"));
  EXPECT_EQ(Text(item2.Get()), "renamed");
  // Declaration, instruction, <xpl>, first item: one node per line in the indented file.
  EXPECT_EQ(item2->GetLine(), 5);
  EXPECT_EQ(Child(items.Get(), u"item")->GetAttributeCount(), 1);
}

TEST_F(XmlTest, RemovedNodesTurnEmptyInsteadOfDangling) {
  ASSERT_EQ(doc_->Load(kPlaylist, sizeof kPlaylist - 1, 0), 0);
  auto xpl = Child(Root().Get(), u"xpl");
  auto first = Child(xpl.Get(), u"item");
  MXmlNode* text = nullptr;
  ASSERT_EQ(first->GetChild(nullptr, 0, kXmlText, &text), 0);
  auto textNode = RefPtr<MXmlNode>::Adopt(text);
  ASSERT_EQ(xpl->RemoveChild(first.Get()), 0);
  EXPECT_EQ(xpl->GetChildCount(u"item", kXmlElement), 1);
  EXPECT_EQ(Text(first.Get()), "");
  EXPECT_EQ(Text(textNode.Get()), "");
  EXPECT_EQ(first->GetChildCount(nullptr, kXmlAnyNode), 0);
  EXPECT_EQ(xpl->RemoveChild(first.Get()), -5);
  // A node of another parent is refused.
  auto second = Child(xpl.Get(), u"item");
  EXPECT_EQ(Root()->RemoveChild(second.Get()), -5);
}

TEST_F(XmlTest, ChildrenByIndexFollowChangesToTheList) {
  // Enough children of mixed kinds that late indexes are served from the child index.
  MXmlNode* made = nullptr;
  ASSERT_EQ(Root()->AddChild(u"xpl", nullptr, kXmlElement, &made), 0);
  auto list = RefPtr<MXmlNode>::Adopt(made);
  constexpr int kEntries = 60;
  for (int i = 0; i < kEntries; ++i) {
    const auto n = WideFromNarrow(std::to_string(i).c_str());
    ASSERT_EQ(list->AddChild(u"Entry", n.c_str(), kXmlElement, nullptr), 0);
    ASSERT_EQ(list->AddChild(u"Other", nullptr, kXmlElement, nullptr), 0);
    ASSERT_EQ(list->AddChild(nullptr, u"note", kXmlComment, nullptr), 0);
  }
  auto texts = [&](const char16_t* name, int32_t type) {
    std::vector<std::string> out;
    for (uint32_t i = 0;; ++i) {
      auto child = Child(list.Get(), name, i, type);
      if (!child) break;
      out.push_back(type == kXmlComment ? "c" : Text(child.Get()));
    }
    return out;
  };
  std::vector<std::string> expected;
  for (int i = 0; i < kEntries; ++i)
    expected.push_back(std::to_string(i));
  EXPECT_EQ(texts(u"Entry", kXmlElement), expected);
  EXPECT_EQ(texts(nullptr, kXmlComment).size(), static_cast<size_t>(kEntries));
  EXPECT_EQ(texts(nullptr, kXmlAnyNode).size(), static_cast<size_t>(3 * kEntries));

  // Removing, appending and rewriting text all show in the next walk.
  auto victim = Child(list.Get(), u"Entry", 40);
  ASSERT_EQ(list->RemoveChild(victim.Get()), 0);
  expected.erase(expected.begin() + 40);
  ASSERT_EQ(list->AddChild(u"Entry", u"late", kXmlElement, nullptr), 0);
  expected.push_back("late");
  auto changed = Child(list.Get(), u"Entry", 50);
  ASSERT_EQ(changed->SetText(u"rewritten"), 0);
  expected[50] = "rewritten";
  EXPECT_EQ(texts(u"Entry", kXmlElement), expected);
  EXPECT_FALSE(Child(list.Get(), u"Entry", kEntries));
  EXPECT_TRUE(Child(list.Get(), u"Entry", kEntries - 1));
}

TEST_F(XmlTest, MalformedTextFailsWithALineAndLeavesAnEmptyDocument) {
  const char bad[] = "<a>\n<b>\n</a>\n";
  EXPECT_EQ(doc_->Load(bad, sizeof bad - 1, 0), -16);
  TString error;
  int32_t line = 0;
  ASSERT_EQ(doc_->GetError(&error, &line), 0);
  EXPECT_EQ(line, 3);
  EXPECT_FALSE(error.IsEmpty());
  EXPECT_EQ(Root()->GetChildCount(nullptr, kXmlAnyNode), 0);
  EXPECT_EQ(doc_->LoadFile(u"/nonexistent/file.xml", 0), -7);
}

// The parser would decode these into a nul that cuts the text short, so what was read and
// saved would differ from the document; references in undecoded sections stay harmless.
TEST_F(XmlTest, NulCharacterReferencesAreRefusedWithTheirLine) {
  struct Case {
    const char* text;
    int32_t line;  // 0: the document loads
  };
  const Case cases[] = {
      {"<a>\n&#0;</a>", 2},
      {"<a>\n\n&#x00;</a>", 3},
      {"<a x=\"&#0000;\"/>", 1},
      {"<a>&#x100000000;</a>", 1},  // wraps to zero as the parser decodes it
      {"<a><!-- &#0; --><![CDATA[&#0;]]><?p &#0;?>&#48;&#x;&#0</a>", 0},
      {"<a x=\"<?\">&#x00;</a>", 1},  // markup-like text inside a value starts nothing
      {"<a x='<!--'\ny=\"&#0;\"/>", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const int32_t result = doc_->Load(c.text, std::char_traits<char>::length(c.text), 0);
    if (c.line == 0) {
      EXPECT_EQ(result, 0);
      continue;
    }
    EXPECT_EQ(result, -16);
    TString error;
    int32_t line = 0;
    ASSERT_EQ(doc_->GetError(&error, &line), 0);
    EXPECT_EQ(line, c.line);
    EXPECT_NE(std::string(Utf8(error).c_str()).find("nul"), std::string::npos);
  }
}

TEST_F(XmlTest, CarriageReturnsInTextSurviveASaveAndLoad) {
  const char text[] = "<a x=\"&#13;\">one&#13;two</a>";
  ASSERT_EQ(doc_->Load(text, sizeof text - 1, 0), 0);
  NarrowString written;
  ASSERT_EQ(doc_->SaveToMemory(&written, 0), 0);
  ASSERT_EQ(doc_->Load(written.c_str(), written.Length(), 0), 0);
  auto a = Child(Root().Get(), u"a");
  ASSERT_TRUE(a);
  EXPECT_EQ(Text(a.Get()), "one\rtwo");
  TString x;
  ASSERT_EQ(a->GetAttribute(u"x", &x), 0);
  EXPECT_EQ(x.view(), std::u16string_view(u"\r"));
}

TEST_F(XmlTest, Utf16TextIsRead) {
  const char16_t text[] = u"\xFEFF<a x=\"\u00e9\">\n<b/></a>";
  ASSERT_EQ(doc_->Load(text, sizeof text - 2, 0), 0);
  auto a = Child(Root().Get(), u"a");
  ASSERT_TRUE(a);
  TString x;
  ASSERT_EQ(a->GetAttribute(u"x", &x), 0);
  EXPECT_EQ(x.view(), std::u16string_view(u"\u00e9"));
  EXPECT_EQ(Child(a.Get(), u"b")->GetLine(), 2);
}

}  // namespace
}  // namespace vk2::test
