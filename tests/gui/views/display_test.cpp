// The display's docking layout and transitions, and its pages: shown by name in docking order,
// the history of fill pages with their state texts, toggling, restoring from the entries.
#include <gtest/gtest.h>

#include <map>

#include "gui/display/display_layout.h"
#include "gui/display/display_pages.h"
#include "gui/display/display_state.h"

namespace vk2::gui {
namespace {

using Offsets = std::array<int32_t, 4>;
using Relative = std::array<double, 4>;

PageGeometry Bar(int32_t kind, int32_t size, Offsets border = {}, bool removed = false) {
  PageGeometry g;
  g.kind = kind;
  g.size = size;
  g.border = border;
  g.removed = removed;
  g.current.offsets = {1, 1, 1, 1};  // placed before: it moves, it does not slide in
  return g;
}

TEST(DisplayLayoutTest, BarsTakeStripsAndTheFillPageTheRest) {
  struct Case {
    const char* what;
    std::vector<PageGeometry> pages;
    std::vector<Offsets> offsets;
    std::vector<Relative> relative;
  } cases[] = {
      {"two top bars and a fill page",
       {Bar(kPageTop, 20), Bar(kPageTop, 30), Bar(kPageFill, 0)},
       {{0, 0, 0, 20}, {0, 20, 0, 50}, {0, 50, 0, 0}},
       {{0, 0, 1, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}}},
      {"a right bar",
       {Bar(kPageTop, 10), Bar(kPageRight, 40), Bar(kPageFill, 0)},
       {{0, 0, 0, 10}, {-40, 10, 0, 0}, {0, 10, -40, 0}},
       {{0, 0, 1, 0}, {1, 0, 1, 1}, {0, 0, 1, 1}}},
      {"a border offset",
       {Bar(kPageTop, 20, {0, 5, 0, -5}), Bar(kPageTop, 10)},
       {{0, 5, 0, 25}, {0, 30, 0, 40}},
       {{0, 0, 1, 0}, {0, 0, 1, 0}}},
      {"left and bottom bars",
       {Bar(kPageLeft, 15), Bar(kPageBottom, 25), Bar(kPageFill, 0)},
       {{0, 0, 15, 0}, {15, -25, 0, 0}, {15, 0, 0, -25}},
       {{0, 0, 0, 1}, {0, 1, 1, 1}, {0, 0, 1, 1}}},
  };
  for (const Case& c : cases) {
    const std::vector<PageTransition> out = LayoutPages(c.pages, false);
    ASSERT_EQ(out.size(), c.offsets.size()) << c.what;
    for (size_t i = 0; i < out.size(); ++i) {
      EXPECT_EQ(out[i].target.offsets, c.offsets[i]) << c.what << " page " << i;
      EXPECT_EQ(out[i].target.relative, c.relative[i]) << c.what << " page " << i;
      ASSERT_EQ(out[i].steps.size(), 1u);
      EXPECT_EQ(out[i].steps[0].command, kMoveBoth);
      EXPECT_EQ(out[i].steps[0].durationMs, kTransitionMs);
    }
  }
}

TEST(DisplayLayoutTest, RemovedPagesSlideOutAndGiveUpTheirSpace) {
  const std::vector<PageTransition> out =
      LayoutPages({Bar(kPageTop, 20, {}, true), Bar(kPageTop, 30)}, false);
  EXPECT_EQ(out[0].steps[0].end.offsets, (Offsets{0, -20, 0, 0}));
  EXPECT_EQ(out[1].steps[0].end.offsets, (Offsets{0, 0, 0, 30}));
  // A leaving fill page goes one width left going forward, right going back.
  PageGeometry fill = Bar(kPageFill, 0, {}, true);
  EXPECT_EQ(LayoutPages({fill}, false)[0].steps[0].end.relative, (Relative{-1, 0, 0, 1}));
  EXPECT_EQ(LayoutPages({fill}, true)[0].steps[0].end.relative, (Relative{1, 0, 2, 1}));
}

TEST(DisplayLayoutTest, NewPagesSlideInFromBeyondTheirEdge) {
  PageGeometry top = Bar(kPageTop, 20);
  top.current = {};
  PageGeometry fill = Bar(kPageFill, 0);
  fill.current = {};
  const std::vector<PageTransition> out = LayoutPages({top, fill}, false);
  ASSERT_EQ(out[0].steps.size(), 2u);
  EXPECT_EQ(out[0].steps[0].durationMs, 0);
  EXPECT_EQ(out[0].steps[0].end.offsets, (Offsets{0, -20, 0, 0}));
  EXPECT_EQ(out[0].steps[1].command, kMoveOffsets);
  EXPECT_EQ(out[0].steps[1].end.offsets, (Offsets{0, 0, 0, 20}));
  ASSERT_EQ(out[1].steps.size(), 2u);
  EXPECT_EQ(out[1].steps[0].end.relative, (Relative{1, 0, 2, 1}));  // from the right
  EXPECT_EQ(out[1].steps[0].end.offsets, (Offsets{0, 20, 0, 0}));
  EXPECT_EQ(out[1].steps[1].command, kMoveRelative);
  EXPECT_EQ(out[1].steps[1].end.relative, (Relative{0, 0, 1, 1}));
  // Going back, a new fill page comes from the left.
  EXPECT_EQ(LayoutPages({fill}, true)[0].steps[0].end.relative, (Relative{-1, 0, 0, 1}));
  // A page that is no window takes its strip but gets no steps.
  PageGeometry none = Bar(kPageTop, 20);
  none.isWindow = false;
  const std::vector<PageTransition> skipped = LayoutPages({none, Bar(kPageTop, 5)}, false);
  EXPECT_TRUE(skipped[0].steps.empty());
  EXPECT_EQ(skipped[1].target.offsets, (Offsets{0, 20, 0, 25}));
}

TEST(DisplayLayoutTest, LinearDecelSlowsToTheEnd) {
  EXPECT_EQ(LinearDecel(0, 100, 0.0), 0);
  EXPECT_EQ(LinearDecel(0, 100, 0.5), 75);
  EXPECT_EQ(LinearDecel(0, 100, 1.0), 100);
  EXPECT_EQ(LinearDecel(100, 0, 0.5), 26);  // -75 + 0.5 truncates toward zero
  EXPECT_EQ(LinearDecel(-20, 0, 0.1), -16);
}

// A page that keeps what the display did to it; its window reaches each step's end at once.
class FakePage final : public DisplayPage {
 public:
  FakePage(std::string name, int32_t kind, int32_t size, bool accepts, std::string state)
      : name(std::move(name)), kind(kind), size(size), accepts(accepts), state(std::move(state)) {}
  int32_t Kind() override { return kind; }
  int32_t Size() override { return size; }
  Offsets BorderOffset() override { return {}; }
  TString State() override { return Utf16(state); }
  bool Attach(const TString& argument) override {
    attachedWith = Utf8(argument).c_str();
    return accepts;
  }
  bool IsWindow() override { return true; }
  bool IsShown() override { return placed; }
  bool Place() override { return placed = true; }
  Placement Current() override { return current; }
  void Intro(int32_t) override { ++intros; }
  void Move(const TransitionStep& step) override {
    steps.push_back(step);
    current = step.end;
  }
  void Close(int32_t fadeMs) override { closedAfter = fadeMs; }

  std::string name;
  int32_t kind;
  int32_t size;
  bool accepts;
  std::string state;
  std::string attachedWith;
  bool placed = false;
  Placement current;
  int intros = 0;
  std::vector<TransitionStep> steps;
  int32_t closedAfter = -1;
};

class DisplayPagesTest : public ::testing::Test {
 protected:
  DisplayPagesTest() { pages_ = Make(); }
  std::unique_ptr<DisplayPages> Make() {
    auto pages = std::make_unique<DisplayPages>(
        [this](const TString& name) -> std::shared_ptr<DisplayPage> {
          const std::string key = Utf8(name).c_str();
          auto found = kinds_.find(key);
          if (found == kinds_.end()) return nullptr;
          auto page = std::make_shared<FakePage>(key, found->second.first, found->second.second,
                                                 key != "Refuses", key + "-state");
          made_.push_back(page);
          return page;
        },
        [this](const TString& text) { console_.push_back(Utf8(text).c_str()); },
        [] { return 700; });
    pages->SetDevTest(devTest_, u"D30D93AA-EE5E-4D4C-8478-58044ABC45EC");
    return pages;
  }
  std::vector<std::string> Shown() {
    std::vector<std::string> names;
    for (const TString& name : pages_->Entries()->shown)
      names.push_back(Utf8(name).c_str());
    return names;
  }
  std::vector<std::string> History() {
    std::vector<std::string> entries;
    for (const HistoryEntry& entry : pages_->Entries()->history)
      entries.push_back(std::string(Utf8(entry.name).c_str()) + "(" + Utf8(entry.argument).c_str() +
                        ")");
    return entries;
  }
  std::shared_ptr<FakePage> Last(const std::string& name) {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      if ((*it)->name == name) return *it;
    }
    return nullptr;
  }

  std::map<std::string, std::pair<int32_t, int32_t>> kinds_{
      {"A", {kPageFill, 0}},
      {"VK2_Playlist", {kPageFill, 0}},
      {"VK2_PlayBar", {kPageTop, 20}},
      {"VK2_NavigationBar", {kPageTop, 30}},
      {"Side", {kPageLeft, 50}},
      {"Right", {kPageRight, 40}},
      {"Bottom", {kPageBottom, 10}},
      {"Refuses", {kPageFill, 0}},
      {"D30D93AA-EE5E-4D4C-8478-58044ABC45EC", {kPageFill, 0}},
  };
  bool devTest_ = false;
  std::vector<std::shared_ptr<FakePage>> made_;
  std::vector<std::string> console_;
  std::unique_ptr<DisplayPages> pages_;
};

TEST_F(DisplayPagesTest, AFillPageReplacesTheOldOneAndTheHistoryWalksBack) {
  ASSERT_TRUE(pages_->ShowPage(u"A", kShowForward, TString(), true));
  auto a = Last("A");
  ASSERT_TRUE(pages_->ShowPage(u"VK2_Playlist", kShowForward, TString(), true));
  EXPECT_EQ(a->closedAfter, 700);
  EXPECT_EQ(a->steps.back().end.relative, (Relative{-1, 0, 0, 1}));  // out to the left
  EXPECT_EQ(Shown(), (std::vector<std::string>{"VK2_Playlist"}));
  EXPECT_EQ(History(), (std::vector<std::string>{"A(A-state)", "VK2_Playlist()"}));
  EXPECT_EQ(pages_->Entries()->current, 2u);

  auto playlist = Last("VK2_Playlist");
  ASSERT_TRUE(pages_->StepHistory(-1));
  auto back = Last("A");
  EXPECT_NE(back, a);
  EXPECT_EQ(back->attachedWith, "A-state");
  EXPECT_EQ(back->steps.front().end.relative, (Relative{-1, 0, 0, 1}));    // in from the left
  EXPECT_EQ(playlist->steps.back().end.relative, (Relative{1, 0, 2, 1}));  // out to the right
  EXPECT_EQ(History(),
            (std::vector<std::string>{"A(A-state)", "VK2_Playlist(VK2_Playlist-state)"}));
  EXPECT_EQ(pages_->Entries()->current, 1u);

  ASSERT_TRUE(pages_->StepHistory(1));
  EXPECT_EQ(Last("VK2_Playlist")->attachedWith, "VK2_Playlist-state");
  EXPECT_EQ(pages_->Entries()->current, 2u);
  // Beyond either end, or no step: nothing changes.
  for (int32_t step : {0, 1, -5, 3}) {
    EXPECT_FALSE(pages_->StepHistory(step)) << step;
    EXPECT_EQ(pages_->Entries()->current, 2u);
  }
  // After a step back, a new page drops the entries ahead.
  ASSERT_TRUE(pages_->StepHistory(-1));
  ASSERT_TRUE(pages_->ShowPage(u"VK2_Playlist", kShowForward, TString(), true));
  EXPECT_EQ(History(), (std::vector<std::string>{"A(A-state)", "VK2_Playlist()"}));
}

TEST_F(DisplayPagesTest, BarsDockInOrderInFrontOfTheFillPage) {
  for (const char16_t* name :
       {u"A", u"VK2_PlayBar", u"Bottom", u"Side", u"VK2_NavigationBar", u"Right", u"Side"}) {
    ASSERT_TRUE(pages_->ShowPage(name, kShowForward, TString(), true));
  }
  EXPECT_EQ(Shown(), (std::vector<std::string>{"VK2_PlayBar", "VK2_NavigationBar", "Side", "Side",
                                               "Right", "Bottom", "A"}));
  // The fill page ends up in what the bars leave.
  EXPECT_EQ(Last("A")->current.offsets, (Offsets{100, 50, -40, -10}));
  EXPECT_EQ(Last("VK2_NavigationBar")->current.offsets, (Offsets{0, 20, 0, 50}));
}

TEST_F(DisplayPagesTest, ToggleRemovesEveryShownPageOfThatExactName) {
  pages_->ShowPage(u"VK2_PlayBar", kShowForward, TString(), true);
  pages_->ShowPage(u"VK2_PlayBar", kShowForward, TString(), true);
  pages_->ShowPage(u"A", kShowForward, TString(), true);
  EXPECT_EQ(Shown(), (std::vector<std::string>{"VK2_PlayBar", "VK2_PlayBar", "A"}));
  // Names match exactly: another spelling asks for a new page, which does not exist.
  EXPECT_FALSE(pages_->TogglePage(u"vk2_playbar"));
  EXPECT_EQ(console_, (std::vector<std::string>{"Unable to locate display \"vk2_playbar\".\n"}));
  ASSERT_TRUE(pages_->TogglePage(u"VK2_PlayBar"));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"A"}));
  EXPECT_EQ(Last("A")->current.offsets, (Offsets{0, 0, 0, 0}));
  ASSERT_TRUE(pages_->TogglePage(u"VK2_PlayBar"));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"VK2_PlayBar", "A"}));
  // Bars are not history.
  EXPECT_EQ(History(), (std::vector<std::string>{"A()"}));
}

TEST_F(DisplayPagesTest, RefusedAndUnknownPagesChangeNothing) {
  pages_->ShowPage(u"A", kShowForward, TString(), true);
  EXPECT_FALSE(pages_->ShowPage(u"Refuses", kShowForward, TString(), true));
  EXPECT_FALSE(pages_->ShowPage(u"Nowhere", kShowForward, TString(), true));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"A"}));
  EXPECT_EQ(History(), (std::vector<std::string>{"A()"}));
  EXPECT_EQ(Last("A")->closedAfter, -1);
  EXPECT_EQ(console_.size(), 1u);  // only the unknown name is reported
}

TEST_F(DisplayPagesTest, DevTestModeShowsTheConsoleForTheNavigationBar) {
  devTest_ = true;
  pages_ = Make();
  ASSERT_TRUE(pages_->ShowPage(u"VK2_NavigationBar", kShowForward, TString(), true));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"D30D93AA-EE5E-4D4C-8478-58044ABC45EC"}));
}

TEST_F(DisplayPagesTest, AReopenedDisplayShowsTheSamePagesAndSlidesThemInWhenCreated) {
  pages_->ShowInitial({u"VK2_PlayBar", u"A", u"Missing", u"Bottom"});
  EXPECT_EQ(console_.size(), 1u);
  // Shown instantly: nothing placed or moved until the window is created.
  EXPECT_TRUE(Last("A")->steps.empty());
  pages_->Created();
  EXPECT_EQ(Last("VK2_PlayBar")->steps.size(), 2u);  // slides in
  EXPECT_EQ(Last("A")->current.offsets, (Offsets{0, 20, 0, -10}));
  RefPtr<DisplayEntries> entries(pages_->Entries());
  pages_->ReleaseAll();

  auto reopened = Make();
  reopened->SetEntries(entries);
  reopened->RestoreShown();
  EXPECT_EQ(Shown(), (std::vector<std::string>{"VK2_PlayBar", "Bottom", "A"}));
  reopened->Created();
  EXPECT_EQ(Last("A")->current.offsets, (Offsets{0, 20, 0, -10}));
  // The restored fill page is recorded again after the current entry.
  EXPECT_EQ(History(), (std::vector<std::string>{"A()", "A()"}));
}

}  // namespace
}  // namespace vk2::gui

namespace vk2::gui {
namespace {

TEST(DisplayStateTest, NamesAreQuotedAndCommaSeparated) {
  struct Case {
    const char16_t* text;
    std::vector<std::string> names;
  } cases[] = {
      {u"\"02908D92-3B57-422C-B14A-31BC8379F04F\",\"VK2_NavigationBar\",\"VK2_PlayBar\","
       u"\"VK2_StatusBar\"",
       {"02908D92-3B57-422C-B14A-31BC8379F04F", "VK2_NavigationBar", "VK2_PlayBar",
        "VK2_StatusBar"}},
      {u" A , \"B, with comma\" ,C", {"A", "B, with comma", "C"}},
      {u"", {}},
      {u"Single", {"Single"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> names;
    for (const TString& name : DisplayStateNames(c.text))
      names.push_back(Utf8(name).c_str());
    EXPECT_EQ(names, c.names) << Utf8(TString(c.text)).c_str();
  }
}

}  // namespace
}  // namespace vk2::gui
