// Random operations on a playlist and on a plain reference model side by side. After every step
// the playlist must agree with the model (order, indices, revisions, change queries, shuffle
// order, held items), and the change lists its listener received, replayed onto a copy of the
// list as it was, must give the list as it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <random>
#include <set>

#include "playlist_support.h"

namespace vk2::test {
namespace {

constexpr uint32_t kSteps = 250;
constexpr uint32_t kFreshIdBase = 0x40000000;

struct ModelItem {
  TString url;
  TString title;  // empty: none
  uint32_t revision = 0;
  int holds = 0;  // callers' holds
};

// The reference: a vector in list order and the items by id.
struct Model {
  std::vector<uint32_t> order;
  std::map<uint32_t, ModelItem> items;  // live and removed-but-held
  std::set<uint32_t> removedHeld;
  uint32_t revision = 0;
  uint32_t orderRevision = 0;

  bool Live(uint32_t id) const { return items.count(id) && !removedHeld.count(id); }
  size_t IndexOf(uint32_t id) const {
    return std::find(order.begin(), order.end(), id) - order.begin();
  }
  uint32_t Bump(bool orderChanged) {
    ++revision;
    if (orderChanged) orderRevision = revision;
    return revision;
  }
  void Leave(uint32_t id) {
    order.erase(order.begin() + IndexOf(id));
    if (items[id].holds > 0) {
      removedHeld.insert(id);
    } else {
      items.erase(id);
    }
  }
  // What a sort by title puts first: the title, or the URL's file name.
  std::u16string SortKey(uint32_t id) const {
    const ModelItem& item = items.at(id);
    std::u16string text(item.title.IsEmpty() ? item.url.view() : item.title.view());
    if (item.title.IsEmpty()) text = text.substr(text.find_last_of(u'/') + 1);
    for (char16_t& c : text)
      if (c >= u'A' && c <= u'Z') c = c - u'A' + u'a';
    return text;
  }
};

// Replays delivered change lists onto a copy of the order.
void Replay(std::vector<uint32_t>& copy, const SeenList& list) {
  auto insertAfter = [&copy](uint32_t after, const std::vector<uint32_t>& ids) {
    size_t at = 0;
    if (after == kPlaylistBottom) {
      at = copy.size();
    } else if (after != kPlaylistTop) {
      auto it = std::find(copy.begin(), copy.end(), after);
      ASSERT_NE(it, copy.end()) << "a record names an id the copy does not have: " << after;
      at = it - copy.begin() + 1;
    }
    copy.insert(copy.begin() + at, ids.begin(), ids.end());
  };
  auto erase = [&copy](const std::vector<uint32_t>& ids) {
    for (uint32_t id : ids) {
      auto it = std::find(copy.begin(), copy.end(), id);
      ASSERT_NE(it, copy.end()) << "a record removes an id the copy does not have: " << id;
      copy.erase(it);
    }
  };
  for (const SeenChange& change : list) {
    switch (change.type) {
      case PlaylistChangeType::kItemsAdded:
        insertAfter(change.idAfter, change.ids);
        break;
      case PlaylistChangeType::kItemsRemoved:
        erase(change.ids);
        break;
      case PlaylistChangeType::kItemsMoved:
        erase(change.ids);
        insertAfter(change.idAfter, change.ids);
        break;
      case PlaylistChangeType::kAllItemsRemoved:
        copy.clear();
        break;
      case PlaylistChangeType::kAllItemsMoved: {
        std::vector<uint32_t> a = copy, b = change.ids;
        std::sort(a.begin(), a.end());
        std::sort(b.begin(), b.end());
        ASSERT_EQ(a, b) << "a new order that is not a permutation of the list";
        copy = change.ids;
        break;
      }
      case PlaylistChangeType::kItemsUpdated:
        for (uint32_t id : change.ids)
          ASSERT_NE(std::find(copy.begin(), copy.end(), id), copy.end()) << id;
        break;
      default:
        FAIL() << "unexpected record type " << static_cast<uint32_t>(change.type);
    }
  }
}

class PlaylistModel {
 public:
  explicit PlaylistModel(uint32_t seed) : random_(seed) {
    playlist_ = MakePlaylist(clock_);
    EXPECT_EQ(playlist_->AddRemoveListener(&detailed_, 1, 1), 0);
    EXPECT_EQ(playlist_->AddRemoveListener(&bare_, 1, 0), 0);
  }
  ~PlaylistModel() {
    playlist_->AddRemoveListener(&detailed_, 0, 0);
    playlist_->AddRemoveListener(&bare_, 0, 0);
    playlist_->Shutdown();
  }

  void Step() {
    const uint32_t before = model_.revision;
    changed_ = false;
    const int batch = Pick(10) == 0 ? 2 + Pick(3) : 1;
    uint32_t token = 0;
    if (batch > 1) {
      ASSERT_EQ(playlist_->Lock(&token), 0);
    }
    for (int i = 0; i < batch; ++i) {
      RandomOperation();
      if (testing::Test::HasFatalFailure()) return;
    }
    if (batch > 1) {
      ASSERT_EQ(playlist_->Unlock(token), 0);
    }
    if (changed_) ++expectedLists_;
    CheckState(before);
    if (testing::Test::HasFatalFailure()) return;
    CheckDeliveries();
  }

 private:
  uint32_t Pick(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(random_); }
  bool Chance(uint32_t percent) { return Pick(100) < percent; }
  uint32_t AnyLive() { return model_.order[Pick(static_cast<uint32_t>(model_.order.size()))]; }
  uint32_t UnknownId() { return 0x7FFF0000 + Pick(1000); }

  std::vector<uint32_t> SomeLive(uint32_t most) {
    std::vector<uint32_t> ids = model_.order;
    std::shuffle(ids.begin(), ids.end(), random_);
    ids.resize(std::min<size_t>(ids.size(), 1 + Pick(most)));
    return ids;
  }

  int32_t Code(PlaylistError e) const { return playlist_->Code(e); }

  void RandomOperation() {
    const uint32_t op = Pick(100);
    const bool any = !model_.order.empty();
    if (op < 30) return Add();
    if (op < 42 && any) return Remove();
    if (op < 54 && any) return Move();
    if (op < 64 && any) return SetInfo();
    if (op < 70) return SortByTitle();
    if (op < 74) return ReverseList();
    if (op < 77) return Randomize();
    if (op < 79) return Clear();
    if (op < 89) return HoldOrRelease();
    if (op < 92) {
      ASSERT_EQ(playlist_->Reshuffle(), 0);
      return;
    }
    return Add();
  }

  void Add() {
    const uint32_t count = Pick(5);
    std::vector<ItemInfo> records;
    std::set<uint32_t> given;
    int32_t expected = 0;
    for (uint32_t i = 0; i < count; ++i) {
      ItemInfo record = NumberedItem(++urlSerial_);
      if (Chance(20)) record.SetTitle(TString::Format(u"T%u", ++titleSerial_));
      const uint32_t kind = Pick(100);
      if (kind < 3) {
        record.ClearPresence();  // no URL
        record.SetTitle(u"x");
        if (expected == 0) expected = Code(PlaylistError::kUrlMissing);
      } else if (kind < 15) {
        // A caller-chosen id: new, live, held after removal, reserved, or twice in the call.
        uint32_t id = kFreshIdBase + ++freshSerial_;
        const uint32_t which = Pick(6);
        bool bad = true;
        if (which == 0 && !model_.order.empty()) {
          id = AnyLive();
        } else if (which == 1 && !model_.removedHeld.empty()) {
          id = *model_.removedHeld.begin();
        } else if (which == 2) {
          id = Chance(50) ? 0 : kPlaylistBottom;
        } else if (which == 3 && !given.empty()) {
          id = *given.begin();
        } else {
          bad = false;
        }
        record.id = id;
        record.Set(kIdPresent);
        given.insert(id);
        if (bad && expected == 0) expected = Code(PlaylistError::kIdTaken);
      }
      records.push_back(std::move(record));
    }
    uint32_t after = kPlaylistBottom;
    const uint32_t where = Pick(10);
    if (where < 3) {
      after = kPlaylistTop;
    } else if (where < 8 && !model_.order.empty()) {
      after = AnyLive();
    } else if (where == 8 && count > 0) {
      after = UnknownId();
      // The destination is looked at before the records.
      expected = Code(PlaylistError::kIdNotFound);
    }
    TArray<uint32_t> out;
    const int32_t r = playlist_->AddItems(records.data(), count, after, &out);
    if (count == 0) {
      ASSERT_EQ(r, 0);
      return;
    }
    ASSERT_EQ(r, expected) << "adding " << count << " after " << after;
    if (r != 0) return;
    ASSERT_EQ(out.Count(), count);
    size_t at = after == kPlaylistTop      ? 0
                : after == kPlaylistBottom ? model_.order.size()
                                           : model_.IndexOf(after) + 1;
    const uint32_t revision = model_.Bump(true);
    for (uint32_t i = 0; i < count; ++i) {
      const uint32_t id = out[i];
      ASSERT_NE(id, 0u);
      ASSERT_NE(id, kPlaylistBottom);
      ASSERT_EQ(model_.items.count(id), 0u) << "an id handed out twice: " << id;
      if (records[i].Has(kIdPresent)) {
        ASSERT_EQ(id, records[i].id);
      }
      model_.items[id] = {records[i].url, records[i].Has(kTitlePresent) ? records[i].title : u"",
                          revision, 0};
      model_.order.insert(model_.order.begin() + at + i, id);
    }
    changed_ = true;
  }

  void Remove() {
    std::vector<uint32_t> ids = SomeLive(4);
    int32_t expected = static_cast<int32_t>(ids.size());
    if (Chance(10)) {
      ids.push_back(UnknownId());
      expected = Code(PlaylistError::kIdNotFound);
    } else if (Chance(10)) {
      ids.push_back(ids.front());
      expected = Code(PlaylistError::kIdRepeated);
    }
    const int32_t r = playlist_->RemoveItems(ids.data(), static_cast<uint32_t>(ids.size()));
    ASSERT_EQ(r, expected);
    if (r < 0) return;
    for (uint32_t id : ids)
      model_.Leave(id);
    model_.Bump(true);
    changed_ = true;
  }

  void Move() {
    std::vector<uint32_t> ids = SomeLive(4);
    std::set<uint32_t> moving(ids.begin(), ids.end());
    uint32_t after = kPlaylistBottom;
    int32_t expected = static_cast<int32_t>(ids.size());
    const uint32_t where = Pick(10);
    if (where < 3) {
      after = kPlaylistTop;
    } else if (where < 8) {
      after = AnyLive();
      if (moving.count(after)) expected = Code(PlaylistError::kMoveAfterItself);
    } else if (where == 8) {
      after = UnknownId();
      expected = Code(PlaylistError::kDestinationNotFound);
    }
    if (expected > 0 && Chance(8)) {
      ids.push_back(ids.front());
      expected = Code(PlaylistError::kIdRepeated);
    }
    const int32_t r = playlist_->MoveItems(ids.data(), static_cast<uint32_t>(ids.size()), after);
    ASSERT_EQ(r, expected);
    if (r < 0) return;
    // The moved items, in list order, follow the destination.
    std::vector<uint32_t> block;
    for (uint32_t id : model_.order)
      if (moving.count(id)) block.push_back(id);
    std::erase_if(model_.order, [&](uint32_t id) { return moving.count(id) != 0; });
    const size_t at = after == kPlaylistTop      ? 0
                      : after == kPlaylistBottom ? model_.order.size()
                                                 : model_.IndexOf(after) + 1;
    model_.order.insert(model_.order.begin() + at, block.begin(), block.end());
    model_.Bump(true);
    changed_ = true;
  }

  void SetInfo() {
    const bool unknown = Chance(10);
    const uint32_t id = unknown ? UnknownId() : AnyLive();
    ItemInfo record;
    record.SetTitle(TString::Format(u"T%u", ++titleSerial_));
    if (Chance(20)) record.SetUrl(TString::Format(u"file:///music/u%u.ogg", ++urlSerial_));
    // A revision in the record is an old one and must not be taken.
    record.revision = 1;
    const int32_t r = playlist_->SetItemInfo(id, record);
    if (unknown) {
      ASSERT_EQ(r, Code(PlaylistError::kIdNotFound));
      return;
    }
    ASSERT_EQ(r, 0);
    ModelItem& item = model_.items[id];
    item.title = record.title;
    if (record.Has(kUrlPresent)) item.url = record.url;
    item.revision = model_.Bump(false);
    changed_ = true;
  }

  void SortByTitle() {
    const bool ascending = Chance(50);
    ASSERT_EQ(playlist_->Sort(PlaylistSortKey::kTitle, ascending ? 1 : 0, u""), 0);
    std::sort(model_.order.begin(), model_.order.end(), [&](uint32_t a, uint32_t b) {
      return ascending ? model_.SortKey(a) < model_.SortKey(b)
                       : model_.SortKey(b) < model_.SortKey(a);
    });
    model_.Bump(true);
    changed_ |= !model_.order.empty();
  }

  void ReverseList() {
    ASSERT_EQ(playlist_->Reverse(), 0);
    std::reverse(model_.order.begin(), model_.order.end());
    model_.Bump(true);
    changed_ |= !model_.order.empty();
  }

  void Randomize() {
    ASSERT_EQ(playlist_->RandomizeList(), 0);
    if (model_.order.empty()) return;
    // The new order cannot be foreseen: it must be a permutation, and becomes the model's.
    std::vector<uint32_t> now = ListOf(*playlist_);
    std::vector<uint32_t> a = now, b = model_.order;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    ASSERT_EQ(a, b);
    model_.order = now;
    model_.Bump(true);
    changed_ = true;
  }

  void Clear() {
    ASSERT_EQ(playlist_->RemoveAll(), 0);
    for (uint32_t id : std::vector<uint32_t>(model_.order))
      model_.Leave(id);
    model_.Bump(true);
    changed_ = true;
  }

  void HoldOrRelease() {
    if (Chance(50) && !model_.order.empty()) {
      const uint32_t id = AnyLive();
      ASSERT_EQ(playlist_->HoldItems(&id, 1), 0);
      ++model_.items[id].holds;
      return;
    }
    // Release one a caller holds, or one nobody holds (refused).
    std::vector<uint32_t> candidates;
    for (const auto& [id, item] : model_.items)
      candidates.push_back(id);
    if (candidates.empty()) return;
    const uint32_t id = candidates[Pick(static_cast<uint32_t>(candidates.size()))];
    ModelItem& item = model_.items[id];
    const int32_t r = playlist_->ReleaseItems(&id, 1);
    if (item.holds == 0) {
      ASSERT_EQ(r, Code(PlaylistError::kIdNotFound));
      return;
    }
    ASSERT_EQ(r, 0);
    if (--item.holds == 0 && model_.removedHeld.erase(id)) model_.items.erase(id);
  }

  void CheckState(uint32_t revisionBefore) {
    MPlaylist& pl = *playlist_;
    ASSERT_EQ(ListOf(pl), model_.order);
    const auto n = static_cast<int32_t>(model_.order.size());
    ASSERT_EQ(pl.GetCount(), n);
    ASSERT_EQ(pl.GetCurrentVersion(), model_.revision);
    for (int32_t i = 0; i < n; ++i) {
      const uint32_t id = model_.order[i];
      ASSERT_EQ(pl.GetUIDIndex(id), i);
      uint32_t at = 0;
      ASSERT_EQ(pl.GetUIDAtIndex(i - n, &at), 0);
      ASSERT_EQ(at, id);
      ItemInfo info;
      ASSERT_EQ(pl.GetUIDInfo(id, &info), 0);
      ASSERT_EQ(info.url, model_.items[id].url);
      ASSERT_EQ(info.revision, model_.items[id].revision) << "item " << id;
    }
    uint32_t none = 0;
    ASSERT_EQ(pl.GetUIDAtIndex(n, &none), kErrNotFound);
    for (uint32_t id : model_.removedHeld) {
      ItemInfo info;
      ASSERT_EQ(pl.GetUIDInfo(id, &info), 0) << "a held item must stay readable";
      ASSERT_TRUE(info.extra) << "a held item that left the list is marked removed";
      ASSERT_EQ(pl.GetUIDIndex(id), Code(PlaylistError::kIdNotFound));
    }
    // Changes since the step began, and since an older revision.
    for (uint32_t since : {revisionBefore, revisionBefore / 2}) {
      TArray<uint32_t> changed;
      uint8_t orderChanged = 9;
      uint32_t now = 0;
      ASSERT_EQ(pl.GetChangeList(&changed, &orderChanged, since, &now), 0);
      std::vector<uint32_t> expected;
      for (uint32_t id : model_.order)
        if (model_.items[id].revision > since) expected.push_back(id);
      ASSERT_EQ(Ids(changed), expected) << "since " << since;
      ASSERT_EQ(orderChanged, model_.orderRevision > since ? 1 : 0);
      ASSERT_EQ(now, model_.revision);
    }
    // The shuffle order covers every item once, both ways.
    std::vector<uint32_t> walk;
    uint32_t id = 0;
    ASSERT_EQ(pl.GetFirstUID(&id, 1), 0);
    while (id != 0 && walk.size() <= model_.order.size()) {
      walk.push_back(id);
      ASSERT_EQ(pl.GetNextUID(id, &id, 1), 0);
    }
    std::vector<uint32_t> sortedWalk = walk, sortedOrder = model_.order;
    std::sort(sortedWalk.begin(), sortedWalk.end());
    std::sort(sortedOrder.begin(), sortedOrder.end());
    ASSERT_EQ(sortedWalk, sortedOrder);
    if (!walk.empty()) {
      uint32_t prev = 1;
      ASSERT_EQ(pl.GetPrevUID(walk.front(), &prev, 1), 0);
      ASSERT_EQ(prev, 0u);
      ASSERT_EQ(pl.GetPrevUID(walk.back(), &prev, 1), 0);
      ASSERT_EQ(prev, walk.size() > 1 ? walk[walk.size() - 2] : 0u);
    }
  }

  void CheckDeliveries() {
    const std::vector<SeenList> lists = detailed_.WaitFor(expectedLists_);
    ASSERT_EQ(lists.size(), expectedLists_) << "change lists delivered";
    for (; replayed_ < lists.size(); ++replayed_) {
      ASSERT_FALSE(lists[replayed_].empty()) << "an empty change list was delivered";
      Replay(replica_, lists[replayed_]);
      if (testing::Test::HasFatalFailure()) return;
    }
    ASSERT_EQ(replica_, model_.order) << "the replayed copy differs";
    const std::vector<SeenList> bare = bare_.WaitFor(expectedLists_);
    ASSERT_EQ(bare.size(), expectedLists_);
    for (const SeenList& list : bare)
      ASSERT_TRUE(list.empty()) << "a listener without details gets no list";
  }

  std::mt19937 random_;
  FakeClock clock_;
  RefPtr<PlaylistControl> playlist_;
  RecordingListener detailed_;
  RecordingListener bare_;
  Model model_;
  std::vector<uint32_t> replica_;
  size_t expectedLists_ = 0;
  size_t replayed_ = 0;
  bool changed_ = false;
  uint32_t urlSerial_ = 0;
  uint32_t titleSerial_ = 0;
  uint32_t freshSerial_ = 0;
};

std::vector<uint32_t> Seeds() {
  // VK2_PLAYLIST_SEED reruns one reported seed.
  if (const char* seed = std::getenv("VK2_PLAYLIST_SEED"))
    return {static_cast<uint32_t>(std::strtoul(seed, nullptr, 10))};
  std::vector<uint32_t> seeds;
  for (uint32_t i = 1; i <= 12; ++i)
    seeds.push_back(i * 7919);
  return seeds;
}

TEST(PlaylistModelTest, RandomOperationsAgreeWithTheModelAndTheReplayedChangeLists) {
  for (uint32_t seed : Seeds()) {
    SCOPED_TRACE(testing::Message() << "seed " << seed << " (rerun with VK2_PLAYLIST_SEED)");
    PlaylistModel model(seed);
    for (uint32_t step = 0; step < kSteps; ++step) {
      SCOPED_TRACE(testing::Message() << "step " << step);
      model.Step();
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace vk2::test
