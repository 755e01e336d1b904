// The module's window classes as the runtime makes them: the named windows listed in their
// category, and an equalizer window made by class that reads its bands from its own script
// object and hands a press to the script as a gain.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "component/module/runtime_loader.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"
#include "interfaces/markup/widget_type.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::test {
namespace {

class WindowClassesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadRuntime()); }
  void TearDown() override { UnloadRuntime(); }

  // The value of `script` run on `self`, as text.
  static std::string Value(MScriptEngine* engine, MScriptObject* self, const char16_t* script) {
    MScriptObject* raw = nullptr;
    if (engine->Run(TString(script), &raw, self, self, self) != 0) return "<error>";
    auto value = RefPtr<MScriptObject>::Adopt(raw);
    TString text;
    if (ScriptDataEntity* data = value ? AsDataEntity(value.Get()) : nullptr) data->GetValue(&text);
    return Utf8(text).c_str();
  }

  // An element made by its class's type object, standing alone.
  static RefPtr<MWindowElement> MakeElement(const Guid& classId) {
    RefPtr<MWidgetType> type = CreateRuntimeObject<MWidgetType>(classId, kIID_MWidgetType);
    MUnknown* made = nullptr;
    if (!type || type->Create(nullptr, &made) != kOk || !made) return nullptr;
    return RefPtr<MWindowElement>::Adopt(static_cast<MWindowElement*>(made));
  }

  ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_TESSEL_SO, VK2_TEST_GUI_SO}};
};

TEST_F(WindowClassesTest, NamedWindowsAreListedInTheirCategory) {
  auto classes = CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  ASSERT_TRUE(classes);
  uint32_t count = 0;
  ASSERT_EQ(classes->GetCategoryCount(kCategoryGuiWindows, &count), 0);
  std::set<std::string> names;
  for (uint32_t i = 0; i < count; ++i) {
    Guid member{};
    TString name;
    if (classes->GetCategoryEntry(kCategoryGuiWindows, i, &member, &name) == 0)
      names.insert(Utf8(name).c_str());
  }
  for (const char* name : {"menu", "console", "onlinewindow", "viewer"}) {
    EXPECT_TRUE(names.count(name)) << name;
  }
}

TEST_F(WindowClassesTest, AnEqualizerMadeByClassReadsAndSetsBandsThroughItsScript) {
  RefPtr<MWindowElement> window = MakeElement(kEqualizerElementClass);
  ASSERT_TRUE(window);
  void* s = nullptr;
  ASSERT_EQ(window->QueryInterface(kIID_MScriptObject, &s, 1, 0), kOk);
  auto script = RefPtr<MScriptObject>::Adopt(static_cast<MScriptObject*>(s));
  auto engine = CreateRuntimeObject<MScriptEngine>(kMmlModuleClass, kIID_MScriptEngine);
  ASSERT_TRUE(engine);
  ASSERT_EQ(Value(engine.Get(), script.Get(),
                  u"sep = \"=\"; GetNumBands = \"return (10);\";"
                  u"GetBandFreqString = \"return ($params[0]);\";"
                  u"GetBandGain = \"return (0);\";"
                  u"SetBandGain = \"last = $params[0] | sep | $params[1]; return (1);\";"
                  u"return (1);"),
            "1");
  EXPECT_EQ(Value(engine.Get(), script.Get(), u"UpdateDisplay(); return (2);"), "2");

  const SizeI size{110, 100};
  ASSERT_EQ(window->SetValue(kValueSize, &size, sizeof size), kOk);
  const PointI top{5, 0};
  window->Query(kQueryLeftDown, reinterpret_cast<uintptr_t>(&top), 0, 0);
  EXPECT_EQ(Value(engine.Get(), script.Get(), u"return (last);"), "0=1");
  const PointI bottom{104, 100};
  window->Query(kQueryPointerMove, reinterpret_cast<uintptr_t>(&bottom), 1, 0);
  EXPECT_EQ(Value(engine.Get(), script.Get(), u"return (last);"), "9=-1");
  window->Query(kQueryLeftUp, reinterpret_cast<uintptr_t>(&bottom), 0, 0);
  // After the release moves set nothing.
  const PointI middle{50, 50};
  window->Query(kQueryPointerMove, reinterpret_cast<uintptr_t>(&middle), 0, 0);
  EXPECT_EQ(Value(engine.Get(), script.Get(), u"return (last);"), "9=-1");
}

}  // namespace
}  // namespace vk2::test
