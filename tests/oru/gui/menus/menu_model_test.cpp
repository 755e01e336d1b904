#include "oru/gui/menus/menu_model.h"

#include <gtest/gtest.h>

#include "foundation/util/result.h"
#include "oru/gui/menus/menu_item.h"

namespace vk2::test {
namespace {

// A submenu stand-in: items only need a window to point at.
class NoMenu final : public ComObject<NoMenu, Face<MMenuWindow, kIID_MMenuWindow>> {
 public:
  int32_t Popup(const PointI*, MWindowElement*, int32_t*) override { return kErrNotSupported; }
  int32_t AddItem(MMenuItem*) override { return 0; }
  int32_t InsertItem(int32_t, MMenuItem*) override { return 0; }
  int32_t ItemCount() override { return 0; }
  int32_t RemoveAll() override { return 0; }
  int32_t GetItem(int32_t, MMenuItem**) override { return kErrNotFound; }
  MWindowElement* Element() override { return nullptr; }
};

RefPtr<MMenuItem> Command(const char16_t* label, int32_t id, uint32_t flags = 0) {
  RefPtr<MMenuItem> item(new MenuItem);
  EXPECT_EQ(item->MakeCommand(label, 0, id, flags, 0), 0);
  return item;
}

RefPtr<MMenuItem> Submenu(const char16_t* label) {
  RefPtr<MMenuItem> item(new MenuItem);
  RefPtr<MMenuWindow> menu(new NoMenu);
  EXPECT_EQ(item->MakeSubmenu(label, menu.Get(), kMenuItemSubmenu, 0), 0);
  return item;
}

TEST(MenuItemTest, ItemsAreSetUpOnceAsCommandSubmenuOrSeparator) {
  auto command = Command(u"&Open", 7, kMenuItemChecked);
  EXPECT_EQ(command->GetKind(), MenuItemKind::kCommand);
  EXPECT_EQ(command->GetId(), 7);
  EXPECT_EQ(command->GetFlags(), kMenuItemChecked);
  EXPECT_EQ(command->MakeCommand(u"again", 0, 8, 0, 0), kErrWrongState);
  MMenuWindow* none = nullptr;
  EXPECT_EQ(command->GetSubmenu(&none), kErrNotFound);
  command->SetFlags(kMenuItemDisabled | kMenuItemSubmenu);  // the kind bits stay
  EXPECT_EQ(command->GetFlags(), kMenuItemDisabled);

  auto submenu = Submenu(u"&Recent");
  EXPECT_EQ(submenu->GetKind(), MenuItemKind::kSubmenu);
  MMenuWindow* window = nullptr;
  ASSERT_EQ(submenu->GetSubmenu(&window), 0);
  window->Release();
  RefPtr<MMenuItem> blank(new MenuItem);
  EXPECT_EQ(blank->MakeSubmenu(u"x", nullptr, 0, 0), kErrMissingArg);

  EXPECT_EQ(Command(u"", 0, kMenuItemSeparator)->GetKind(), MenuItemKind::kSeparator);
  blank->SetTextShadow(1);
  EXPECT_EQ(blank->GetTextShadow(), 1);
}

TEST(MenuItemTest, LabelsDropTheirMnemonicMarks) {
  struct Case {
    const char16_t* label;
    const char16_t* shown;
    char16_t mnemonic;
  };
  const Case cases[] = {
      {u"&File", u"File", u'f'},
      {u"E&xit", u"Exit", u'x'},
      {u"Salt && Pepper", u"Salt & Pepper", 0},
      {u"plain", u"plain", 0},
      {u"trailing&", u"trailing", 0},
  };
  for (const Case& c : cases) {
    const MenuLabel parsed = ParseMenuLabel(c.label);
    EXPECT_EQ(parsed.shown.view(), c.shown);
    EXPECT_EQ(parsed.mnemonic, c.mnemonic);
  }
}

class MenuModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& item :
         {Command(u"&Open", 1), Command(u"", 0, kMenuItemSeparator), Submenu(u"&Recent"),
          Command(u"&Save", 2, kMenuItemDisabled), Command(u"Settings", 3), Command(u"E&xit", 4)}) {
      ASSERT_TRUE(model.Add(item.Get()));
    }
  }
  MenuModel model;
};

TEST_F(MenuModelTest, ArrowKeysSkipSeparatorsAndDisabledItemsAndWrap) {
  const int32_t down[] = {0, 2, 4, 5, 0};
  for (int32_t expected : down) {
    model.Step(1);
    EXPECT_EQ(model.Highlighted(), expected);
  }
  model.Step(-1);
  EXPECT_EQ(model.Highlighted(), 5);
  EXPECT_TRUE(model.Highlight(1));  // a separator takes no highlight: it clears
  EXPECT_EQ(model.Highlighted(), -1);
  model.Step(-1);  // from none, upwards: the last item
  EXPECT_EQ(model.Highlighted(), 5);
  model.Highlight(3);
  EXPECT_EQ(model.Highlighted(), -1);  // disabled
}

TEST_F(MenuModelTest, LettersJumpByMnemonicThenFirstLetter) {
  EXPECT_TRUE(model.JumpTo(u'X'));  // E&xit: only one
  EXPECT_EQ(model.Highlighted(), 5);
  EXPECT_TRUE(model.JumpTo(u'r'));
  EXPECT_EQ(model.Highlighted(), 2);
  EXPECT_TRUE(model.JumpTo(u's'));  // Save is disabled; Settings by its first letter
  EXPECT_EQ(model.Highlighted(), 4);
  EXPECT_FALSE(model.JumpTo(u'q'));
  EXPECT_EQ(model.Highlighted(), 4);
}

TEST_F(MenuModelTest, ChoosingGivesTheCommandOrOpensTheSubmenu) {
  EXPECT_EQ(model.Choose().kind, MenuAction::Kind::kNothing);
  model.Highlight(0);
  EXPECT_EQ(model.Choose().kind, MenuAction::Kind::kCommand);
  EXPECT_EQ(model.Choose().id, 1);
  model.Highlight(2);
  EXPECT_EQ(model.Choose().kind, MenuAction::Kind::kOpenSubmenu);
  EXPECT_EQ(model.Choose().index, 2);
  ASSERT_TRUE(model.Insert(0, Command(u"New", 9).Get()));
  EXPECT_EQ(model.Highlighted(), 3);  // follows its item
  model.RemoveAll();
  EXPECT_EQ(model.Count(), 0);
  EXPECT_EQ(model.Highlighted(), -1);
  EXPECT_FALSE(model.Add(nullptr));
}

TEST_F(MenuModelTest, LayoutStacksADropDownAndLinesUpABar) {
  const auto measure = [](const TString& label) {
    return static_cast<int32_t>(label.Length()) * 10;
  };
  MenuMetrics metrics;
  const std::vector<RectI> down = model.Layout(false, metrics, measure);
  ASSERT_EQ(down.size(), 6u);
  EXPECT_EQ(down[0], (RectI{0, 0, 96, 20}));  // "Settings": 80 + 16 is the widest
  EXPECT_EQ(down[1], (RectI{0, 20, 96, 27}));
  EXPECT_EQ(down[2], (RectI{0, 27, 96, 47}));
  EXPECT_EQ(MenuModel::ItemAt(down, 5, 30), 2);
  EXPECT_EQ(MenuModel::ItemAt(down, 5, 200), -1);

  const std::vector<RectI> bar = model.Layout(true, metrics, measure);
  EXPECT_EQ(bar[0], (RectI{0, 0, 56, 20}));  // "Open"
  EXPECT_EQ(bar[1], (RectI{56, 0, 63, 20}));
  EXPECT_EQ(bar[2], (RectI{63, 0, 139, 20}));
}

}  // namespace
}  // namespace vk2::test
