// Playlist control: what additions refuse, the records of removals and reorders, item
// information updates, play time, copying between lists, listeners, parts and shutdown.
#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <map>
#include <thread>

#include "playlist_support.h"

namespace vk2::test {
namespace {

using namespace std::chrono_literals;

class PlaylistControlTest : public ::testing::Test {
 protected:
  void TearDown() override {
    if (listening_) playlist_->AddRemoveListener(&listener_, 0, 0);
    playlist_->Shutdown();
  }

  std::vector<uint32_t> AddNumbered(uint32_t n, MPlaylist* to = nullptr) {
    std::vector<ItemInfo> items;
    for (uint32_t i = 0; i < n; ++i)
      items.push_back(NumberedItem(++serial_));
    TArray<uint32_t> ids;
    EXPECT_EQ((to ? to : playlist_.Get())->AddItems(items.data(), n, kPlaylistBottom, &ids), 0);
    return Ids(ids);
  }
  void Listen() {
    ASSERT_EQ(playlist_->AddRemoveListener(&listener_, 1, 1), 0);
    listening_ = true;
  }
  int32_t Code(PlaylistError e) { return playlist_->Code(e); }

  // Another list of the same module, drawing ids from the same counter.
  RefPtr<PlaylistControl> Another() {
    PlaylistSettings settings;
    settings.ids = ids_;
    return MakePlaylist(clock_, std::move(settings));
  }

  FakeClock clock_;
  RefPtr<MSharedCounter> ids_{new SharedCounter};
  RefPtr<PlaylistControl> playlist_ = Another();
  RecordingListener listener_;
  bool listening_ = false;
  uint32_t serial_ = 0;
};

TEST_F(PlaylistControlTest, AdditionsThatWouldBreakTheIdsAddNothing) {
  const std::vector<uint32_t> ids = AddNumbered(3);
  // The third item is removed while held: its id stays taken.
  ASSERT_EQ(playlist_->HoldItems(&ids[2], 1), 0);
  ASSERT_EQ(playlist_->RemoveItems(&ids[2], 1), 1);
  auto withId = [](uint32_t id) {
    ItemInfo item = NumberedItem(100 + id % 7);
    item.id = id;
    item.Set(kIdPresent);
    return item;
  };
  ItemInfo noUrl;
  noUrl.SetTitle(u"a title alone");
  struct Case {
    const char* name;
    std::vector<ItemInfo> records;
    uint32_t after;
    PlaylistError expected;
  };
  const Case cases[] = {
      {"UnknownAfterId", {NumberedItem(9)}, 0x7777, PlaylistError::kIdNotFound},
      {"NoUrl", {NumberedItem(9), noUrl}, kPlaylistBottom, PlaylistError::kUrlMissing},
      {"IdZero", {withId(0)}, kPlaylistTop, PlaylistError::kIdTaken},
      {"IdMeaningBottom", {withId(kPlaylistBottom)}, kPlaylistTop, PlaylistError::kIdTaken},
      {"LiveId", {withId(ids[0])}, kPlaylistBottom, PlaylistError::kIdTaken},
      {"HeldRemovedId", {withId(ids[2])}, kPlaylistBottom, PlaylistError::kIdTaken},
      {"SameIdTwice", {withId(5000), withId(5000)}, kPlaylistBottom, PlaylistError::kIdTaken},
  };
  const uint32_t revision = playlist_->GetCurrentVersion();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TArray<uint32_t> out;
    EXPECT_EQ(playlist_->AddItems(c.records.data(), static_cast<uint32_t>(c.records.size()),
                                  c.after, &out),
              Code(c.expected));
    EXPECT_EQ(out.Count(), 0u);
    EXPECT_EQ(ListOf(*playlist_), (std::vector<uint32_t>{ids[0], ids[1]}));
    EXPECT_EQ(playlist_->GetCurrentVersion(), revision);
  }
  EXPECT_EQ(playlist_->AddItems(nullptr, 0, kPlaylistBottom, nullptr), 0);
  EXPECT_EQ(playlist_->GetCurrentVersion(), revision) << "an empty addition changes nothing";
  // A caller's own id that is free is kept.
  ItemInfo own = withId(5000);
  TArray<uint32_t> out;
  ASSERT_EQ(playlist_->AddItems(&own, 1, ids[0], &out), 0);
  EXPECT_EQ(ListOf(*playlist_), (std::vector<uint32_t>{ids[0], 5000, ids[1]}));
}

TEST_F(PlaylistControlTest, IndicesCountFromEitherEnd) {
  const std::vector<uint32_t> ids = AddNumbered(3);
  struct Case {
    int32_t index;
    int32_t result;
    uint32_t id;
  };
  for (const Case& c : {Case{0, 0, ids[0]}, Case{2, 0, ids[2]}, Case{-1, 0, ids[2]},
                        Case{-3, 0, ids[0]}, Case{3, kErrNotFound, 0}, Case{-4, kErrNotFound, 0}}) {
    uint32_t id = 0;
    EXPECT_EQ(playlist_->GetUIDAtIndex(c.index, &id), c.result) << c.index;
    EXPECT_EQ(id, c.id) << c.index;
  }
}

TEST_F(PlaylistControlTest, RemovalsRecordTheirRunsAndAnEmptiedListRecordsOnlyThat) {
  Listen();
  const std::vector<uint32_t> ids = AddNumbered(5);
  const uint32_t twoRuns[] = {ids[3], ids[0], ids[1]};
  ASSERT_EQ(playlist_->RemoveItems(twoRuns, 3), 3);
  uint32_t token = 0;
  ASSERT_EQ(playlist_->Lock(&token), 0);
  AddNumbered(1);
  const uint32_t rest[] = {ids[2], ids[4]};
  ASSERT_EQ(playlist_->RemoveItems(rest, 2), 2);
  ASSERT_EQ(playlist_->RemoveAll(), 0);
  ASSERT_EQ(playlist_->Unlock(token), 0);

  const auto lists = listener_.WaitFor(3);
  ASSERT_EQ(lists.size(), 3u);
  ASSERT_EQ(Types(lists[1]),
            (std::vector{PlaylistChangeType::kItemsRemoved, PlaylistChangeType::kItemsRemoved}));
  EXPECT_EQ(lists[1][0].ids, (std::vector<uint32_t>{ids[0], ids[1]}));
  EXPECT_EQ(lists[1][1].ids, (std::vector<uint32_t>{ids[3]}));
  // Whatever came before in the same list gives way to one record.
  EXPECT_EQ(Types(lists[2]), std::vector{PlaylistChangeType::kAllItemsRemoved});
}

TEST_F(PlaylistControlTest, ReordersRaiseTheRevisionAndRecordTheWholeOrder) {
  struct Case {
    const char* name;
    int32_t (*reorder)(MPlaylist&);
    bool emptyListRaisesRevision;
  };
  const Case cases[] = {
      {"Sort", [](MPlaylist& p) { return p.Sort(PlaylistSortKey::kTitle, 1, u""); }, true},
      {"Reverse", [](MPlaylist& p) { return p.Reverse(); }, true},
      {"Randomize", [](MPlaylist& p) { return p.RandomizeList(); }, false},
  };
  Listen();
  size_t lists = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(playlist_->RemoveAll(), 0);
    ++lists;
    uint32_t revision = playlist_->GetCurrentVersion();
    ASSERT_EQ(c.reorder(*playlist_), 0);
    EXPECT_EQ(playlist_->GetCurrentVersion(), revision + (c.emptyListRaisesRevision ? 1 : 0));

    // Moves made before a reorder in the same list are replaced by the whole new order.
    uint32_t token = 0;
    ASSERT_EQ(playlist_->Lock(&token), 0);
    const std::vector<uint32_t> ids = AddNumbered(4);
    ASSERT_EQ(playlist_->MoveItem(ids[0], kPlaylistBottom), 1);
    revision = playlist_->GetCurrentVersion();
    ASSERT_EQ(c.reorder(*playlist_), 0);
    EXPECT_EQ(playlist_->GetCurrentVersion(), revision + 1);
    ASSERT_EQ(playlist_->Unlock(token), 0);
    ++lists;

    const auto seen = listener_.WaitFor(lists);
    ASSERT_EQ(seen.size(), lists);
    ASSERT_EQ(Types(seen.back()),
              (std::vector{PlaylistChangeType::kItemsAdded, PlaylistChangeType::kAllItemsMoved}));
    EXPECT_EQ(seen.back()[1].ids, ListOf(*playlist_));
    uint8_t orderChanged = 0;
    TArray<uint32_t> changed;
    ASSERT_EQ(playlist_->GetChangeList(&changed, &orderChanged, revision, nullptr), 0);
    EXPECT_EQ(orderChanged, 1);
    EXPECT_EQ(changed.Count(), 0u) << "a reorder changes no item's information";
  }
}

TEST_F(PlaylistControlTest, SortByTitleFallsBackToTheFileName) {
  ItemInfo items[] = {Item(u"file:///music/Gamma.mp3"), Item(u"file:///music/x.mp3", u"beta")};
  TArray<uint32_t> ids;
  ASSERT_EQ(playlist_->AddItems(items, 2, kPlaylistBottom, &ids), 0);
  ASSERT_EQ(playlist_->Sort(PlaylistSortKey::kTitle, 1, u""), 0);
  EXPECT_EQ(ListOf(*playlist_), (std::vector<uint32_t>{ids[1], ids[0]}));
  ASSERT_EQ(playlist_->Sort(PlaylistSortKey::kTitle, 0, u""), 0);
  EXPECT_EQ(ListOf(*playlist_), (std::vector<uint32_t>{ids[0], ids[1]}));
}

TEST_F(PlaylistControlTest, InformationUpdatesTakeANewRevisionAndKeepTheMapsRight) {
  const std::vector<uint32_t> ids = AddNumbered(2);
  ItemInfo tagged = NumberedItem(1);
  tagged.tokens.Append({u"genre", u"jazz"});
  tagged.Set(kTokensPresent);
  ASSERT_EQ(playlist_->SetItemInfo(ids[1], tagged), 0);
  const uint32_t before = playlist_->GetCurrentVersion();

  ItemInfo update;
  update.SetUrl(u"file:///elsewhere/new.ogg");
  update.SetTitle(u"New");
  update.tokens.Append({u"genre", u"blues"});
  update.tokens.Append({u"year", u"1959"});
  update.Set(kTokensPresent);
  update.revision = 1;  // as read long ago: must not be taken
  ASSERT_EQ(playlist_->SetItemInfo(ids[0], update), 0);

  TArray<uint32_t> changed;
  uint8_t orderChanged = 1;
  ASSERT_EQ(playlist_->GetChangeList(&changed, &orderChanged, before, nullptr), 0);
  EXPECT_EQ(Ids(changed), std::vector<uint32_t>{ids[0]});
  EXPECT_EQ(orderChanged, 0);
  ItemInfo info;
  ASSERT_EQ(playlist_->GetUIDInfo(ids[0], &info), 0);
  EXPECT_EQ(info.revision, before + 1);
  EXPECT_EQ(info.title, TString(u"New"));
  ASSERT_EQ(info.tokens.Count(), 2u);

  uint32_t found = 0;
  EXPECT_EQ(playlist_->GetUIDForURL(u"file:///elsewhere/new.ogg", &found), 0);
  EXPECT_EQ(found, ids[0]);
  EXPECT_EQ(playlist_->GetUIDForURL(NumberedItem(1).url, &found), 0);
  EXPECT_EQ(found, ids[1]) << "the other item still has the old URL";

  // Tokens merge by name, whatever its case: the value changes, the name stays.
  ItemInfo regenre;
  regenre.tokens.Append({u"Genre", u"bebop"});
  regenre.Set(kTokensPresent);
  ASSERT_EQ(playlist_->SetItemInfo(ids[1], regenre), 0);
  ASSERT_EQ(playlist_->GetUIDInfo(ids[1], &info), 0);
  ASSERT_EQ(info.tokens.Count(), 1u);
  EXPECT_EQ(info.tokens[0].name, TString(u"genre"));
  EXPECT_EQ(info.tokens[0].value, TString(u"bebop"));
  TArray<PlaylistTokenCount> tokens;
  ASSERT_EQ(playlist_->GetTokenList(&tokens), 0);
  std::map<std::u16string, uint32_t> counts;
  for (const PlaylistTokenCount& t : tokens)
    counts[std::u16string(t.name.view())] = t.count;
  EXPECT_EQ(counts, (std::map<std::u16string, uint32_t>{{u"genre", 2}, {u"year", 1}}));

  const uint32_t unknown = 0x5555;
  EXPECT_EQ(playlist_->SetItemInfo(unknown, update), Code(PlaylistError::kIdNotFound));
  ItemInfo both[] = {update, update};
  both[0].id = ids[0];
  both[1].id = unknown;
  const uint32_t revision = playlist_->GetCurrentVersion();
  EXPECT_EQ(playlist_->SetItemsInfo(both, 2), Code(PlaylistError::kIdNotFound));
  EXPECT_EQ(playlist_->GetCurrentVersion(), revision) << "all or nothing";
}

ItemInfo Timed(uint32_t n, float seconds, uint32_t type) {
  ItemInfo item = NumberedItem(n);
  if (type != kDurationNone) item.SetDuration(seconds, type);
  return item;
}

TEST_F(PlaylistControlTest, PlayTimeEstimatesUnknownDurationsFromTheKnownOnes) {
  struct Case {
    const char* name;
    std::vector<ItemInfo> items;
    double seconds;
    uint32_t type;
  };
  const Case cases[] = {
      {"Empty", {}, 0.0, kDurationVerified},
      {"AllVerified", {Timed(1, 100, 2), Timed(2, 200.5f, 2)}, 300.5, kDurationVerified},
      {"HalfKnown",
       {Timed(1, 100, 2), Timed(2, 0, kDurationNone), Timed(3, 200, 2), Timed(4, 9, 3)},
       600.0,
       kDurationEstimate},
      {"AnEstimate", {Timed(1, 100, 2), Timed(2, 50, 1)}, 150.0, kDurationEstimate},
      {"NothingKnown", {Timed(1, 0, kDurationNone)}, 0.0, kDurationUnknown},
      {"PlaysForEver", {Timed(1, 100, 2), Timed(2, 0, 4)}, INFINITY, kDurationInfinite},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(playlist_->RemoveAll(), 0);
    const auto n = static_cast<uint32_t>(c.items.size());
    ASSERT_EQ(playlist_->AddItems(c.items.data(), n, kPlaylistBottom, nullptr), 0);
    double seconds = -1;
    uint32_t type = 0;
    ASSERT_EQ(playlist_->GetTotalPlayTime(&seconds, &type), 0);
    EXPECT_EQ(seconds, c.seconds);
    EXPECT_EQ(type, c.type);
  }
}

TEST_F(PlaylistControlTest, SongAtTimeAndThePlayTimeBeforeAnItem) {
  ItemInfo items[] = {Timed(1, 100, 2), Timed(2, 100, 2), Timed(3, 0, 3)};
  TArray<uint32_t> ids;
  ASSERT_EQ(playlist_->AddItems(items, 3, kPlaylistBottom, &ids), 0);
  // Total 300 s (the third is estimated at the average), so each item covers 100 s.
  struct Case {
    double time;
    uint8_t fraction;
    uint32_t id;
  };
  for (const Case& c :
       {Case{0, 0, ids[0]}, Case{99.9, 0, ids[0]}, Case{100, 0, ids[1]}, Case{150, 0, ids[1]},
        Case{250, 0, ids[2]}, Case{300, 0, 0}, Case{0.5, 1, ids[1]}}) {
    uint32_t id = 1;
    ASSERT_EQ(playlist_->GetSongAtTime(c.time, c.fraction, &id), 0);
    EXPECT_EQ(id, c.id) << c.time << (c.fraction ? " of the total" : " s");
  }
  RefPtr<MPlaylistControl> control;
  ASSERT_EQ(playlist_->QueryInterface(kIID_PlaylistControl, control.PutVoid()), 0);
  double before = 0;
  uint32_t type = 0;
  ASSERT_EQ(control->TotalPlayTimeUntil(&before, &type, ids[1]), 0);
  EXPECT_EQ(before, 100.0);
  EXPECT_EQ(type, kDurationVerified);
  ASSERT_EQ(control->TotalPlayTimeUntil(nullptr, &type, ids[2]), 0);

  ItemInfo unknown = Timed(4, 0, kDurationNone);
  ASSERT_EQ(playlist_->RemoveAll(), 0);
  ASSERT_EQ(playlist_->AddItems(&unknown, 1, kPlaylistBottom, nullptr), 0);
  uint32_t id = 0;
  EXPECT_EQ(playlist_->GetSongAtTime(1, 0, &id), Code(PlaylistError::kPlayTimeUndefined));
}

// The URLs of a list, in order.
std::vector<std::u16string> Urls(MPlaylist& playlist) {
  std::vector<std::u16string> urls;
  for (uint32_t id : ListOf(playlist)) {
    ItemInfo info;
    EXPECT_EQ(playlist.GetUIDInfo(id, &info), 0);
    urls.emplace_back(info.url.view());
  }
  return urls;
}

TEST_F(PlaylistControlTest, CopyingTakesNewIdsAndNeverLosesTheSource) {
  Listen();
  AddNumbered(2);
  const std::vector<std::u16string> two = Urls(*playlist_);
  // Onto itself without appending: nothing to do, nothing lost, nothing reported.
  ASSERT_EQ(playlist_->CopyFrom(playlist_.Get(), 0), 0);
  EXPECT_EQ(Urls(*playlist_), two);
  // Onto itself appending, then the same source twice into another list.
  ASSERT_EQ(playlist_->CopyFrom(playlist_.Get(), 1), 0);
  std::vector<std::u16string> four = two;
  four.insert(four.end(), two.begin(), two.end());
  EXPECT_EQ(Urls(*playlist_), four);

  RefPtr<PlaylistControl> other = Another();
  AddNumbered(1, other.Get());
  ASSERT_EQ(other->CopyFrom(playlist_.Get(), 1), 0);
  ASSERT_EQ(other->CopyFrom(playlist_.Get(), 1), 0);
  EXPECT_EQ(other->GetCount(), 1 + 4 + 4);
  std::vector<uint32_t> all = ListOf(*other);
  for (uint32_t id : ListOf(*playlist_))
    all.push_back(id);
  std::sort(all.begin(), all.end());
  EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "an id used twice";
  // Without appending the copy replaces the list.
  ASSERT_EQ(other->CopyFrom(playlist_.Get(), 0), 0);
  EXPECT_EQ(Urls(*other), four);

  const auto lists = listener_.WaitFor(2);
  ASSERT_EQ(lists.size(), 2u) << "only the append onto itself changed this list";
  EXPECT_EQ(Types(lists[1]), std::vector{PlaylistChangeType::kItemsAdded});
  other->Shutdown();
}

TEST_F(PlaylistControlTest, TwoListsCopyingFromEachOtherAtOnceBothFinish) {
  RefPtr<PlaylistControl> other = Another();
  AddNumbered(3);
  AddNumbered(3, other.Get());
  auto copy = [](MPlaylist* to, MPlaylist* from) {
    for (int i = 0; i < 40; ++i) {
      if (to->CopyFrom(from, 0) != 0) return false;
    }
    return true;
  };
  auto ab = std::async(std::launch::async, copy, playlist_.Get(), other.Get());
  auto ba = std::async(std::launch::async, copy, other.Get(), playlist_.Get());
  ASSERT_EQ(ab.wait_for(20s), std::future_status::ready) << "deadlock";
  ASSERT_EQ(ba.wait_for(20s), std::future_status::ready) << "deadlock";
  EXPECT_TRUE(ab.get());
  EXPECT_TRUE(ba.get());
  EXPECT_EQ(playlist_->GetCount(), 3);
  EXPECT_EQ(other->GetCount(), 3);
  other->Shutdown();
}

// Blocks inside its first delivery until told to go on.
class BlockingListener : public RecordingListener {
 public:
  int32_t OnChange(const PlaylistChangeList* changes) override {
    entered.set_value();
    proceed.get_future().wait();
    return RecordingListener::OnChange(changes);
  }
  std::promise<void> entered;
  std::promise<void> proceed;
};

TEST_F(PlaylistControlTest, RemovingAListenerWaitsForItsDeliveryAndEndsItsCalls) {
  BlockingListener blocking;
  ASSERT_EQ(playlist_->AddRemoveListener(&blocking, 1, 1), 0);
  EXPECT_EQ(playlist_->AddRemoveListener(&blocking, 1, 1), kErrAlreadyPresent);
  AddNumbered(1);
  blocking.entered.get_future().wait();
  AddNumbered(1);  // queued behind the delivery in progress

  auto removal =
      std::async(std::launch::async, [&] { return playlist_->AddRemoveListener(&blocking, 0, 0); });
  EXPECT_EQ(removal.wait_for(50ms), std::future_status::timeout) << "returned mid-delivery";
  blocking.proceed.set_value();
  EXPECT_EQ(removal.get(), 0);
  const size_t seen = blocking.Lists().size();
  EXPECT_EQ(seen, 1u);
  // The queued list goes to the others only.
  Listen();
  AddNumbered(1);
  listener_.WaitFor(1);
  EXPECT_EQ(blocking.Lists().size(), seen);
  EXPECT_EQ(playlist_->AddRemoveListener(&blocking, 0, 0), kErrNotFound);
}

// Holds the only reference to its playlist and lets go of it inside a delivery, which also
// removes itself: the playlist ends on its own worker thread.
class LastHolderListener : public MPlaylistListener {
 public:
  int32_t OnChange(const PlaylistChangeList*) override {
    if (!playlist) return 0;
    playlist->AddRemoveListener(this, 0, 0);
    playlist = nullptr;
    done.set_value();
    return 0;
  }
  RefPtr<PlaylistControl> playlist;
  std::promise<void> done;
};

TEST_F(PlaylistControlTest, TheLastReleaseMayHappenInsideADelivery) {
  LastHolderListener holder;
  holder.playlist = MakePlaylist(clock_);
  ASSERT_EQ(holder.playlist->AddRemoveListener(&holder, 1, 0), 0);
  ItemInfo item = NumberedItem(1);
  ASSERT_EQ(holder.playlist->AddItems(&item, 1, kPlaylistBottom, nullptr), 0);
  ASSERT_EQ(holder.done.get_future().wait_for(10s), std::future_status::ready);
}

TEST_F(PlaylistControlTest, ShutdownEmptiesTheListAndEndsDeliveries) {
  Listen();
  AddNumbered(3);
  listener_.WaitFor(1);
  ASSERT_EQ(playlist_->Shutdown(), 0);
  EXPECT_EQ(playlist_->GetCount(), 0);
  // The emptying may still reach the listener if its delivery had begun; nothing comes later.
  const auto lists = listener_.Lists();
  ASSERT_LE(lists.size(), 2u);
  if (lists.size() == 2) {
    EXPECT_EQ(Types(lists[1]), std::vector{PlaylistChangeType::kAllItemsRemoved});
  }
  AddNumbered(1);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(listener_.Lists().size(), lists.size()) << "delivered after shutdown";
  EXPECT_EQ(playlist_->Shutdown(), 0);
  EXPECT_EQ(playlist_->StartIdleScan(), kErrWrongState);
}

// A part answering one interface id with itself.
inline constexpr Guid kIID_TestFace = MakeGuid("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0");
class TestPart final : public ComObject<TestPart, Face<MUnknown, kIID_TestFace>> {
 public:
  TestPart() = default;
};

TEST_F(PlaylistControlTest, UnknownRequestsFallThroughToThePartsNewestFirst) {
  RefPtr<MBaseObject> base;
  ASSERT_EQ(playlist_->QueryInterface(kIID_MBaseObject, base.PutVoid()), 0);
  void* none = nullptr;
  EXPECT_EQ(playlist_->QueryInterface(kIID_TestFace, &none), kErrNoInterface);
  RefPtr<TestPart> older(new TestPart), newer(new TestPart);
  ASSERT_EQ(base->AddPart(older->Identity()), 0);
  ASSERT_EQ(base->AddPart(newer->Identity()), 0);

  RefPtr<MUnknown> found;
  ASSERT_EQ(playlist_->QueryInterface(kIID_TestFace, found.PutVoid()), 0);
  EXPECT_EQ(found.Get(), newer->Identity());
  RefPtr<MUnknown> next;
  ASSERT_EQ(base->QueryInterfaceAfter(kIID_TestFace, next.PutVoid(), 1, found.Get()), 0);
  EXPECT_EQ(next.Get(), older->Identity());
  void* last = nullptr;
  EXPECT_EQ(base->QueryInterfaceAfter(kIID_TestFace, &last, 1, next.Get()), kErrNoInterface);
  // The playlist's own interfaces come first.
  RefPtr<MPlaylist> self;
  EXPECT_EQ(base->QueryInterfaceAfter(kIID_MPlaylist, self.PutVoid(), 1, nullptr), 0);
  EXPECT_EQ(self.Get(), static_cast<MPlaylist*>(playlist_.Get()));
}

}  // namespace
}  // namespace vk2::test
