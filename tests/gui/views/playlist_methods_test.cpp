// The playlist view's script methods against the list view part: argument shapes and the
// results, codes and messages they give.
#include <gtest/gtest.h>

#include "component/object/com_object.h"
#include "gui/playlist_view/playlist_methods.h"
#include "oru/gui/listview/list_view_part.h"

namespace vk2::gui {
namespace {

// Arguments as the unpacker sees them: each a single text or an array of texts (an element
// written "[...]" stands for a nested array, which reads as no text).
class Args final : public ScriptArgList {
 public:
  struct Arg {
    bool array = false;
    std::vector<std::u16string> values;
  };
  std::vector<Arg> args;
  static Args Of(std::initializer_list<Arg> list) {
    Args a;
    a.args = list;
    return a;
  }
  uint32_t Count() const override { return static_cast<uint32_t>(args.size()); }
  int32_t ArrayLength(uint32_t i) const override {
    return args[i].array ? static_cast<int32_t>(args[i].values.size()) : kSingleValue;
  }
  TString ItemText(uint32_t i) const override {
    return args[i].array ? TString() : TString(args[i].values[0].c_str());
  }
  TString ElementText(uint32_t i, uint32_t j) const override {
    const std::u16string& v = args[i].values[j];
    return v == u"[...]" ? TString() : TString(v.c_str());
  }
};

Args::Arg Single(const char16_t* text) {
  return {false, {text}};
}
Args::Arg Array(std::initializer_list<const char16_t*> values) {
  Args::Arg arg{true, {}};
  for (const char16_t* v : values)
    arg.values.push_back(v);
  return arg;
}

class Row final : public ComObject<Row, SilentFace<MListViewRow>> {
 public:
  explicit Row(uint32_t id) : id_(id) {}
  bool DrawBackground(MCanvas*, const RectI&, int32_t, uint32_t) override { return false; }
  bool DrawCell(MCanvas*, const RectI&, const TString&, int32_t, uint32_t) override {
    return false;
  }
  int32_t MeasureCell(const TString&, int32_t) override { return 0; }
  uint32_t GetId() override { return id_; }
  void Activate() override {}

 private:
  uint32_t id_;
};

class PlaylistMethodsTest : public ::testing::Test {
 protected:
  PlaylistMethodsTest() {
    void* made = nullptr;
    EXPECT_EQ(ListViewPart::Create(nullptr, kIID_MPlaylistView, &made), 0);
    view_ = RefPtr<MPlaylistView>::Adopt(static_cast<MPlaylistView*>(made));
    std::vector<RefPtr<Row>> rows;
    std::vector<MListViewRow*> raw;
    for (uint32_t id : {5u, 17u, 26u}) {
      rows.emplace_back(new Row(id));
      raw.push_back(rows.back().Get());
    }
    view_->SetRows(raw.data(), 3);
  }
  int32_t Run(PlaylistMethod method, const Args& args) {
    result_ = PlaylistMethodResult();
    return RunPlaylistMethod(method, args, view_.Get(), &result_);
  }
  std::vector<uint32_t> Selection() {
    std::vector<uint32_t> ids(3);
    ids.resize(static_cast<size_t>(view_->GetSelection(ids.data(), 3)));
    return ids;
  }

  RefPtr<MPlaylistView> view_;
  PlaylistMethodResult result_;
};

TEST_F(PlaylistMethodsTest, ArgumentShapesGiveResultsOrCodes) {
  struct Case {
    PlaylistMethod method;
    Args args;
    int32_t code;
  } cases[] = {
      {kGetCurrentItem, Args::Of({}), 0},
      {kGetCurrentItem, Args::Of({Single(u"1")}), -3},
      {kGetSelection, Args::Of({Single(u"1")}), -3},
      {kSetCurrentItem, Args::Of({Single(u"17")}), 0},
      {kSetCurrentItem, Args::Of({Single(u"0x1a")}), 0},
      {kSetCurrentItem, Args::Of({Single(u"99")}), -4},
      {kSetCurrentItem, Args::Of({Single(u"5"), Single(u"6")}), -3},
      {kSetCurrentItem, Args::Of({Single(u"abc")}), -3},
      {kSetSelection, Args::Of({Array({u"5", u"0x11"})}), 0},
      {kSetSelection, Args::Of({Array({})}), 0},
      {kSetSelection, Args::Of({Array({u"5", u"99"})}), -4},
      {kSetSelection, Args::Of({Single(u"5")}), -3},
      {kSetSelection, Args::Of({}), -3},
      {kSetSelection, Args::Of({Array({u"5"}), Array({u"17"})}), -3},
      {kSetSelection, Args::Of({Array({u"5", u"[...]"})}), -3},
      {kSetSelection, Args::Of({Array({u"5x"})}), -3},
      {kSetSelection, Args::Of({Array({u"-5"})}), -3},
      {kScrollToShowItem, Args::Of({Single(u"26")}), 0},
      {kScrollToShowItem, Args::Of({Single(u"27")}), -4},
      {kScrollToItem, Args::Of({Single(u"26"), Single(u"TOP")}), 0},
      {kScrollToItem, Args::Of({Single(u"26"), Single(u"Bottom")}), 0},
      {kScrollToItem, Args::Of({Single(u"26"), Single(u"topmost")}), -3},
      {kScrollToItem, Args::Of({Single(u"26")}), -3},
      {kScrollToItem, Args::Of({Single(u"4"), Single(u"top")}), -4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.method, c.args), c.code) << c.method << " case " << (&c - cases);
    EXPECT_EQ(result_.error.IsEmpty(), c.code != -4) << c.method;
  }
}

TEST_F(PlaylistMethodsTest, CurrentItemAndSelectionRoundTrip) {
  ASSERT_EQ(Run(kSetCurrentItem, Args::Of({Single(u"17")})), 0);
  ASSERT_EQ(Run(kGetCurrentItem, Args::Of({})), 0);
  EXPECT_EQ(Utf8(result_.text), "17");
  ASSERT_EQ(Run(kSetSelection, Args::Of({Array({u"26", u"5"})})), 0);
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{5, 26}));
  ASSERT_EQ(Run(kGetSelection, Args::Of({})), 0);
  EXPECT_TRUE(result_.isArray);
  ASSERT_EQ(result_.members.size(), 2u);
  EXPECT_EQ(Utf8(result_.members[0]), "5");
  EXPECT_EQ(Utf8(result_.members[1]), "26");
  // A refused selection leaves the old one; an empty array clears it.
  EXPECT_EQ(Run(kSetSelection, Args::Of({Array({u"17", u"1000"})})), -4);
  EXPECT_EQ(Utf8(result_.error),
            "Unable to set playlist display's selection - at least one of the IDs specified is "
            "not in the playlist.");
  EXPECT_EQ(Selection(), (std::vector<uint32_t>{5, 26}));
  ASSERT_EQ(Run(kSetSelection, Args::Of({Array({})})), 0);
  EXPECT_TRUE(Selection().empty());
  ASSERT_EQ(Run(kGetSelection, Args::Of({})), 0);
  EXPECT_TRUE(result_.isArray);
  EXPECT_TRUE(result_.members.empty());
}

}  // namespace
}  // namespace vk2::gui
