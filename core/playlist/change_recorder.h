// The change list a playlist collects while it is locked: one record per add, per removed or
// moved run, per run of information updates and per reorder, handed to the listeners when the
// last hold of the lock goes. Records are kept so that replaying them in order onto a copy of
// the list as it was gives the list as it is.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_set>

#include "interfaces/core/playlist.h"

namespace vk2 {

class ChangeRecorder {
 public:
  void Added(const uint32_t* ids, uint32_t count, uint32_t afterId);
  // A removed run; when the list is now empty, everything pending gives way to one
  // "all items removed" record.
  void Removed(const uint32_t* ids, uint32_t count, bool listEmpty);
  void AllRemoved();
  // Joins the last record when it is an update record (each id once), else opens one.
  void Updated(uint32_t id);
  void Moved(const uint32_t* ids, uint32_t count, uint32_t afterId);
  // The whole new order replaces any trailing move and reorder records.
  void Reordered(TArray<uint32_t> order);

  // What is pending (null when nothing), leaving nothing pending.
  std::unique_ptr<PlaylistChangeList> Take();

 private:
  PlaylistChange& Open(PlaylistChangeType type, uint32_t afterId);

  std::mutex mutex_;
  std::unique_ptr<PlaylistChangeList> pending_;
  // The ids of the last record while it is an update record.
  std::unordered_set<uint32_t> lastUpdated_;
};

// A list of one record without ids (the idle scan's reports).
std::unique_ptr<PlaylistChangeList> SingleChange(PlaylistChangeType type);

}  // namespace vk2
