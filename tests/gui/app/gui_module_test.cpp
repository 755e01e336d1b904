// The module vk2_gui as the runtime loads it: what its application class hands out, and when.
#include <gtest/gtest.h>

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"
#include "interfaces/gui/app_window_list.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/ids.h"
#include "interfaces/prefs_dialog_provider.h"
#include "interfaces/runtime/class_enumerator.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::test {
namespace {

class GuiModuleTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadRuntime()); }
  void TearDown() override { UnloadRuntime(); }

  static int32_t Make(const Guid& iid, RefPtr<MUnknown>* out) {
    void* p = nullptr;
    const int32_t r = RuntimeCreateInstance(kGuiApplicationClass, iid, &p);
    *out = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(p));
    return r;
  }

  ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_GUI_SO}};
};

TEST_F(GuiModuleTest, TheApplicationClassHandsOutItsFaces) {
  auto classes = CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  ASSERT_TRUE(classes);
  TString name;
  ASSERT_EQ(classes->GetClassName(kGuiApplicationClass, &name), 0);
  EXPECT_EQ(name, TString(u"Velkora2"));

  RefPtr<MUnknown> first, second, list, none;
  ASSERT_EQ(Make(kIID_MGuiApplication, &first), kOk);
  ASSERT_EQ(Make(kIID_MGuiApplication, &second), kOk);
  EXPECT_EQ(first.Get(), second.Get());  // one application object per module
  ASSERT_EQ(Make(kIID_MAppWindowList, &list), kOk);
  TArray<MWindowElement*> windows;
  EXPECT_EQ(static_cast<MAppWindowList*>(static_cast<void*>(list.Get()))->GetOpenWindows(&windows),
            kOk);
  EXPECT_TRUE(windows.IsEmpty());
  // The GUI main object exists only while the application is launched.
  EXPECT_EQ(Make(kIID_MGuiMain, &none), kErrOutOfMemory);
  EXPECT_FALSE(none);
  EXPECT_EQ(Make(kIID_MScriptEngine, &none), kErrNoInterface);
  auto* app = static_cast<MGuiApplication*>(static_cast<void*>(first.Get()));
  EXPECT_EQ(app->Run(), kErrFailed);       // not launched
  EXPECT_EQ(app->Shutdown(), kErrFailed);  // nothing to shut down
}

TEST_F(GuiModuleTest, EveryPreferencePaneNamesItselfAndTheDialogDocument) {
  struct Case {
    Guid classId;
    const char16_t* name;
  };
  const Case cases[] = {
      {kLanguagePrefsPane, u"languagePrefs"},   {kPlaylistPrefsPane, u"playlistPrefs"},
      {kFileTypesPrefsPane, u"fileTypesPrefs"}, {kNetworkPrefsPane, u"networkPrefs"},
      {kMiscPrefsPane, u"miscPrefs"},           {kAudioOutPrefsPane, u"audioOutPrefs"},
      {kVisualPrefsPane, u"visualPrefs"},       {kNoSettingsPane, u"noSettings"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf8(TString(c.name)).c_str());
    auto pane = CreateRuntimeObject<MPrefsDialogProvider>(c.classId, kIID_MPrefsDialogProvider);
    ASSERT_TRUE(pane);
    PrefsPaneRecord record;
    // The resource archive is staged beside the test program.
    EXPECT_TRUE(pane->GetPane(&record));
    ASSERT_NE(record.archive, nullptr);
    record.archive->Release();
    EXPECT_EQ(record.resourceName, TString(u"vk2dlgs.xml"));
    EXPECT_EQ(record.interfaceName, TString(u"ridurodoror/velkora2_prefs/1.0"));
    EXPECT_EQ(record.moduleName, TString(c.name));
    void* other = nullptr;
    EXPECT_EQ(RuntimeCreateInstance(c.classId, kIID_MGuiApplication, &other), kErrNoInterface);
  }
}

}  // namespace
}  // namespace vk2::test
