#include "audio/engine/audiosys/chain_worker.h"

#include <gtest/gtest.h>

#include "interfaces/audio/chain_types.h"
#include "platform/thread_id.h"
#include "tests/fixtures/audio/recording_callback.h"

namespace vk2 {
namespace {

using test::RecordingCallback;

struct Source final : MUnknown {
  int32_t QueryInterface(const Guid&, void**, uint32_t, uint32_t) override { return -15; }
  uint32_t AddRef() override { return 2; }
  uint32_t Release() override { return 1; }
};

TEST(ChainWorker, DeliversInPostingOrderWithRegistrationKeys) {
  Source source;
  RefPtr<ChainWorker> w = ChainWorker::Create(&source);
  RecordingCallback a;
  RecordingCallback b;
  ASSERT_EQ(w->AddCallback(&a, 10), 0);
  ASSERT_EQ(w->AddCallback(&b, 20), 0);
  EXPECT_EQ(w->AddCallback(&a, 10), -6);
  w->Post(kEventFormatChanged, 0, 0);
  w->Post(kEventUpstreamFailed, 0, -42);
  w->Post(kEventStreamEnded, 0, 0);
  ASSERT_TRUE(b.WaitFor(kEventStreamEnded));
  const auto events = a.Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].code, kEventFormatChanged);
  EXPECT_EQ(events[1].code, kEventUpstreamFailed);
  EXPECT_EQ(events[1].argument, -42);
  EXPECT_EQ(events[2].code, kEventStreamEnded);
  for (const auto& e : events) {
    EXPECT_EQ(e.key, 10u);  // the registration key, not the event's own
    EXPECT_EQ(e.source, &source);
    EXPECT_NE(e.thread, CurrentThreadId());  // delivered on the worker's thread
  }
  EXPECT_EQ(b.Events()[0].key, 20u);
  w->Stop();
}

TEST(ChainWorker, NotificationsFireOnceToTheirOwnCallback) {
  Source source;
  RefPtr<ChainWorker> w = ChainWorker::Create(&source);
  RecordingCallback general;
  RecordingCallback owner;
  w->AddCallback(&general, 1);
  w->AddNotification(7, &owner, 99, 12.5);
  w->AddNotification(8, &owner, 100, 13.5);
  uint32_t id = 0;
  EXPECT_TRUE(w->RemoveNotification(&owner, 100, 13.5, &id));
  EXPECT_EQ(id, 8u);
  EXPECT_FALSE(w->RemoveNotification(&owner, 100, 13.5, &id));
  w->Post(kEventTimeNotification, 7, 0);
  w->Post(kEventTimeNotification, 7, 0);  // fires once
  w->Post(kEventTimeNotification, 8, 0);  // removed: ignored
  w->Post(kEventFlushed, 0, 0);
  ASSERT_TRUE(general.WaitFor(kEventFlushed));
  const auto events = owner.Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].key, 99u);
  EXPECT_EQ(general.Count(kEventTimeNotification), 0);
  w->Stop();
}

TEST(ChainWorker, CallbackMayChangeRegistrationsOnTheSameWorker) {
  Source source;
  RefPtr<ChainWorker> w = ChainWorker::Create(&source);
  RecordingCallback a;
  RecordingCallback late;
  a.onEvent = [&](int32_t code, uint32_t) {
    if (code == kEventDraining) {
      w->RemoveCallback(&a, 0);
      w->AddCallback(&late, 0);
    }
  };
  w->AddCallback(&a, 0);
  w->Post(kEventDraining, 0, 0);
  // Later events of the same pass still go to the callbacks copied when it began.
  w->Post(kEventStreamEnded, 0, 0);
  ASSERT_TRUE(a.WaitFor(kEventStreamEnded));
  w->Post(kEventFlushed, 0, 0);
  ASSERT_TRUE(late.WaitFor(kEventFlushed));
  EXPECT_EQ(a.Count(kEventFlushed), 0);
  EXPECT_EQ(late.Count(kEventStreamEnded), 0);
  w->Stop();
}

TEST(ChainWorker, StopFromItsOwnCallbackDoesNotWaitForItself) {
  static Source source;
  RefPtr<ChainWorker> w = ChainWorker::Create(&source);
  // The detached pass lets go of its copy after this test has returned.
  static RecordingCallback a;
  std::atomic<bool> stopped{false};
  a.onEvent = [&](int32_t, uint32_t) {
    w->Stop();
    stopped = true;
  };
  w->AddCallback(&a, 0);
  w->Post(kEventStreamEnded, 0, 0);
  w->Post(kEventFlushed, 0, 0);  // the pass ends at the stop: never delivered
  ASSERT_TRUE(a.WaitFor(kEventStreamEnded));
  for (int i = 0; i < 2000 && !stopped; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(stopped);
  EXPECT_EQ(a.Count(kEventFlushed), 0);
  w->Post(kEventFlushed, 0, 0);  // after the stop: dropped
  w = nullptr;                   // the thread holds the worker until it has ended
}

}  // namespace
}  // namespace vk2
