// The widget types: class factories, type objects, and what each window type answers to
// QueryInterface, stand-alone and aggregated.
#include <gtest/gtest.h>

#include <vector>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"
#include "interfaces/markup/widget_type.h"
#include "interfaces/runtime/base_object.h"
#include "interfaces/script/script_object.h"
#include "markup/controls/widget_type.h"
#include "markup/services/markup_services.h"
#include "tests/markup/window/window_fixture.h"

namespace vk2::test {
namespace {

RefPtr<MWidgetType> TypeOf(const Guid& classId) {
  void* out = nullptr;
  if (markup::CreateWidgetTypeInstance(classId, kIID_MWidgetType, &out) != kOk) return nullptr;
  return RefPtr<MWidgetType>::Adopt(static_cast<MWidgetType*>(out));
}

// The GUI part each type wraps (the part an aggregating outer object brings).
struct TypeCase {
  const Guid* classId;
  const Guid* partIid;
  bool button;  // answers MButton with its own face
};
const TypeCase kTypes[] = {
    {&kGenericWindowClass, &kIID_MWindowElement, false},
    {&kButtonClass, &kIID_MButton, true},
    {&kTextDisplayClass, &kIID_MWindowElement, false},
    {&kDlgCheckBoxClass, &kIID_MButton, true},
};

class WidgetTypeTest : public MarkupWindowTest {
 protected:
  // A base object with the type's GUI part, as the player's own windows bring it.
  RefPtr<MBaseObject> MakeOuter(const Guid& partIid) {
    RefPtr<MBaseObject> base =
        markup::CreateObject<MBaseObject>(kRuntimeRootClass, kIID_MBaseObject);
    if (!base) return nullptr;
    void* part = nullptr;
    if (markup::CreateInstance(kBrintClass, partIid, &part, base.Get()) != kOk || !part)
      return nullptr;
    auto held = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(part));
    if (base->AddPart(held.Get()) != kOk) return nullptr;
    return base;
  }
};

TEST_F(WidgetTypeTest, ClassFactoriesServeOnlyTheWidgetTypeInterface) {
  for (const TypeCase& type : kTypes) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(markup::CreateWidgetTypeInstance(*type.classId, kIID_MWindowElement, &out),
              kErrNoInterface);
    EXPECT_EQ(out, nullptr);
    EXPECT_NE(TypeOf(*type.classId), nullptr);
  }
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(markup::CreateWidgetTypeInstance(kIID_MControl, kIID_MWidgetType, &out),
            kErrNoInterface);
  EXPECT_EQ(out, nullptr);
}

TEST_F(WidgetTypeTest, EachTypeAnswersItsInterfacesStandAloneAndAggregated) {
  for (const TypeCase& type : kTypes) {
    for (bool aggregated : {false, true}) {
      SCOPED_TRACE(testing::Message()
                   << "type " << (&type - kTypes) << (aggregated ? " aggregated" : " alone"));
      RefPtr<MWidgetType> widgetType = TypeOf(*type.classId);
      ASSERT_NE(widgetType, nullptr);
      RefPtr<MBaseObject> outer;
      RefPtr<MUnknown> made;
      if (aggregated) {
        outer = MakeOuter(*type.partIid);
        ASSERT_NE(outer, nullptr);
        ASSERT_EQ(widgetType->Create(outer.Get(), made.Put()), kOk);
      } else {
        ASSERT_EQ(widgetType->Create(nullptr, made.Put()), kOk);
      }
      ASSERT_NE(made, nullptr);
      MUnknown* object = aggregated ? static_cast<MUnknown*>(outer.Get()) : made.Get();

      struct Asked {
        const Guid* iid;
        bool answered;
      };
      const Asked asked[] = {{&kIID_MWindowElement, true}, {&kIID_MBrintWindow, true},
                             {&kIID_MControl, true},       {&kIID_MScriptObject, true},
                             {&kIID_MButton, type.button}, {&kIID_MFillBar, false},
                             {&kIID_MWidgetType, false}};
      for (const Asked& ask : asked) {
        void* out = reinterpret_cast<void*>(1);
        const int32_t r = object->QueryInterface(*ask.iid, &out, 1, 0);
        EXPECT_EQ(r == kOk, ask.answered);
        if (r == kOk) {
          static_cast<MUnknown*>(out)->Release();
        } else {
          EXPECT_EQ(out, nullptr);
        }
      }
      // The window faces are the wrapper's, not the GUI part's: slot 27 (own content) answers
      // false, where the button part alone would answer true.
      auto* window = QueryBorrowed<MWindowElement>(object, kIID_MWindowElement);
      ASSERT_NE(window, nullptr);
      EXPECT_EQ(window->HasOwnContent(), 0);
      if (type.button) {
        auto* button = QueryBorrowed<MButton>(object, kIID_MButton);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->HasOwnContent(), 0);
        // Slots 37 and on reach the part.
        EXPECT_EQ(button->SetLogicState(3, 0), kOk);
        EXPECT_EQ(button->GetLogicState(), 3);
        EXPECT_EQ(button->SetLogicState(4, 0), kErrOutOfRange);
      }
      if (type.button) {
        // SetText belongs to stand-alone buttons only.
        RefPtr<MScriptObject> member;
        EXPECT_EQ(QueryBorrowed<MScriptObject>(object, kIID_MScriptObject)
                      ->FindMember(TString(u"SetText"), member.Put(), false),
                  !aggregated);
      }
      auto* control = QueryBorrowed<MControl>(object, kIID_MControl);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(control->GetDefinition(), nullptr);
    }
  }
}

TEST_F(WidgetTypeTest, TheLastReleaseOfTheOuterObjectFreesTheControl) {
  const int32_t before = markup::MarkupWindow::LiveCount();
  {
    RefPtr<MBaseObject> outer = MakeOuter(kIID_MButton);
    ASSERT_NE(outer, nullptr);
    RefPtr<MUnknown> inner;
    ASSERT_EQ(TypeOf(kButtonClass)->Create(outer.Get(), inner.Put()), kOk);
    EXPECT_EQ(markup::MarkupWindow::LiveCount(), before + 1);
    // The outer object's count covers the control's interfaces.
    RefPtr<MButton> button = Query<MButton>(outer.Get(), kIID_MButton);
    ASSERT_NE(button, nullptr);
    inner = nullptr;
    EXPECT_EQ(markup::MarkupWindow::LiveCount(), before + 1);
  }
  EXPECT_EQ(markup::MarkupWindow::LiveCount(), before);

  RefPtr<MUnknown> alone;
  ASSERT_EQ(TypeOf(kButtonClass)->Create(nullptr, alone.Put()), kOk);
  EXPECT_EQ(markup::MarkupWindow::LiveCount(), before + 1);
  alone = nullptr;
  EXPECT_EQ(markup::MarkupWindow::LiveCount(), before);
}

TEST_F(WidgetTypeTest, LoadPropertiesAttachesTheDefinitionAndAnswersTheWindow) {
  ASSERT_NE(Load(R"(<window name="b" type="Button" offset="0,0,40,20">
                      <property hover="true" default_delay="300"/>
                    </window>)"),
            nullptr);
  auto iface = duv_.Definition();
  ASSERT_NE(iface, nullptr);
  RefPtr<markup::WindowDefinition> definition = iface->FindWindow(u"b");
  ASSERT_NE(definition, nullptr);
  RefPtr<MWidgetType> type = TypeOf(kButtonClass);
  RefPtr<MUnknown> made;
  ASSERT_EQ(type->Create(nullptr, made.Put()), kOk);
  auto* window = QueryBorrowed<MWindowElement>(made.Get(), kIID_MWindowElement);
  EXPECT_EQ(type->LoadProperties(window, definition.Get(), iface.Get()), window);
  EXPECT_EQ(QueryBorrowed<MControl>(window, kIID_MControl)->GetDefinition(),
            static_cast<MWindowDefinition*>(definition.Get()));
  auto* button = QueryBorrowed<MButton>(window, kIID_MButton);
  EXPECT_EQ(button->GetRepeatDelay(), 300);
  PropertyValue hover;
  ASSERT_EQ(window->GetProperty(kPropButtonHover, &hover), kOk);
  EXPECT_EQ(hover.integer, 1);
  // Not a markup window: nothing to load.
  EXPECT_EQ(type->LoadProperties(nullptr, definition.Get(), nullptr), nullptr);
}

}  // namespace
}  // namespace vk2::test
