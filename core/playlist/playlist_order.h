// The orders a playlist keeps over its stored items: the list order (what the user sees) lives
// in the storage; the shuffle order, a separate random permutation that shuffle play follows,
// lives here as links between item ids. Navigation works in either order and also from an item
// that was removed while held. The owner serialises every call (the playlist lock) and keeps
// the revisions and change records.
#pragma once

#include <cstdint>

#include "core/playlist/playlist_storage.h"
#include "interfaces/core/playlist.h"

namespace vk2 {

using SortKey = PlaylistSortKey;

class PlaylistOrder {
 public:
  explicit PlaylistOrder(PlaylistStorage& storage) : storage_(storage) {}

  uint32_t ShuffleHead() const { return head_; }
  uint32_t ShuffleTail() const { return tail_; }

  // Links a newly listed item into the shuffle order; `itemsBefore` counts the items that were
  // listed before it (earlier items of the same addition included).
  void AddToShuffle(PlaylistItem* item, uint32_t itemsBefore);
  // Unlinks a live item, joining its neighbours; the item keeps its own links so that
  // navigation from it, once removed, still finds its way.
  void RemoveFromShuffle(PlaylistItem* item);
  // After the list was emptied.
  void ClearShuffle() { head_ = tail_ = 0; }

  // A fresh random shuffle order over the listed items; 0 (a list of fewer than two items
  // keeps its links), or kErrOutOfMemory with nothing changed.
  int32_t Reshuffle();

  // 0 and the id (0: none), or the code of kIdNotFound for an unknown id. Nothing wraps.
  int32_t GetFirst(uint32_t* id, bool shuffle) const;
  int32_t GetNext(uint32_t id, uint32_t* next, bool shuffle) const;
  int32_t GetPrev(uint32_t id, uint32_t* prev, bool shuffle) const;

  // Reorder the list; the shuffle order stays. 1 when the list was reordered, 0 for an empty
  // list, kErrOutOfMemory with nothing changed.
  // Sort: key 0 compares each item's title, or the file name of its URL when it has no title;
  // key 1 the authors; key 2 the value of the first token named `token`; all without regard
  // to ASCII case. A missing text sorts after every present one. Not stable.
  int32_t Sort(SortKey key, bool ascending, const TString& token);
  // Each item in list order goes to a random place in the new order built so far.
  int32_t Randomize();
  int32_t Reverse();

  // True when following the shuffle links from the head visits every listed item once and
  // ends at the tail (for tests).
  bool CheckShuffle() const;

 private:
  int32_t Step(uint32_t id, uint32_t* out, bool shuffle, bool forward) const;

  PlaylistStorage& storage_;
  uint32_t head_ = 0;
  uint32_t tail_ = 0;
};

}  // namespace vk2
