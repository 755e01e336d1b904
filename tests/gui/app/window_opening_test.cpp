// The window manager opening windows of an installed interface on the GUI layer's loop thread
// (headless backend, the runtime's markup engine): the main window, a named window, reopening
// them after an interface change, and the list emptying as they are destroyed.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "component/module/runtime_loader.h"
#include "gui/app/gui_thread.h"
#include "gui/display/page_placement.h"
#include "gui/windows/window_manager.h"
#include "interfaces/gui/app.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"
#include "interfaces/markup/window_definition.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/gui/support/app_runner.h"

namespace vk2::gui {
namespace {

constexpr char kIndex[] = R"(<?mml version="0.5"?>
<mml><interface unique_name="test/opening_skin/1.0">
  <property name="Velkora2"><frame name="main" window="shell"/>
    <frame name="mini" window="small"/><frame name="empty" window="flat"/>
    <remote name="far" window="small"/></property>
  <window name="shell" offset="0,0,160,90"/>
  <window name="small" offset="0,0,60,30"/>
  <window name="flat" offset="0,0,60,0"/>
  <window name="page" offset="0,0,30,20"/>
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
  // Posted commands run on a later frame of the loop.
  bool WaitOnGui(const std::function<bool()>& done) {
    for (int i = 0; i < 200; ++i) {
      bool met = false;
      OnGui([&] { met = done(); });
      if (met) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

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

// A named window opened inside another window opens there again after an interface change.
TEST_F(WindowOpeningTest, AReopenedWindowKeepsItsParent) {
  const TString package = WideFromNarrow((folder_.Path() + "/interfaces/skin").c_str());
  RefPtr<MWindowElement> host;
  RefPtr<MWindowElement> inner;
  OnGui([&] {
    ASSERT_TRUE(manager_->OpenInterfaceWindow(&host, package, u"index.mml", u"shell", nullptr));
    manager_->SetDefaultInterface(record_);
    ASSERT_TRUE(manager_->OpenWindow(u"mini", host.Get(), &inner));
    manager_->ReopenWindows();
  });
  ASSERT_TRUE(inner) << log_;
  std::vector<RefPtr<MWindowElement>> open = manager_->GetOpenWindows();
  ASSERT_EQ(open.size(), 2u) << log_;
  EXPECT_NE(open[1].Get(), inner.Get());
  MWindowElement* parent = nullptr;
  OnGui([&] {
    EXPECT_EQ(AppName(open[1].Get()), "mini");
    open[1]->GetValue(kValueParent, &parent, sizeof parent);
  });
  EXPECT_EQ(parent, host.Get());
}

// Scripts' LaunchRemote opens the remote windows an interface lists, not its frames.
TEST_F(WindowOpeningTest, RemoteWindowsOpenFromTheRemoteList) {
  RefPtr<MWindowElement> remote;
  OnGui([&] {
    EXPECT_FALSE(manager_->OpenRemoteWindow(record_, u"mini", nullptr, nullptr));
    EXPECT_FALSE(manager_->OpenWindowOf(record_, u"far", nullptr, nullptr));
    EXPECT_TRUE(manager_->OpenRemoteWindow(record_, u"far", nullptr, &remote));
  });
  ASSERT_TRUE(remote) << log_;
  SizeI size;
  OnGui([&] { remote->GetValue(kValueSize, &size, sizeof size); });
  EXPECT_EQ(size, (SizeI{60, 30}));
  EXPECT_EQ(manager_->GetOpenWindows().size(), 1u);
}

// Scripts' LaunchWindow: a window of an interface named by its type (a definition identifier,
// or the type name the document maps to one), made as the class given or else as that type.
TEST_F(WindowOpeningTest, WindowsAreMadeByTypeAndNameAndAsTheClassGiven) {
  constexpr Guid kNoWidget = MakeGuid("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
  struct Case {
    const char* label;
    std::optional<Guid> definition;
    std::optional<Guid> classId;
    const char16_t* name;
    const char16_t* typeName;
    bool opens;
    const char* log;
  };
  const Case cases[] = {
      {"type name", {}, {}, u"small", u"Generic", true, ""},
      {"definition id", kGenericWindowClass, {}, u"small", u"", true, ""},
      {"class as the type", {}, kGenericWindowClass, u"page", u"Generic", true, ""},
      {"unknown type name",
       {},
       {},
       u"small",
       u"NoSuchType",
       false,
       "7 Unable to create window type: \"small\" for creation.\n"},
      {"no window of that type",
       kNoWidget,
       {},
       u"small",
       u"",
       false,
       "7 Unable to find window \"small\" for creation.\n"},
      {"unknown name",
       {},
       {},
       u"nosuch",
       u"Generic",
       false,
       "7 Unable to find window \"nosuch\" for creation.\n"},
      {"class with no widget",
       {},
       kNoWidget,
       u"small",
       u"Generic",
       false,
       "7 Unable to create window type: \"small\" for creation.\n"},
  };
  size_t open = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    log_.clear();
    RefPtr<MWindowElement> window;
    OnGui([&] {
      EXPECT_EQ(
          manager_->CreateWindowOf(record_, c.definition, c.classId, c.name, c.typeName, &window),
          c.opens);
    });
    EXPECT_EQ(log_, c.log);
    EXPECT_EQ(static_cast<bool>(window), c.opens);
    if (c.opens) ++open;
    EXPECT_EQ(manager_->GetOpenWindows().size(), open);
    // Only the windows that stand hold a use of the document.
    EXPECT_EQ(cache_->UseCount(record_.identifier), static_cast<int32_t>(open));
  }
}

// The display's pages: an element made from the current interface's document is placed again
// under a parent from its definition, with the caller's placement.
TEST_F(WindowOpeningTest, AChildElementIsPlacedAgainFromItsDefinition) {
  RefPtr<MWindowElement> main;
  OnGui([&] {
    manager_->SetDefaultInterface(record_);
    EXPECT_TRUE(manager_->OpenWindow(u"main", nullptr, &main));
  });
  ASSERT_TRUE(main) << log_;
  RefPtr<MWindowElement> page;
  OnGui([&] {
    EXPECT_TRUE(manager_->CreateChildElement(&page, u"page", kGenericWindowClass, main.Get()));
  });
  ASSERT_TRUE(page);
  AnchoredRect strip;
  strip.offset[0] = -40;
  strip.alignment[0] = strip.alignment[2] = strip.alignment[3] = 1.0;
  RefPtr<MWindowElement> placed;
  OnGui([&] {
    // The class must be the one the definition gives; an unknown name places nothing.
    EXPECT_FALSE(manager_->PlaceChildElement(&placed, u"page", kGenericOutputClass, main.Get(),
                                             page.Get(), strip, kWindowStyleVisible,
                                             kPlaceModeBottom));
    EXPECT_FALSE(manager_->PlaceChildElement(&placed, u"nosuch", kGenericWindowClass, main.Get(),
                                             page.Get(), strip, kWindowStyleVisible,
                                             kPlaceModeBottom));
    EXPECT_FALSE(placed);
    EXPECT_TRUE(manager_->PlaceChildElement(&placed, u"page", kGenericWindowClass, main.Get(),
                                            page.Get(), strip, kWindowStyleVisible,
                                            kPlaceModeBottom));
  });
  EXPECT_EQ(placed.Get(), page.Get());
  // A right strip 40 pixels wide over the whole height of the 160 x 90 main window.
  EXPECT_TRUE(WaitOnGui([&] {
    std::array<int32_t, 4> offset{};
    SizeI size;
    page->GetValue(kValueOffset, offset.data(), sizeof offset);
    page->GetValue(kValueSize, &size, sizeof size);
    return offset == std::array<int32_t, 4>{-40, 0, 0, 0} && size == SizeI{40, 90};
  }));
  MWindowElement* parent = nullptr;
  OnGui([&] {
    page->GetValue(kValueParent, &parent, sizeof parent);
    EXPECT_EQ(main->ChildCount(), 1);  // placed again, not made twice
  });
  EXPECT_EQ(parent, main.Get());
  // No new window joined the open ones, and every document use went back but main's.
  EXPECT_EQ(manager_->GetOpenWindows().size(), 1u);
  EXPECT_EQ(cache_->UseCount(record_.identifier), 1);
}

// A page that is no border element is anchored in the display with an empty rectangle, shown;
// the layout pass then moves it.
TEST_F(WindowOpeningTest, APlainPageIsAnchoredInTheDisplayWithAnEmptyRectangle) {
  RefPtr<MWindowElement> display;
  RefPtr<MWindowElement> page;
  OnGui([&] {
    manager_->SetDefaultInterface(record_);
    ASSERT_TRUE(manager_->OpenWindow(u"main", nullptr, &display));
    ASSERT_TRUE(manager_->CreateChildElement(&page, u"page", kGenericWindowClass, display.Get()));
    EXPECT_FALSE(PlacePageWindow(manager_.get(), nullptr, u"page", display.Get()));
    EXPECT_TRUE(PlacePageWindow(manager_.get(), page.Get(), u"page", display.Get()));
  });
  ASSERT_TRUE(page) << log_;
  EXPECT_TRUE(WaitOnGui([&] {
    std::array<int32_t, 4> offset{1, 1, 1, 1};
    std::array<double, 4> alignment{1, 1, 1, 1};
    SizeI size{1, 1};
    page->GetValue(kValueOffset, offset.data(), sizeof offset);
    page->GetValue(kValueAlignment, alignment.data(), sizeof alignment);
    page->GetValue(kValueSize, &size, sizeof size);
    return offset == std::array<int32_t, 4>{} && alignment == std::array<double, 4>{} &&
           size == SizeI{};
  }));
  int32_t shown = 0;
  OnGui([&] { page->GetValue(kValueCapability, &shown, sizeof shown); });
  EXPECT_NE(shown, 0);
}

}  // namespace
}  // namespace vk2::gui
