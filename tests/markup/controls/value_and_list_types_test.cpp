// The widget types of the edit box, fill bar, spin button, selection list and picker: tessel
// serves each by class id, stand-alone and aggregated into an outer object that brings the GUI
// part, and each answers its part's interface with its own face whose window slots are its own.
#include <gtest/gtest.h>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"
#include "interfaces/markup/widget_type.h"
#include "markup/controls/widget_type.h"
#include "markup/services/markup_services.h"
#include "tests/markup/window/window_fixture.h"

namespace vk2::test {
namespace {

struct ValueTypeCase {
  const char* name;
  const Guid* classId;
  const Guid* partIid;
};
const ValueTypeCase kValueTypes[] = {
    {"edit box", &kEditBoxClass, &kIID_MEditBox},
    {"fill bar", &kFillBarClass, &kIID_MFillBar},
    {"spin button", &kSpinButtonClass, &kIID_MSpinButton},
    {"selection list", &kSelectionListClass, &kIID_MSelectionList},
    {"picker", &kPickerClass, &kIID_MPicker},
};

class ValueAndListTypesTest : public MarkupWindowTest {};

TEST_F(ValueAndListTypesTest, EachTypeAnswersItsPartsInterfaceWithItsOwnFace) {
  for (const ValueTypeCase& type : kValueTypes) {
    for (bool aggregated : {false, true}) {
      SCOPED_TRACE(testing::Message() << type.name << (aggregated ? " aggregated" : " alone"));
      void* made = nullptr;
      ASSERT_EQ(markup::CreateWidgetTypeInstance(*type.classId, kIID_MWidgetType, &made), kOk);
      auto widgetType = RefPtr<MWidgetType>::Adopt(static_cast<MWidgetType*>(made));
      RefPtr<MBaseObject> outer;
      RefPtr<MUnknown> window;
      if (aggregated) {
        outer = markup::CreateObject<MBaseObject>(kRuntimeRootClass, kIID_MBaseObject);
        ASSERT_NE(outer, nullptr);
        void* part = nullptr;
        ASSERT_EQ(markup::CreateInstance(kBrintClass, *type.partIid, &part, outer.Get()), kOk);
        auto held = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(part));
        ASSERT_EQ(outer->AddPart(held.Get()), kOk);
        ASSERT_EQ(widgetType->Create(outer.Get(), window.Put()), kOk);
      } else {
        ASSERT_EQ(widgetType->Create(nullptr, window.Put()), kOk);
      }
      MUnknown* object = aggregated ? static_cast<MUnknown*>(outer.Get()) : window.Get();
      auto* face = QueryBorrowed<MWindowElement>(object, *type.partIid);
      ASSERT_NE(face, nullptr);
      // The wrapper's face: the part alone would answer that it has content of its own.
      EXPECT_EQ(face->HasOwnContent(), 0);
      EXPECT_NE(QueryBorrowed<MControl>(object, kIID_MControl), nullptr);
      EXPECT_NE(QueryBorrowed<MScriptObject>(object, kIID_MScriptObject), nullptr);
    }
  }
}

TEST_F(ValueAndListTypesTest, FacesReachTheirParts) {
  void* made = nullptr;
  ASSERT_EQ(markup::CreateWidgetTypeInstance(kFillBarClass, kIID_MWidgetType, &made), kOk);
  auto fillType = RefPtr<MWidgetType>::Adopt(static_cast<MWidgetType*>(made));
  RefPtr<MUnknown> bar;
  ASSERT_EQ(fillType->Create(nullptr, bar.Put()), kOk);
  auto* fill = QueryBorrowed<MFillBar>(bar.Get(), kIID_MFillBar);
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(fill->SetIntPos(40), kOk);
  EXPECT_EQ(fill->GetIntPos(), 40);
  EXPECT_EQ(fill->SetRealPos(1.5), kErrOutOfRange);

  ASSERT_EQ(markup::CreateWidgetTypeInstance(kEditBoxClass, kIID_MWidgetType, &made), kOk);
  auto editType = RefPtr<MWidgetType>::Adopt(static_cast<MWidgetType*>(made));
  RefPtr<MUnknown> box;
  ASSERT_EQ(editType->Create(nullptr, box.Put()), kOk);
  auto* edit = QueryBorrowed<MEditBox>(box.Get(), kIID_MEditBox);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->SetText(u"hello"), kOk);
  TString text;
  EXPECT_EQ(edit->GetText(&text), kOk);
  EXPECT_EQ(Narrow(text), "hello");
  // Without a font nobody can measure: the caret stays where it is.
  const PointI point{3, 3};
  EXPECT_EQ(edit->CaretIndexAt(&point), -1);
}

}  // namespace
}  // namespace vk2::test
