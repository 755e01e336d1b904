// What the user interface module makes for the visuals, as the runtime loads it beside the
// visualisation host and the markup engine: a new visual control object for each request, and
// the visual window's element type, whose windows carry their script methods.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"
#include "interfaces/markup/widget_type.h"
#include "interfaces/script/script_object.h"
#include "interfaces/visual/visual_control.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::test {
namespace {

class VisualClassesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadRuntime()); }
  void TearDown() override { UnloadRuntime(); }

  ModuleSandbox sandbox_{
      {VK2_TEST_ORU_SO, VK2_TEST_GUI_SO, VK2_TEST_VISUAL_SO, VK2_TEST_TESSEL_SO}};
};

TEST_F(VisualClassesTest, EachRequestGetsANewVisualControlObject) {
  RefPtr<MVisualControl> first =
      CreateRuntimeObject<MVisualControl>(kGuiApplicationClass, kIID_MVisualControl);
  RefPtr<MVisualControl> second =
      CreateRuntimeObject<MVisualControl>(kGuiApplicationClass, kIID_MVisualControl);
  ASSERT_TRUE(first);
  ASSERT_TRUE(second);
  EXPECT_NE(first.Get(), second.Get());
  // A group touched by a script without windows is kept, not left behind.
  EXPECT_EQ(first->GroupNextVisual(u"default"), kOk);
  std::vector<TString> names;
  EXPECT_EQ(first->GetGroupNames(&names), kOk);
  EXPECT_TRUE(names.empty());
}

TEST_F(VisualClassesTest, TheVisualWindowTypeMakesWindowsWithTheirScriptMethods) {
  RefPtr<MWidgetType> type =
      CreateRuntimeObject<MWidgetType>(kVisualWindowElementClass, kIID_MWidgetType);
  ASSERT_TRUE(type);
  MUnknown* made = nullptr;
  ASSERT_EQ(type->Create(nullptr, &made), kOk);
  ASSERT_NE(made, nullptr);
  auto window = RefPtr<MWindowElement>::Adopt(static_cast<MWindowElement*>(made));
  void* face = nullptr;
  ASSERT_EQ(window->QueryInterface(kIID_MScriptObject, &face, 1, 0), kOk);
  auto script = RefPtr<MScriptObject>::Adopt(static_cast<MScriptObject*>(face));
  TString className;
  script->GetClassName(&className);
  // The Generic window's class comes first in the chain.
  const std::string name = Utf8(className).c_str();
  EXPECT_EQ(name, "MML_Window->Brint Visual Window");
  for (const char16_t* name :
       {u"EnablePostEffect", u"GetVisual", u"SetVisual", u"PreviousVisual", u"NextVisual",
        u"SetVisualGroup", u"GetVisualGroup", u"SetAssociatedPlayer", u"GetAssociatedPlayer"}) {
    RefPtr<MScriptObject> member;
    EXPECT_TRUE(script->FindMember(TString(name), member.Put(), false) && member)
        << Utf8(TString(name)).c_str();
  }
  EXPECT_EQ(type->Create(nullptr, nullptr), kErrMissingArg);
}

}  // namespace
}  // namespace vk2::test
