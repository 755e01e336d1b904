// Helpers of the playlist-control tests: item records, a listener that keeps what it receives,
// and a playlist on a fake clock.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "core/playlist/playlist_control.h"
#include "foundation/util/result.h"
#include "platform/fake_clock.h"

namespace vk2::test {

inline ItemInfo Item(const char16_t* url, const char16_t* title = nullptr) {
  ItemInfo info;
  info.SetUrl(url);
  if (title) info.SetTitle(title);
  return info;
}

inline ItemInfo NumberedItem(uint32_t n) {
  ItemInfo info;
  info.SetUrl(TString::Format(u"file:///music/%u.ogg", n));
  return info;
}

inline std::vector<uint32_t> Ids(const TArray<uint32_t>& ids) {
  return std::vector<uint32_t>(ids.begin(), ids.end());
}

inline std::vector<uint32_t> ListOf(MPlaylist& playlist) {
  TArray<uint32_t> ids;
  EXPECT_EQ(playlist.GetCurrentList(&ids, nullptr), 0);
  return Ids(ids);
}

// A record as the listener saw it.
struct SeenChange {
  PlaylistChangeType type;
  uint32_t idAfter;
  std::vector<uint32_t> ids;
};
using SeenList = std::vector<SeenChange>;

// Keeps a copy of every list delivered to it; a null list is kept as an empty one.
class RecordingListener : public MPlaylistListener {
 public:
  int32_t OnChange(const PlaylistChangeList* changes) override {
    SeenList seen;
    if (changes) {
      for (const PlaylistChange& c : changes->records)
        seen.push_back({c.type, c.idAfter, std::vector<uint32_t>(c.ids.begin(), c.ids.end())});
    }
    std::lock_guard lock(mutex_);
    lists_.push_back(std::move(seen));
    arrived_.notify_all();
    return 0;
  }

  // Waits (real time, bounded) until `count` lists have arrived; the lists so far.
  std::vector<SeenList> WaitFor(size_t count, int timeoutMs = 10'000) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                      [&] { return lists_.size() >= count; });
    return lists_;
  }
  std::vector<SeenList> Lists() {
    std::lock_guard lock(mutex_);
    return lists_;
  }

 protected:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<SeenList> lists_;
};

// The change types of one list, in order.
inline std::vector<PlaylistChangeType> Types(const SeenList& list) {
  std::vector<PlaylistChangeType> types;
  for (const SeenChange& c : list)
    types.push_back(c.type);
  return types;
}

inline RefPtr<PlaylistControl> MakePlaylist(Clock& clock, PlaylistSettings settings = {}) {
  settings.clock = &clock;
  RefPtr<PlaylistControl> playlist = PlaylistControl::Create(std::move(settings));
  EXPECT_TRUE(playlist);
  return playlist;
}

}  // namespace vk2::test
