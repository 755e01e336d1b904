// The window manager opening windows of an installed interface on the GUI layer's loop thread
// (headless backend, the runtime's markup engine): the main window, a named window, reopening
// them after an interface change, and the list emptying as they are destroyed.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "component/module/runtime_loader.h"
#include "gui/app/gui_thread.h"
#include "gui/windows/window_manager.h"
#include "interfaces/gui/app.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/gui/support/app_runner.h"

namespace vk2::gui {
namespace {

constexpr char kIndex[] = R"(<?mml version="0.5"?>
<mml><interface unique_name="test/opening_skin/1.0">
  <property name="Velkora2"><frame name="main" window="shell"/>
    <frame name="mini" window="small"/><frame name="empty" window="flat"/></property>
  <window name="shell" offset="0,0,160,90"/>
  <window name="small" offset="0,0,60,30"/>
  <window name="flat" offset="0,0,60,0"/>
</interface></mml>
)";

std::string AppName(MWindowElement* window) {
  PropertyValue value;
  if (window->GetProperty(kAppWindowProperty, &value) != 0 || !value.text) return "<none>";
  return Utf8(TString(value.text)).c_str();
}

class WindowOpeningTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox_.Set("VK2_GUI_BACKEND", "headless");
    test::WriteFiles(folder_.Path(), {{"interfaces/skin/index.mml", kIndex}});
    ASSERT_TRUE(LoadRuntime());
    app_ = CreateRuntimeObject<MOmbrixApp>(kBrintClass, kIID_MOmbrixApp);
    ASSERT_TRUE(app_);
    ASSERT_EQ(app_->Launch(0, nullptr, nullptr, 0), 0);
    PackageServices services = RuntimePackageServices();
    const TString program = WideFromNarrow(folder_.Path().c_str());
    services.programFolder = [program] { return program; };
    services.guiPreferences = [] { return RefPtr<MPreferenceStore>(); };
    services.log = [this](int32_t level, const TString& text) { Log(level, text); };
    enumerator_ = std::make_unique<InterfaceEnumerator>(services);
    cache_ = std::make_unique<InterfaceCache>(services);
    manager_ = std::make_unique<WindowManager>(
        program, WindowManager::Hooks{[this](int32_t level, const TString& t) { Log(level, t); },
                                      [](const TString&) {},
                                      [this] { ++quits_; },
                                      {},
                                      [] { return RefPtr<MPreferenceStore>(); }});
    manager_->SetInterfaces(enumerator_.get(), cache_.get());
    ASSERT_TRUE(enumerator_->Scan()) << log_;
    ASSERT_TRUE(enumerator_->FindByName(u"test/opening_skin/1.0", &record_));
  }
  void TearDown() override {
    if (app_) {
      OnGui([&] {
        for (const RefPtr<MWindowElement>& window : manager_->GetOpenWindows())
          window->DestroyWindow();
      });
    }
    manager_.reset();
    cache_.reset();
    enumerator_.reset();
    record_ = InterfaceRecord();  // its texts were made by the runtime's modules
    if (app_) app_->Shutdown();
    app_ = nullptr;
    UnloadRuntime();
  }
  void Log(int32_t level, const TString& text) {
    log_ += std::to_string(level) + " " + Utf8(text).c_str();
  }
  void OnGui(const std::function<void()>& task) { RunOnGuiThread(app_.Get(), task); }

  test::ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_TESSEL_SO}};
  test::TempFolder folder_;
  RefPtr<MOmbrixApp> app_;
  std::unique_ptr<InterfaceEnumerator> enumerator_;
  std::unique_ptr<InterfaceCache> cache_;
  std::unique_ptr<WindowManager> manager_;
  InterfaceRecord record_;
  std::string log_;
  int quits_ = 0;
};

TEST_F(WindowOpeningTest, WindowsOpenByNameReopenInPlaceAndLeaveTheListWhenDestroyed) {
  OnGui([&] { EXPECT_TRUE(manager_->OpenMainWindow(nullptr)); });
  std::vector<RefPtr<MWindowElement>> open = manager_->GetOpenWindows();
  ASSERT_EQ(open.size(), 1u) << log_;
  InterfaceRecord current;
  ASSERT_TRUE(manager_->CurrentInterface(&current));
  EXPECT_EQ(current.identifier, record_.identifier);
  SizeI size;
  OnGui([&] {
    EXPECT_EQ(AppName(open[0].Get()), "main");
    open[0]->GetValue(kValueSize, &size, sizeof size);
  });
  EXPECT_EQ(size, (SizeI{160, 90}));

  RefPtr<MWindowElement> mini;
  OnGui([&] { EXPECT_TRUE(manager_->OpenWindow(u"mini", nullptr, &mini)); });
  ASSERT_TRUE(mini);
  // One cache use per window, of the one package read.
  EXPECT_EQ(cache_->UseCount(record_.identifier), 2);
  EXPECT_EQ(cache_->PackageCount(), 1u);
  // Unknown names and windows without a size open nothing.
  OnGui([&] {
    EXPECT_FALSE(manager_->OpenWindow(u"nosuch", nullptr, nullptr));
    EXPECT_FALSE(manager_->OpenWindow(u"empty", nullptr, nullptr));
  });
  EXPECT_EQ(manager_->GetOpenWindows().size(), 2u);
  EXPECT_EQ(cache_->UseCount(record_.identifier), 2);

  const PointI moved{40, 50};
  OnGui([&] { WindowManager::MoveWindowTo(mini.Get(), moved); });
  OnGui([&] { manager_->ReopenWindows(); });
  open = manager_->GetOpenWindows();
  ASSERT_EQ(open.size(), 2u) << log_;
  EXPECT_EQ(quits_, 0);  // closing to reopen never ends the program
  EXPECT_NE(open[0].Get(), mini.Get());
  EXPECT_NE(open[1].Get(), mini.Get());
  PointI at;
  OnGui([&] {
    EXPECT_EQ(AppName(open[0].Get()), "main");
    EXPECT_EQ(AppName(open[1].Get()), "mini");
    open[1]->GetValue(kValueLocation, &at, sizeof at);
  });
  EXPECT_EQ(at, moved);
  EXPECT_EQ(cache_->UseCount(record_.identifier), 2);

  OnGui([&] { open[1]->DestroyWindow(); });
  EXPECT_EQ(manager_->GetOpenWindows().size(), 1u);
  EXPECT_EQ(quits_, 0);
  OnGui([&] { open[0]->DestroyWindow(); });
  EXPECT_TRUE(manager_->GetOpenWindows().empty());
  EXPECT_EQ(quits_, 1);  // the last window closed
  EXPECT_EQ(cache_->PackageCount(), 0u);
}

TEST_F(WindowOpeningTest, AnyPackagesWindowOpensByDocumentAndWindowName) {
  const TString package = WideFromNarrow((folder_.Path() + "/interfaces/skin").c_str());
  RefPtr<MWindowElement> window;
  OnGui([&] {
    EXPECT_TRUE(manager_->OpenInterfaceWindow(&window, package, u"index.mml", u"small", nullptr));
  });
  ASSERT_TRUE(window) << log_;
  EXPECT_EQ(manager_->GetOpenWindows().size(), 1u);
  // Not a window of the current interface: it has no name to reopen by.
  OnGui([&] { EXPECT_EQ(AppName(window.Get()), "<none>"); });

  log_.clear();
  RefPtr<MWindowElement> none;
  OnGui([&] {
    EXPECT_FALSE(manager_->OpenInterfaceWindow(&none, package, u"other.mml", u"small", nullptr));
  });
  EXPECT_FALSE(none);
  EXPECT_EQ(log_, "7 Interface Parse error:\t\nError: \"other.mml\" not found in package!\n\n\n");
  EXPECT_EQ(manager_->GetOpenWindows().size(), 1u);
}

}  // namespace
}  // namespace vk2::gui
