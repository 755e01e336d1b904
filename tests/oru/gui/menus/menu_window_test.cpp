// Menu windows on the headless backend: drop-downs on hosts of their own with a shadow, the
// keyboard and the pointer through items and submenus, a press outside, a menu bar in a
// window tree, and the modal popup.
#include <gtest/gtest.h>

#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/gui/controls.h"
#include "interfaces/markup/window_definition.h"
#include "oru/gui/menus/menu_item.h"
#include "oru/gui/menus/menu_window.h"
#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

RefPtr<MMenuItem> Command(const char16_t* label, int32_t id, uint32_t flags = 0) {
  RefPtr<MMenuItem> item(new MenuItem);
  EXPECT_EQ(item->MakeCommand(label, 0, id, flags, 0), 0);
  return item;
}

RefPtr<MMenuItem> Submenu(const char16_t* label, MMenuWindow* menu) {
  RefPtr<MMenuItem> item(new MenuItem);
  EXPECT_EQ(item->MakeSubmenu(label, menu, kMenuItemSubmenu, 0), 0);
  return item;
}

// An image that fills its rectangle with one colour, another when drawn lit.
class TwoToneImage final : public ComObject<TwoToneImage, SilentFace<MImageStyleDrawing>> {
 public:
  TwoToneImage(uint32_t normal, uint32_t lit) : normal_(normal), lit_(lit) {}
  int32_t Draw(const RectI& rect, MCanvas* canvas, uint32_t state, double,
               const VisualParameters&) override {
    canvas->FillRect(
        RectF{double(rect.left), double(rect.top), double(rect.right), double(rect.bottom)},
        state == kStyleStateHover ? lit_ : normal_, 0xF, 256, false);
    return 1;
  }
  int32_t CountStyles(uint32_t) override { return 1; }

 private:
  uint32_t normal_, lit_;
};

void SetImage(MWindowElement* element, const char16_t* name, MImageStyleDrawing* image) {
  PropertyValue value;
  value.type = kPropertyInterface;
  value.object = static_cast<MUnknown*>(image);
  element->SetProperty(name, kPropertyInterface, &value);
}

void SetInteger(MWindowElement* element, const char16_t* name, uint32_t number) {
  PropertyValue value;
  value.type = kPropertyInteger;
  value.integer = static_cast<int32_t>(number);
  element->SetProperty(name, kPropertyInteger, &value);
}

class MenuWindowTest : public GuiTest {
 protected:
  MenuWindowTest() {
    owner_ = RecordingPart::Make(0xFF202020);
    ownerHost_ = MakeHost(owner_.Get(), RectI{0, 0, 300, 200});
    // Open, a separator, a disabled item, Recent > (Alpha, Beta), Quit.
    recent_ = MenuWindowObject::Make();
    recent_->AddItem(Command(u"&Alpha", 10).Get());
    recent_->AddItem(Command(u"&Beta", 11).Get());
    file_ = MenuWindowObject::Make();
    file_->AddItem(Command(u"&Open", 1).Get());
    file_->AddItem(Command(u"", 0, kMenuItemSeparator).Get());
    file_->AddItem(Command(u"&Gone", 3, kMenuItemDisabled).Get());
    file_->AddItem(Submenu(u"&Recent", recent_.Get()).Get());
    file_->AddItem(Command(u"&Quit", 4).Get());
  }
  ~MenuWindowTest() override {
    file_->Part()->CloseLevel();
    recent_->Part()->CloseLevel();
  }
  uint32_t PopupOf(MenuWindowObject* menu) {
    HostWindowObject* host = menu->Part()->PopupHost();
    return host ? host->BackendWindow() : 0;
  }
  void Key(MenuWindowObject* menu, int32_t key) {
    backend_->Key(PopupOf(menu), key);
    Turn();
  }
  std::vector<uintptr_t> Commands() const {
    std::vector<uintptr_t> ids;
    for (const auto& note : owner_->notes) {
      if (note.code == kNotifyMenuCommand) ids.push_back(note.argument);
    }
    return ids;
  }

  RefPtr<RecordingPart> owner_;
  RefPtr<HostWindowObject> ownerHost_;
  RefPtr<MenuWindowObject> file_;
  RefPtr<MenuWindowObject> recent_;
};

TEST_F(MenuWindowTest, DropDownShowsItsItemsWithAShadowAndTheKeyboardWalksThem) {
  ASSERT_TRUE(file_->Part()->OpenAt(PointI{100, 50}, nullptr, owner_->Self()));
  Turn();
  HostWindowObject* popup = file_->Part()->PopupHost();
  ASSERT_NE(popup, nullptr);
  const RectI rect = popup->ScreenRect();
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.top, 50);
  EXPECT_EQ(rect.Height(), 4 * 20 + 7 + kMenuShadow);  // four items and a separator
  EXPECT_GE(rect.Width(), 80 + kMenuShadow);
  EXPECT_EQ(PixelAt(popup, rect.Width() - kMenuShadow - 3, 10), kMenuBackground);
  EXPECT_EQ(PixelAt(popup, rect.Width() - 1, rect.Height() - 1) >> 24, kMenuShadowColor >> 24);
  EXPECT_EQ(PixelAt(popup, rect.Width() - 1, 0) >> 24, 0u);  // the shadow is offset

  Key(file_.Get(), kKeyDown);  // Open
  Key(file_.Get(), kKeyDown);  // past the separator and the disabled item: Recent
  EXPECT_EQ(file_->Model().Highlighted(), 3);
  Step(16);
  EXPECT_EQ(PixelAt(popup, 2, 20 + 7 + 20 + 5), kMenuHighlight);
  Key(file_.Get(), kKeyRight);  // opens Recent beside its item
  ASSERT_NE(recent_->Part()->PopupHost(), nullptr);
  EXPECT_EQ(recent_->Part()->PopupHost()->ScreenRect().left,
            rect.left + rect.Width() - kMenuShadow);
  EXPECT_EQ(recent_->Part()->PopupHost()->ScreenRect().top, 50 + 47);
  Key(file_.Get(), kKeyEscape);  // keys go to the deepest menu: Recent closes
  EXPECT_EQ(recent_->Part()->PopupHost(), nullptr);
  EXPECT_NE(file_->Part()->PopupHost(), nullptr);
  Key(file_.Get(), kKeyRight);
  Key(file_.Get(), 'b');  // the only item with that letter: chosen at once
  EXPECT_EQ(Commands(), (std::vector<uintptr_t>{11}));
  EXPECT_EQ(file_->Part()->PopupHost(), nullptr);  // a command closes the whole chain
  EXPECT_EQ(recent_->Part()->PopupHost(), nullptr);
}

TEST_F(MenuWindowTest, ADropDownTakesTheLookItsPropertiesGiveAndFadesIn) {
  constexpr uint32_t kBack = 0xFF102030, kGreen = 0xFF00FF00, kRed = 0xFFFF0000, kBlue = 0xFF0000FF;
  MWindowElement* element = file_->Element();
  RefPtr<TwoToneImage> back(new TwoToneImage(kBack, kBack));
  RefPtr<TwoToneImage> first(new TwoToneImage(kGreen, kRed));
  SetImage(element, kPropMenuImage, back.Get());
  SetImage(element, kPropMenuItemImages[1], first.Get());
  SetInteger(element, kPropMenuHighlight, kBlue);
  SetInteger(element, kPropFadeDuration, 100);
  ASSERT_TRUE(file_->Part()->OpenAt(PointI{100, 50}, nullptr, owner_->Self()));
  Turn();
  const auto opacity = [&] {
    int32_t value = -1;
    element->GetValue(kValueOpacity, &value, sizeof(value));
    return value;
  };
  // It comes in from clear over the fade.
  EXPECT_LT(opacity(), 64);
  Step(50);
  EXPECT_GT(opacity(), 64);
  EXPECT_LT(opacity(), 256);
  Step(60);
  EXPECT_EQ(opacity(), 256);

  HostWindowObject* popup = file_->Part()->PopupHost();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(PixelAt(popup, 2, 10), kGreen);     // the first item's image
  EXPECT_EQ(PixelAt(popup, 2, 20 + 1), kBack);  // the separator's row: the background
  Key(file_.Get(), kKeyDown);                   // Open, the first, lit
  Step(16);
  EXPECT_EQ(PixelAt(popup, 2, 10), kRed);
  Key(file_.Get(), kKeyDown);  // Recent: a middle item without an image takes the fill
  Step(16);
  EXPECT_EQ(PixelAt(popup, 2, 20 + 7 + 20 + 5), kBlue);
}

TEST_F(MenuWindowTest, PointerHighlightsOpensSubmenusChoosesAndAPressOutsideCloses) {
  ASSERT_TRUE(file_->Part()->OpenAt(PointI{100, 50}, nullptr, owner_->Self()));
  Turn();
  const uint32_t popup = PopupOf(file_.Get());
  backend_->MoveTo(popup, 20, 20 + 7 + 20 + 10);  // resting on Recent opens it
  Turn();
  ASSERT_NE(recent_->Part()->PopupHost(), nullptr);
  backend_->MoveTo(popup, 20, 10);  // on Open: Recent closes
  Turn();
  EXPECT_EQ(recent_->Part()->PopupHost(), nullptr);
  backend_->Click(popup, 20, 30);  // the separator does nothing
  Turn();
  EXPECT_NE(file_->Part()->PopupHost(), nullptr);
  backend_->Click(popup, 20, 20 + 7 + 5);  // the disabled item neither
  Turn();
  EXPECT_NE(file_->Part()->PopupHost(), nullptr);
  backend_->Click(popup, 20, 20 + 7 + 40 + 10);  // Quit
  Turn();
  EXPECT_EQ(Commands(), (std::vector<uintptr_t>{4}));
  EXPECT_EQ(file_->Part()->PopupHost(), nullptr);

  ASSERT_TRUE(file_->Part()->OpenAt(PointI{100, 50}, nullptr, owner_->Self()));
  Turn();
  backend_->Click(ownerHost_->BackendWindow(), 10, 10);  // elsewhere
  Turn();
  EXPECT_EQ(file_->Part()->PopupHost(), nullptr);
  EXPECT_EQ(Commands().size(), 1u);
}

TEST_F(MenuWindowTest, MenuBarInAWindowOpensItsDropDownsUnderTheItems) {
  RefPtr<MenuWindowObject> bar = MenuWindowObject::Make();
  bar->AddItem(Submenu(u"&File", file_.Get()).Get());
  bar->AddItem(Command(u"&Help", 99).Get());
  WindowPart* barPart = bar->Part();
  barPart->SetLocation(PointI{0, 0});
  barPart->SetSize(SizeI{300, 20});
  ASSERT_EQ(owner_->AttachChild(bar->Element(), kPlaceModeTop), 0);
  Turn();
  const uint32_t window = ownerHost_->BackendWindow();
  backend_->Click(window, 5, 10);  // File
  Turn();
  HostWindowObject* popup = file_->Part()->PopupHost();
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup->ScreenRect().left, 0);
  EXPECT_EQ(popup->ScreenRect().top, 20);           // under the bar
  backend_->Click(popup->BackendWindow(), 20, 10);  // Open
  Turn();
  EXPECT_EQ(Commands(), (std::vector<uintptr_t>{1}));  // the bar's window hears of it
  EXPECT_EQ(file_->Part()->PopupHost(), nullptr);
  const int32_t helpX = bar->Part()->Layout()[1].left + 5;
  backend_->Click(window, helpX, 10);
  Turn();
  EXPECT_EQ(Commands(), (std::vector<uintptr_t>{1, 99}));
  bar->Element()->DestroyWindow();
  Turn();
}

TEST_F(MenuWindowTest, MenuBarKeyboardWalksTitlesOpensDropDownsAndGivesTheKeysBack) {
  RefPtr<MenuWindowObject> edit = MenuWindowObject::Make();
  edit->AddItem(Command(u"Cu&t", 20).Get());
  edit->AddItem(Command(u"&Copy", 21).Get());
  RefPtr<MenuWindowObject> bar = MenuWindowObject::Make();
  bar->AddItem(Submenu(u"&File", file_.Get()).Get());
  bar->AddItem(Submenu(u"&Edit", edit.Get()).Get());
  bar->AddItem(Command(u"&Help", 99).Get());
  WindowPart* barPart = bar->Part();
  barPart->SetSize(SizeI{300, 20});
  ASSERT_EQ(owner_->AttachChild(bar->Element(), kPlaceModeTop), 0);
  // A field below the bar holds the keyboard until the bar is used.
  RefPtr<RecordingPart> field = RecordingPart::Make(0xFFFFFFFF);
  field->hitCode = kHitActive | kHitInputFocus;
  field->SetLocation(PointI{0, 100});
  field->SetSize(SizeI{300, 50});
  ASSERT_EQ(owner_->AttachChild(field->Self(), kPlaceModeTop), 0);
  Turn();
  const uint32_t window = ownerHost_->BackendWindow();
  backend_->Click(window, 20, 120);
  Turn();
  ASSERT_EQ(ownerHost_->FocusPart(), field.Get());
  auto key = [&](int32_t code) {
    backend_->Key(window, code);
    Turn();
  };
  const auto lit = [](MenuWindowObject* menu) { return menu->Model().Highlighted(); };

  backend_->Click(window, 5, 10);  // File opens; the bar takes the keyboard
  Turn();
  ASSERT_TRUE(file_->Part()->IsOpen());
  EXPECT_EQ(ownerHost_->FocusPart(), barPart);
  key(kKeyRight);  // nothing lit in File: Right goes to the next title's drop-down
  EXPECT_FALSE(file_->Part()->IsOpen());
  ASSERT_TRUE(edit->Part()->IsOpen());
  EXPECT_EQ(lit(edit.Get()), 0);  // opened from the keyboard: its first item lit
  EXPECT_EQ(lit(bar.Get()), 1);
  key(kKeyLeft);
  EXPECT_FALSE(edit->Part()->IsOpen());
  ASSERT_TRUE(file_->Part()->IsOpen());
  EXPECT_EQ(lit(file_.Get()), 0);
  key(kKeyLeft);  // wraps past the first title to the last; Help is a command: none opens
  EXPECT_FALSE(file_->Part()->IsOpen());
  EXPECT_EQ(lit(bar.Get()), 2);
  key(kKeyRight);
  EXPECT_EQ(lit(bar.Get()), 0);
  key(kKeyDown);
  ASSERT_TRUE(file_->Part()->IsOpen());
  key(kKeyEscape);  // closes the drop-down, the title stays lit
  EXPECT_FALSE(file_->Part()->IsOpen());
  EXPECT_EQ(lit(bar.Get()), 0);
  EXPECT_EQ(ownerHost_->FocusPart(), barPart);
  key('e');  // a letter jumps to its title and opens it
  ASSERT_TRUE(edit->Part()->IsOpen());
  key(kKeyDown);
  key(kKeyEnter);  // Copy: the chain closes and the field has the keyboard again
  EXPECT_EQ(Commands(), (std::vector<uintptr_t>{21}));
  EXPECT_FALSE(edit->Part()->IsOpen());
  EXPECT_EQ(lit(bar.Get()), -1);
  EXPECT_EQ(ownerHost_->FocusPart(), field.Get());

  // A press beside the titles gives the bar the keyboard; Escape gives it back.
  backend_->Click(window, 290, 10);
  Turn();
  EXPECT_EQ(ownerHost_->FocusPart(), barPart);
  key(kKeyLeft);  // from none: the last title
  EXPECT_EQ(lit(bar.Get()), 2);
  key(kKeyEscape);
  EXPECT_EQ(lit(bar.Get()), -1);
  EXPECT_EQ(ownerHost_->FocusPart(), field.Get());
  // A letter on a command title runs it.
  backend_->Click(window, 290, 10);
  Turn();
  key('h');
  EXPECT_EQ(Commands(), (std::vector<uintptr_t>{21, 99}));
  EXPECT_EQ(ownerHost_->FocusPart(), field.Get());
  bar->Element()->DestroyWindow();
  Turn();
}

TEST_F(MenuWindowTest, PopupWaitsServingTheLoopUntilAnItemIsChosen) {
  // Posted before: it runs inside the popup's own loop, as a person's keys would arrive.
  loop_->Post([this] {
    backend_->Key(PopupOf(file_.Get()), kKeyUp);  // from nothing, Up takes the last: Quit
    backend_->Key(PopupOf(file_.Get()), kKeyEnter);
  });
  int32_t chosen = 0;
  const PointI at{40, 40};
  ASSERT_EQ(file_->Popup(&at, owner_->Self(), &chosen), 0);
  EXPECT_EQ(chosen, 4);
  EXPECT_EQ(Commands(), (std::vector<uintptr_t>{4}));

  loop_->Post([this] { backend_->Key(PopupOf(file_.Get()), kKeyEscape); });
  ASSERT_EQ(file_->Popup(&at, owner_->Self(), &chosen), 0);
  EXPECT_EQ(chosen, -1);
  EXPECT_EQ(file_->Popup(nullptr, owner_->Self(), &chosen), kErrMissingArg);
}

}  // namespace
}  // namespace vk2::gui::test
