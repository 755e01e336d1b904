// The player's event thread and listener list: order, removal during delivery, and a player
// whose last reference goes inside one of its own listeners.
#include <future>
#include <set>

#include "core/player/player_event_queue.h"
#include "core/player/player_listeners.h"
#include "tests/core/player/player_harness.h"

namespace vk2::test {
namespace {

using ::testing::ElementsAre;

TEST(PlayerEventQueue, DeliversInPostingOrderOnOneThread) {
  std::mutex mutex;
  std::condition_variable done;
  std::vector<int32_t> codes;
  std::set<std::thread::id> threads;
  PlayerEventQueue queue([&](const PlayerEvent& e) {
    std::lock_guard lock(mutex);
    codes.push_back(e.code);
    threads.insert(std::this_thread::get_id());
    done.notify_all();
  });
  ASSERT_TRUE(queue.Start());
  std::thread other([&] {
    for (int i = 0; i < 50; ++i)
      queue.Post(1000 + i, TString());
  });
  for (int i = 0; i < 50; ++i)
    queue.Post(i, TString());
  other.join();
  std::unique_lock lock(mutex);
  ASSERT_TRUE(done.wait_for(lock, std::chrono::seconds(10), [&] { return codes.size() == 100; }));
  EXPECT_EQ(threads.size(), 1u);
  EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u);
  // Each poster's events keep their order.
  std::vector<int32_t> mine, theirs;
  for (int32_t c : codes)
    (c < 1000 ? mine : theirs).push_back(c);
  EXPECT_TRUE(std::is_sorted(mine.begin(), mine.end()));
  EXPECT_TRUE(std::is_sorted(theirs.begin(), theirs.end()));
}

TEST(PlayerEventQueue, StopFromInsideTheHandlerEndsWithoutWaitingForItself) {
  std::atomic<int> handled{0};
  auto queue = std::make_unique<PlayerEventQueue>(nullptr);
  std::promise<void> stopped;
  queue = std::make_unique<PlayerEventQueue>([&](const PlayerEvent&) {
    ++handled;
    queue->Stop();
    stopped.set_value();
  });
  ASSERT_TRUE(queue->Start());
  queue->Post(1, TString());
  ASSERT_EQ(stopped.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  queue->Post(2, TString());  // dropped: the queue has stopped
  queue.reset();
  EXPECT_EQ(handled.load(), 1);
}

class Listener final : public ComObject<Listener, SilentFace<MPlayerListener>> {
 public:
  std::function<void(int32_t)> onEvent;
  std::vector<int32_t> heard;
  void OnEvent(MPlayer*, int32_t code, const char16_t*) override {
    heard.push_back(code);
    if (onEvent) onEvent(code);
  }
};

TEST(PlayerListeners, ARemovedListenerHearsTheEventInFlightAndNoneAfter) {
  PlayerListenerList list;
  RefPtr<Listener> first(new Listener);
  RefPtr<Listener> second(new Listener);
  RefPtr<Listener> added(new Listener);
  // The first listener removes the second and adds a third while an event is delivered.
  first->onEvent = [&](int32_t code) {
    if (code != 1) return;
    EXPECT_EQ(list.Remove(second.Get()), 0);
    EXPECT_EQ(list.Add(added.Get()), 0);
  };
  ASSERT_EQ(list.Add(first.Get()), 0);
  ASSERT_EQ(list.Add(second.Get()), 0);
  EXPECT_EQ(list.Add(second.Get()), kErrAlreadyPresent);
  list.Deliver(nullptr, 1, u"");
  list.Deliver(nullptr, 2, u"");
  EXPECT_THAT(first->heard, ElementsAre(1, 2));
  EXPECT_THAT(second->heard, ElementsAre(1));
  EXPECT_THAT(added->heard, ElementsAre(2));
  EXPECT_EQ(list.Remove(second.Get()), kErrNotFound);
}

TEST(PlayerListeners, RemovalOnAnotherThreadWaitsForTheDeliveryInFlight) {
  PlayerListenerList list;
  RefPtr<Listener> slow(new Listener);
  std::promise<void> entered;
  std::atomic<bool> finished{false};
  slow->onEvent = [&](int32_t) {
    entered.set_value();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    finished = true;
  };
  ASSERT_EQ(list.Add(slow.Get()), 0);
  std::thread deliverer([&] { list.Deliver(nullptr, 1, u""); });
  entered.get_future().wait();
  EXPECT_EQ(list.Remove(slow.Get()), 0);
  EXPECT_TRUE(finished.load());
  deliverer.join();
}

TEST(PlayerEvents, SongStartedComesBeforeCurrentIdChanged) {
  PlayerHarness h({-1, -1, -1, -1});
  h.UsePlaylist();
  ASSERT_EQ(h.player->Play(0), 0);
  for (int i = 0; i < 3; ++i)
    ASSERT_EQ(h.player->Next(0), 0);
  auto codes = h.SettledCodes();
  std::erase(codes, kPlayerPlaying);
  ASSERT_EQ(codes.size(), 8u);
  for (size_t i = 0; i < codes.size(); i += 2) {
    EXPECT_EQ(codes[i], kPlayerSongStarted);
    EXPECT_EQ(codes[i + 1], kPlayerCurrentIdChanged);
  }
}

TEST(PlayerEvents, TheLastReferenceMayGoInsideAListener) {
  PlayerHarness h;
  h.UsePlaylist();
  std::promise<void> released;
  RefPtr<Listener> dropper(new Listener);
  MPlayer* player = h.player.Detach();
  dropper->onEvent = [&](int32_t code) {
    if (code != kPlayerVolumeChanged) return;
    player->Release();  // the last one: the player shuts down on its own event thread
    released.set_value();
  };
  ASSERT_EQ(player->AddRemoveListener(dropper.Get(), 1), 0);
  player->SetVolume(0.5);
  ASSERT_EQ(released.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
  // The playlist no longer knows the player.
  for (int i = 0; i < 100 && h.playlist->ListenerCount() != 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(h.playlist->ListenerCount(), 0u);
}

}  // namespace
}  // namespace vk2::test
