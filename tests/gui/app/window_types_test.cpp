// The module's class table as the runtime sees it, and its window types made from an interface
// package's `windowtype` rows on the headless backend: a frame holding a display whose pages are
// border elements (one holding a playlist view, one a status bar), each reading its style.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "component/module/runtime_loader.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "gui/main/core_access.h"
#include "gui/top_menu/top_menu_style.h"
#include "gui/window_base/menu_realize.h"
#include "interfaces/core/playlist.h"
#include "interfaces/gui/app.h"
#include "interfaces/gui/controls.h"
#include "interfaces/gui/host_window.h"
#include "interfaces/gui/list_view.h"
#include "interfaces/gui/listener_list.h"
#include "interfaces/gui/menus.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/gui/window_page.h"
#include "interfaces/ids.h"
#include "interfaces/markup/interface_loader.h"
#include "interfaces/markup/widget_type.h"
#include "interfaces/runtime/resource_file.h"
#include "interfaces/script/script_engine.h"
#include "interfaces/script/script_object.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/gui/support/app_runner.h"
#include "tests/gui/support/package_window_fixture.h"
#include "tests/support/golden_image.h"

namespace vk2::test {
namespace {

constexpr char kPackage[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<?mml version="0.5"?>
<mml><interface unique_name="test/window_types/1.0">
  <windowtype name="Frame" uid="A22BA869-CF90-42F2-AA81-2A5890A49A3E"/>
  <windowtype name="Display" uid="72811F79-2986-4358-BE4D-20D35DC0BFB5"/>
  <windowtype name="Border" uid="7B86C313-0CA8-43ED-A2FF-0E50A0A421A6"/>
  <windowtype name="Playlist" uid="09234CE2-064B-4AC6-BB5C-A0CBE7795402"/>
  <windowtype name="StatusBar" uid="6185AFA7-E1F6-4136-A630-DA9D29CF7EA0"/>
  <property name="Velkora2" devtestmode="true"/>
  <imagestyle name="rows"><color_rect color="#FF203040" filled="true"/></imagestyle>
  <property name="VK2_PlaylistWindow" playlistname="queue" rect_borderoffset="1,2,3,4"
            img_row="rows" font_item_color="#FF112233"/>
  <property name="VK2_SettingsWindow" rect_borderoffset="5,6,7,8"/>
  <property name="VK2_TopMenu" rect_borderoffset="0,1,0,2" textshadow="false"/>
  <window name="frame" type="Frame" offset="0,0,320,200">
    <window name="display" type="Display" offset="0,0,0,0" alignment="0,0,1,1"/>
  </window>
  <window name="Bar" type="Border">
    <property edge="Left" thickness="30" border_offset="1,2,3,4"/>
  </window>
  <window name="Page" type="Border">
    <property edge="all"/>
    <window name="list" type="Playlist" offset="0,0,0,0" alignment="0,0,1,1"/>
  </window>
  <window name="Status" type="Border">
    <property edge="bottom" thickness="20"/>
    <window name="status" type="StatusBar" offset="0,0,0,0" alignment="0,0,1,1">
      <property font_color="#FF00FF00" rect_status_offset="2,0,-2,0"/>
    </window>
  </window>
</interface></mml>
)";

struct PageFacts {
  int32_t kind = -1;
  int32_t size = -1;
  std::array<int32_t, 4> border{-1, -1, -1, -1};
};

PageFacts FactsOf(MUnknown* window) {
  PageFacts facts;
  void* p = nullptr;
  if (!window || window->QueryInterface(kIID_MWindowClassFactory, &p, 1, 0) != kOk) return facts;
  auto page = RefPtr<MWindowClassFactory>::Adopt(static_cast<MWindowClassFactory*>(p));
  facts.kind = page->GetPageKind();
  facts.size = page->GetPageSize();
  page->GetPageBorderOffset(facts.border.data());
  return facts;
}

class WindowTypesTest : public PackageWindowTest {
 protected:
  WindowTypesTest() : WindowTypesTest({VK2_TEST_ORU_SO, VK2_TEST_TESSEL_SO, VK2_TEST_GUI_SO}) {}
  explicit WindowTypesTest(const std::vector<std::string>& modules) : PackageWindowTest(modules) {}

  // Loads the package and makes its frame (or `window`); the display's start runs on the next
  // loop turn.
  void OpenFrame(const char* package = kPackage, const char16_t* window = u"frame") {
    OpenPackageWindow(package, u"test/window_types/1.0", window);
  }
};

TEST_F(WindowTypesTest, EachClassObjectMakesWhatItsRowSays) {
  struct Case {
    const char* name;
    Guid classId;
    Guid iid;          // what the class object makes
    int32_t pageKind;  // -1: not a page
  };
  const Case cases[] = {
      {"menu", kMenuWindowClass, kIID_MWindowClassFactory, 0},
      {"console", kConsoleWindowClass, kIID_MWindowClassFactory, 4},
      {"settings", kSettingsWindowClass, kIID_MWindowClassFactory, 4},
      {"onlinewindow", kOnlineWindowClass, kIID_MWindowClassFactory, 4},
      {"viewer", kViewerWindowClass, kIID_MWindowClassFactory, 4},
      {"frame", kFontElementClass, kIID_MWidgetType, -1},
      {"display", kDisplayElementClass, kIID_MWidgetType, -1},
      {"equalizer", kEqualizerElementClass, kIID_MWidgetType, -1},
      {"playlist view", kPlaylistElementClass, kIID_MWidgetType, 4},
      {"border", kBorderElementClass, kIID_MWidgetType, 4},
      {"status bar", kStatusBarElementClass, kIID_MWidgetType, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OnLoop([&] {
      void* made = nullptr;
      ASSERT_EQ(RuntimeCreateInstance(c.classId, c.iid, &made), kOk);
      auto object = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(made));
      // A window class object makes windows only; an element class object only type objects.
      void* other = nullptr;
      EXPECT_EQ(RuntimeCreateInstance(c.classId, kIID_MGuiApplication, &other), kErrNoInterface);
      RefPtr<MUnknown> window = object;
      if (c.iid == kIID_MWidgetType) {
        EXPECT_EQ(RuntimeCreateInstance(c.classId, kIID_MWindowElement, &other), kErrNoInterface);
        MUnknown* element = nullptr;
        ASSERT_EQ(static_cast<MWidgetType*>(object.Get())->Create(nullptr, &element), kOk);
        window = RefPtr<MUnknown>::Adopt(element);
        void* control = nullptr;
        // In front of a Generic markup window.
        ASSERT_EQ(window->QueryInterface(kIID_MControl, &control, 0, 0), kOk);
      }
      EXPECT_EQ(FactsOf(window.Get()).kind, c.pageKind);
    });
  }
}

TEST_F(WindowTypesTest, PlaylistIsRegisteredWithoutAClassObjectAndUnknownIdsHaveNone) {
  // The module's own factory, from the copy the runtime loaded.
  void* module = dlopen((sandbox_.LibDir() + "/vk2_gui.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
  ASSERT_NE(module, nullptr);
  using Factory = int32_t (*)(const Guid*, void**);
  auto factory = reinterpret_cast<Factory>(dlsym(module, "MIFactory"));
  ASSERT_NE(factory, nullptr);
  for (const Guid& id : {kPlaylistWindowClass, MakeGuid("0C0C0C0C-0000-4000-8000-000000000001")}) {
    void* out = &out;
    EXPECT_EQ(factory(&id, &out), kErrNoInterface);
    EXPECT_EQ(out, nullptr);
  }
  void* menu = nullptr;
  ASSERT_EQ(factory(&kMenuWindowClass, &menu), kOk);
  static_cast<MUnknown*>(menu)->Release();
  dlclose(module);
}

TEST_F(WindowTypesTest, AFrameHoldsADisplayShowingBorderElementsAsPages) {
  ASSERT_NO_FATAL_FAILURE(OpenFrame());
  // Once it has joined its host the frame stays that host's window tree.
  OnLoop([&] {
    MHostWindow* host = nullptr;
    ASSERT_EQ(frame_->GetHost(&host), kOk);
    auto held = RefPtr<MHostWindow>::Adopt(host);
    EXPECT_EQ(held->GetRoot(), frame_.Get());
  });
  void* list = nullptr;
  // The frame keeps a status listener list of its own.
  ASSERT_EQ(frame_->QueryInterface(kIID_MListenerList, &list, 0, 0), kOk);
  MWindowElement* display = nullptr;
  OnLoop([&] { display = frame_->ChildAt(0); });
  ASSERT_NE(display, nullptr);
  // Pages that leave go at once, without a fade.
  OnLoop([&] {
    PropertyValue none;
    none.type = kPropertyInteger;
    none.integer = 0;
    display->SetProperty(u"AnimationDuration", kPropertyInteger, &none);
  });

  EXPECT_EQ(Run(display, u"return (DisplayWindow(\"Page\"));"), "1");
  EXPECT_EQ(Run(display, u"return (DisplayWindow(\"Bar\"));"), "1");
  EXPECT_EQ(Run(display, u"return (DisplayWindow(\"Status\"));"), "1");
  EXPECT_EQ(Run(display, u"return (DisplayWindow(\"Missing\"));"), "0");
  // In dev-test mode (the display's style) the navigation bar's name shows the console.
  EXPECT_EQ(Run(display, u"return (DisplayWindow(\"VK2_NavigationBar\"));"), "1");
  EXPECT_EQ(Run(display, u"return (DisplayWindow(\"Page\"));"), "1");
  OnLoop([] {});
  std::vector<PageFacts> pages;
  MWindowElement* page = nullptr;
  OnLoop([&] {
    for (int32_t i = 0; i < display->ChildCount(); ++i)
      pages.push_back(FactsOf(display->ChildAt(i)));
    // The fill page's playlist view.
    for (int32_t i = 0; i < display->ChildCount(); ++i) {
      if (FactsOf(display->ChildAt(i)).kind == 4) page = display->ChildAt(i);
    }
  });
  ASSERT_EQ(pages.size(), 3u);
  int32_t bars = 0;
  for (const PageFacts& facts : pages) {
    if (facts.kind == 1) {
      ++bars;
      EXPECT_EQ(facts.size, 30);
      EXPECT_EQ(facts.border, (std::array<int32_t, 4>{1, 2, 3, 4}));
    } else if (facts.kind == 3) {
      ++bars;
      EXPECT_EQ(facts.size, 20);
    } else {
      EXPECT_EQ(facts.kind, 4);
    }
  }
  EXPECT_EQ(bars, 2);
  ASSERT_NE(page, nullptr);
  MWindowElement* view = nullptr;
  OnLoop([&] { view = page->ChildCount() > 0 ? page->ChildAt(0) : nullptr; });
  ASSERT_NE(view, nullptr);
  // The view's style block gives its border; its script object carries the view's methods.
  EXPECT_EQ(FactsOf(view).border, (std::array<int32_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(Run(view, u"return (GetCurrentItem(1));"), "<error>");

  // Toggling the left bar takes it away again.
  EXPECT_EQ(Run(display, u"ToggleWindow(\"Bar\"); return (1);"), "1");
  OnLoop([] {});
  int32_t left = -1;
  OnLoop([&] {
    left = 0;
    for (int32_t i = 0; i < display->ChildCount(); ++i) {
      if (FactsOf(display->ChildAt(i)).kind == 1) ++left;
    }
  });
  EXPECT_EQ(left, 0);
}

TEST_F(WindowTypesTest, NamedWindowsReadTheirStyleWhenShownAsPages) {
  ASSERT_NO_FATAL_FAILURE(OpenFrame());
  struct Case {
    const char* name;
    Guid classId;
    const char16_t* state;  // the page's state text before any pane was shown
    std::array<int32_t, 4> border;
  };
  const Case cases[] = {{"settings", kSettingsWindowClass, u"0", {5, 6, 7, 8}},
                        {"menu", kMenuWindowClass, u"", {0, 1, 0, 2}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OnLoop([&] {
      void* made = nullptr;
      ASSERT_EQ(RuntimeCreateInstance(c.classId, kIID_MWindowClassFactory, &made), kOk);
      auto page = RefPtr<MWindowClassFactory>::Adopt(static_cast<MWindowClassFactory*>(made));
      TString state;
      page->GetPageState(&state);
      EXPECT_EQ(state, TString(c.state));
      EXPECT_EQ(page->AttachPage(nullptr, TString()), 0);
      EXPECT_EQ(page->AttachPage(iface_.Get(), TString()), 1);
      std::array<int32_t, 4> border{};
      page->GetPageBorderOffset(border.data());
      EXPECT_EQ(border, c.border);
    });
  }
}

TEST_F(WindowTypesTest, TheSettingsWindowShowsTheFirstPaneFromTheResourceArchive) {
  ASSERT_NO_FATAL_FAILURE(OpenFrame());
  MWindowElement* display = nullptr;
  OnLoop([&] { display = frame_->ChildAt(0); });
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(Run(display, u"return (DisplayWindow(\"BDF7BA75-B066-41ee-9495-2C3982E960E4\"));"),
            "1");
  OnLoop([] {});
  std::string state;
  int32_t parts = -1;
  MWindowElement* settings = nullptr;
  OnLoop([&] {
    for (int32_t i = 0; i < display->ChildCount(); ++i) {
      MWindowElement* page = display->ChildAt(i);
      void* p = nullptr;
      if (page->QueryInterface(kIID_MWindowClassFactory, &p, 1, 0) != kOk) continue;
      auto face = RefPtr<MWindowClassFactory>::Adopt(static_cast<MWindowClassFactory*>(p));
      TString text;
      face->GetPageState(&text);
      state = Utf8(text).c_str();
      parts = page->ChildCount();
      settings = page;
    }
  });
  // The pane shown is a node of the preference tree (never 0); the menu, the pane's container
  // and its two scroll bars stand in the window.
  EXPECT_NE(state, "0");
  EXPECT_NE(state, "");
  EXPECT_EQ(parts, 4);
  ASSERT_NE(settings, nullptr);
  // The shipped pane stretches with its container but is at least 300 x 200: in a container of
  // 322 x 182 only its height overflows, so the right bar shows, the bottom one does not, and
  // the container pans over the pane's minimum height.
  MWindowElement* container = nullptr;
  MWindowElement* bars[2] = {};
  OnLoop([&] {
    for (int32_t i = 0; i < settings->ChildCount(); ++i) {
      MWindowElement* child = settings->ChildAt(i);
      const char16_t* name = nullptr;
      child->GetValue(kValueName, &name, sizeof(name));
      void* p = nullptr;
      if (name && std::u16string_view(name) == u"DialogContanier") {
        container = child;
      } else if (child->QueryInterface(kIID_MScrollBar, &p, 0, 0) == kOk) {
        uint32_t kind = 0;
        PropertyValue type;
        if (child->GetProperty(kPropScrollType, &type) == kOk) kind = type.integer;
        if (kind == 1 || kind == 2) bars[kind - 1] = child;
      }
    }
  });
  ASSERT_NE(container, nullptr);
  ASSERT_NE(bars[0], nullptr);
  ASSERT_NE(bars[1], nullptr);
  OnLoop([&] {
    SizeI area, extent, dialog;
    container->GetValue(kValueSize, &area, sizeof(area));
    container->GetValue(kValueVirtualSize, &extent, sizeof(extent));
    container->ChildAt(0)->GetValue(kValueSize, &dialog, sizeof(dialog));
    ASSERT_EQ(area.width, 322);
    ASSERT_EQ(area.height, 182);
    EXPECT_EQ(extent.width, area.width);
    EXPECT_EQ(extent.height, 200);
    EXPECT_EQ(dialog.width, extent.width);
    EXPECT_EQ(dialog.height, extent.height);
    uint32_t state[2] = {};
    for (int i = 0; i < 2; ++i)
      bars[i]->GetValue(kValueStateFlags, &state[i], sizeof(state[i]));
    EXPECT_TRUE(state[0] & kStateVisible);
    EXPECT_FALSE(state[1] & kStateVisible);
    // A wheel notch towards the user on the vertical bar pans the pane down, three steps at
    // most: here as far as the 18 pixels that overflow.
    PointI inside{5, 50};
    bars[0]->Query(kQueryWheel, reinterpret_cast<uintptr_t>(&inside), static_cast<uintptr_t>(-1),
                   0);
    PointI pan;
    container->GetValue(kValuePan, &pan, sizeof(pan));
    EXPECT_EQ(pan.y, 18);
  });
  // A settings window larger than its dialog needs no bars.
  OnLoop([&] {
    SizeI large{800, 600};
    frame_->SetValue(kValueSize, &large, sizeof(large));
  });
  OnLoop([] {});
  OnLoop([&] {
    for (MWindowElement* bar : bars) {
      uint32_t state = 0;
      bar->GetValue(kValueStateFlags, &state, sizeof(state));
      EXPECT_FALSE(state & kStateVisible);
    }
  });
}

// A playlist view alone in a 200 x 100 frame, its bar 12 pixels wide from the style block.
constexpr char kScrollPackage[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<?mml version="0.5"?>
<mml><interface unique_name="test/window_types/1.0">
  <windowtype name="Frame" uid="A22BA869-CF90-42F2-AA81-2A5890A49A3E"/>
  <windowtype name="Playlist" uid="09234CE2-064B-4AC6-BB5C-A0CBE7795402"/>
  <property name="VK2_PlaylistWindow"><Scrollbar pixel_scrollbarthickness="12"/></property>
  <window name="main" type="Frame" offset="0,0,200,100">
    <window name="list" type="Playlist" offset="0,0,0,0" alignment="0,0,1,1"/>
  </window>
</interface></mml>
)";

class PlaylistScrollBarTest : public WindowTypesTest {
 protected:
  PlaylistScrollBarTest()
      : WindowTypesTest({VK2_TEST_ORU_SO, VK2_TEST_CORE_SO, VK2_TEST_TESSEL_SO, VK2_TEST_GUI_SO}) {}

  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(WindowTypesTest::SetUp());
    core_ = std::make_unique<gui::RuntimeCoreAccess>();
    ASSERT_TRUE(core_->Core());
    ASSERT_EQ(core_->Core()->GetPlaylistManager()->AddRemove(u"default", 1), kOk);
    playlist_ = core_->FindPlaylist(u"default");
    ASSERT_TRUE(playlist_);
  }
  // The view lets the playlist go with its window; the core's objects go before the runtime.
  void TearDown() override {
    OnLoop([this] {
      if (frame_) frame_->DestroyWindow();
      frame_ = nullptr;
    });
    playlist_ = nullptr;
    if (core_ && core_->HasCore()) core_->Core()->RemoveAllObjects();
    core_.reset();
    WindowTypesTest::TearDown();
  }

  struct Parts {
    MWindowElement* list = nullptr;
    MScrollBar* bar = nullptr;
  };
  // The view's list and bar, found by the faces they answer.
  Parts Find() {
    Parts parts;
    OnLoop([&] {
      MWindowElement* view = frame_->ChildCount() > 0 ? frame_->ChildAt(0) : nullptr;
      for (int32_t i = 0; view && i < view->ChildCount(); ++i) {
        MWindowElement* child = view->ChildAt(i);
        void* p = nullptr;
        if (child->QueryInterface(kIID_MScrollBar, &p, 0, 0) == kOk) {
          parts.bar = static_cast<MScrollBar*>(p);
        } else if (child->QueryInterface(kIID_MPlaylistView, &p, 0, 0) == kOk) {
          parts.list = child;
        }
      }
    });
    return parts;
  }
  void AddItems(MPlaylist* playlist, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
      ItemInfo item;
      item.url = TString::Format(u"/music/track%d.wav", i);
      item.Set(kUrlPresent);
      ASSERT_EQ(playlist->AddItems(&item, 1, kPlaylistBottom, nullptr), 0);
    }
  }
  // Turns the loop until `done` holds there (the playlist's changes reach the view posted).
  template <class F>
  bool WaitOnLoop(F done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until) {
      bool met = false;
      OnLoop([&] { met = done(); });
      if (met) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  static bool Visible(MWindowElement* window) {
    uint32_t state = 0;
    window->GetValue(kValueStateFlags, &state, sizeof(state));
    return (state & kStateVisible) != 0;
  }
  static int32_t Width(MWindowElement* window) {
    SizeI size;
    window->GetValue(kValueSize, &size, sizeof(size));
    return size.width;
  }
  std::unique_ptr<gui::RuntimeCoreAccess> core_;
  RefPtr<MPlaylist> playlist_;

  static ScrollInfo ScrollOf(MWindowElement* list) {
    ScrollInfo info;
    list->Query(kQueryScrollInfo, reinterpret_cast<uintptr_t>(&info), 0, 0);
    return info;
  }
  static int32_t TopRow(MWindowElement* list) { return ScrollOf(list).position; }
};

TEST_F(PlaylistScrollBarTest, ALongPlaylistShowsTheBarWhichScrollsTheRowsAndAShortOneHidesIt) {
  MPlaylist* playlist = playlist_.Get();
  ASSERT_NO_FATAL_FAILURE(AddItems(playlist, 3));
  ASSERT_NO_FATAL_FAILURE(OpenFrame(kScrollPackage, u"main"));
  Parts parts = Find();
  ASSERT_NE(parts.list, nullptr);
  ASSERT_NE(parts.bar, nullptr);
  MWindowElement* list = parts.list;
  MWindowElement* bar = parts.bar;
  // Three rows fit: no bar, the list fills the window.
  ASSERT_TRUE(WaitOnLoop([&] { return Width(list) == 200; }));
  OnLoop([&] { EXPECT_FALSE(Visible(bar)); });

  // Forty rows do not: the bar shows at the right edge and the list leaves it the room. The
  // rows arrive one change at a time; the scrolling below starts once all of them have.
  ASSERT_NO_FATAL_FAILURE(AddItems(playlist, 37));
  ASSERT_TRUE(
      WaitOnLoop([&] { return Visible(bar) && Width(list) == 188 && ScrollOf(list).total == 40; }));
  OnLoop([&] {
    EXPECT_EQ(Width(bar), 12);
    EXPECT_EQ(TopRow(list), 0);
    // A wheel notch on the bar moves the list's rows, three steps at a time.
    PointI point{5, 50};
    bar->Query(kQueryWheel, reinterpret_cast<uintptr_t>(&point), static_cast<uintptr_t>(-1), 0);
  });
  ASSERT_TRUE(WaitOnLoop([&] { return TopRow(list) == 3; }));
  OnLoop([&] {
    // A drag of the thumb to the bottom of the track shows the last rows.
    PointI press{6, 20};
    bar->Query(kQueryLeftDown, reinterpret_cast<uintptr_t>(&press), 0, 0);
    PointI far{6, 400};
    bar->Query(kQueryPointerMove, reinterpret_cast<uintptr_t>(&far), 1, 0);
    bar->Query(kQueryLeftUp, reinterpret_cast<uintptr_t>(&far), 0, 0);
  });
  ScrollInfo info;
  OnLoop([&] { list->Query(kQueryScrollInfo, reinterpret_cast<uintptr_t>(&info), 0, 0); });
  EXPECT_GT(info.page, 0);
  EXPECT_EQ(info.position, info.total - info.page);

  // A frame tall enough for every row needs no bar; shrunk again, it does.
  OnLoop([&] {
    SizeI tall{200, 800};
    frame_->SetValue(kValueSize, &tall, sizeof(tall));
  });
  EXPECT_TRUE(WaitOnLoop([&] { return !Visible(bar) && Width(list) == 200; }));
  OnLoop([&] {
    SizeI small{200, 100};
    frame_->SetValue(kValueSize, &small, sizeof(small));
  });
  EXPECT_TRUE(WaitOnLoop([&] { return Visible(bar) && Width(list) == 188; }));

  // Back to two rows: the bar goes and the list takes the whole width again.
  playlist->RemoveAll();
  ASSERT_NO_FATAL_FAILURE(AddItems(playlist, 2));
  EXPECT_TRUE(WaitOnLoop([&] { return !Visible(bar) && Width(list) == 200; }));
}

// A top menu styled by its block: images, colours and fades for the bar and the drop-downs.
constexpr char kMenuPackage[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<?mml version="0.5"?>
<mml><interface unique_name="test/window_types/1.0">
  <windowtype name="Frame" uid="A22BA869-CF90-42F2-AA81-2A5890A49A3E"/>
  <imagestyle name="fill"><color_rect color="#FF203040" filled="true"/></imagestyle>
  <property name="VK2_TopMenu" img_top_background="fill" img_top_item_first="fill"
            img_drop_background="fill" img_drop_item_last="fill" top_font_color1="#FF112233"
            drop_font_color3="#FF445566" top_fade_duration="150" drop_fade_duration="250"/>
  <window name="main" type="Frame" offset="0,0,200,100"/>
</interface></mml>
)";

bool HasProperty(MWindowElement* element, const char16_t* name, int32_t type) {
  PropertyValue value;
  return element->GetProperty(name, &value) == kOk && value.type == type;
}

int32_t IntegerProperty(MWindowElement* element, const char16_t* name) {
  PropertyValue value;
  if (element->GetProperty(name, &value) != kOk || value.type != kPropertyInteger) return -1;
  return value.integer;
}

TEST_F(WindowTypesTest, TheTopMenuTakesItsImagesColoursAndFadesFromItsStyleBlock) {
  ASSERT_NO_FATAL_FAILURE(OpenFrame(kMenuPackage, u"main"));
  OnLoop([&] {
    gui::TopMenuStyle style;
    ASSERT_TRUE(gui::LoadTopMenuStyle(iface_.Get(), &style));
    EXPECT_TRUE(style.bar.background && style.bar.items[1] && style.drop.background &&
                style.drop.items[3]);
    EXPECT_FALSE(style.bar.items[0] || style.drop.items[0] || style.bar.items[3]);
    EXPECT_EQ(style.bar.colours[0], std::optional<uint32_t>(0xFF112233u));
    EXPECT_FALSE(style.bar.colours[1].has_value());
    EXPECT_EQ(style.drop.colours[2], std::optional<uint32_t>(0xFF445566u));
    EXPECT_EQ(style.bar.fadeMs, 150);
    EXPECT_EQ(style.drop.fadeMs, 250);
    EXPECT_TRUE(style.textShadow);

    // A drop-down dressed with that look carries it as the GUI layer's menu properties.
    RefPtr<MMenuWindow> drop = gui::NewMenuWindow();
    ASSERT_TRUE(drop);
    gui::DressMenuWindow(drop.Get(), style.drop, false);
    MWindowElement* element = drop->Element();
    EXPECT_TRUE(HasProperty(element, kPropMenuImage, kPropertyInterface));
    EXPECT_TRUE(HasProperty(element, kPropMenuItemImages[3], kPropertyInterface));
    EXPECT_FALSE(HasProperty(element, kPropMenuItemImages[0], kPropertyInterface));
    EXPECT_EQ(static_cast<uint32_t>(IntegerProperty(element, kPropMenuHighlight)), 0xFF445566u);
    EXPECT_EQ(IntegerProperty(element, kPropMenuText), -1);  // not given: the GUI layer's own
    EXPECT_EQ(IntegerProperty(element, kPropFadeDuration), 250);
  });

  // The top menu placed in the frame: its bar lets the window's background through and takes
  // the bar's look; the window fades as the bar's fade says.
  MWindowElement* bar = nullptr;
  RefPtr<MWindowElement> menu;
  OnLoop([&] {
    void* made = nullptr;
    ASSERT_EQ(RuntimeCreateInstance(kMenuWindowClass, kIID_MWindowClassFactory, &made), kOk);
    auto page = RefPtr<MWindowClassFactory>::Adopt(static_cast<MWindowClassFactory*>(made));
    EXPECT_EQ(page->AttachPage(iface_.Get(), TString()), 1);
    void* element = nullptr;
    ASSERT_EQ(page->QueryInterface(kIID_MWindowElement, &element, 1, 0), kOk);
    menu = RefPtr<MWindowElement>::Adopt(static_cast<MWindowElement*>(element));
    PlacementRecord top;
    top.parent = frame_.Get();
    top.rect.offset[3] = 22;
    top.rect.alignment[2] = 1;
    top.flags = kPlaceVisible | kPlaceEnabled;
    top.mode = kPlaceModeTop;
    menu->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&top), nullptr, 0, 0);
  });
  OnLoop([] {});
  OnLoop([&] {
    EXPECT_EQ(IntegerProperty(menu.Get(), kPropFadeDuration), 150);
    bar = menu->ChildCount() > 0 ? menu->ChildAt(0) : nullptr;
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(IntegerProperty(bar, kPropMenuBackground), 0);
    EXPECT_EQ(static_cast<uint32_t>(IntegerProperty(bar, kPropMenuText)), 0xFF112233u);
    EXPECT_TRUE(HasProperty(bar, kPropMenuItemImages[1], kPropertyInterface));
    EXPECT_FALSE(HasProperty(bar, kPropMenuImage, kPropertyInterface));
  });
  OnLoop([&] { menu = nullptr; });
}

// A status bar across a 200 x 20 frame whose style puts the text, in green and its own font,
// right of x = 100.
constexpr char kStatusPackage[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<?mml version="0.5"?>
<mml><interface unique_name="test/window_types/1.0">
  <windowtype name="Frame" uid="A22BA869-CF90-42F2-AA81-2A5890A49A3E"/>
  <windowtype name="StatusBar" uid="6185AFA7-E1F6-4136-A630-DA9D29CF7EA0"/>
  <fontstyle name="status" face="DejaVu Sans" size="12"/>
  <window name="main" type="Frame" offset="0,0,200,20">
    <window name="status" type="StatusBar" offset="0,0,0,0" alignment="0,0,1,1">
      <property font_color="#FF00FF00" rect_status_offset="100,0,0,0" font_justification="left"
                font_style="status"/>
    </window>
  </window>
</interface></mml>
)";

TEST_F(WindowTypesTest, TheStatusBarDrawsItsTextInTheColourAndPlaceOfItsStyle) {
  ASSERT_NO_FATAL_FAILURE(OpenFrame(kStatusPackage, u"main"));
  void* p = nullptr;
  ASSERT_EQ(frame_->QueryInterface(kIID_MListenerList, &p, 1, 0), kOk);
  auto list = RefPtr<MListenerList>::Adopt(static_cast<MListenerList*>(p));
  OnLoop([&] {
    StatusRecord record;
    record.text = u"WWWWWWWW";
    list->Broadcast(record);
  });
  // Let the record reach the bar and the bar be presented.
  for (int i = 0; i < 10; ++i) {
    OnLoop([] {});
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const std::string path = folder_.Path() + "/status.png";
  int32_t dumped = -1;
  OnLoop([&] {
    MHostWindow* host = nullptr;
    if (frame_->GetHost(&host) != kOk || !host) return;
    auto held = RefPtr<MHostWindow>::Adopt(host);
    dumped = held->DumpPng(path.c_str());
  });
  ASSERT_EQ(dumped, kOk);
  const RgbaImage image = ReadPngImage(path);
  ASSERT_EQ(image.width, 200);
  int32_t greenLeft = 0, greenRight = 0;
  for (int32_t y = 0; y < image.height; ++y) {
    for (int32_t x = 0; x < image.width; ++x) {
      const uint8_t* px = &image.rgba[static_cast<size_t>((y * image.width + x) * 4)];
      const bool green = px[1] > 128 && px[0] < 64 && px[2] < 64;
      if (green) ++(x < 100 ? greenLeft : greenRight);
    }
  }
  EXPECT_EQ(greenLeft, 0);
  EXPECT_GT(greenRight, 10);
}

}  // namespace
}  // namespace vk2::test
