// The ordered list of a playlist: a chain of segments of up to 256 item pointers. Inserting or
// removing moves at most a segment's worth of pointers, so long playlists stay cheap to edit;
// bulk inserts of 128 or more go into fresh segments, and thin neighbours merge back. A position
// index over the segments finds the segment of a position, and where a segment starts, in
// logarithmic time. Every item knows its slot, so its index is found from the item itself.
// An empty list keeps one empty segment.
#pragma once

#include <cstdint>

#include "core/playlist/playlist_item.h"
#include "core/playlist/segment_index.h"
#include "foundation/containers/tarray.h"

namespace vk2 {

// `count` (in the index node) is the number of slots in use; after changing it, the list
// refreshes the index.
struct ListSegment : SegmentNode {
  static constexpr uint32_t kSlots = 256;
  ListSegment* prev = nullptr;
  ListSegment* next = nullptr;
  ListSlot slots[kSlots];
};

class ItemList {
 public:
  ItemList();
  ~ItemList();
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;

  uint32_t Count() const { return count_; }
  // Null outside the list.
  PlaylistItem* At(uint32_t index) const;
  // The item's index, or -1 when it is not in this list.
  int64_t IndexOf(const PlaylistItem* item) const;

  // Inserts `n` items before `index` (index == Count() appends). False, with the list
  // unchanged, when the index is outside the list or memory runs out.
  bool Insert(uint32_t index, PlaylistItem* const* items, uint32_t n);
  // Removes `n` items from `index`; false (unchanged) when the range leaves the list. The items'
  // slots are cleared.
  bool Remove(uint32_t index, uint32_t n);
  // Moves the run [from, from + n) so that it stands before the item now at `before`
  // (before == Count(): to the end). `before` may not lie inside the run. False, unchanged, on
  // bad ranges or when memory runs out.
  bool Move(uint32_t from, uint32_t n, uint32_t before);
  // Replaces the whole order with `items` (a permutation or any other set). False, unchanged,
  // when memory runs out.
  bool Assign(PlaylistItem* const* items, uint32_t n);
  // Drops every item (their slots are cleared).
  void Clear();

  // Items in list order.
  template <class F>
  void ForEach(F&& f) const {
    for (const ListSegment* s = first_; s; s = s->next) {
      for (uint32_t i = 0; i < s->count; ++i)
        f(s->slots[i].item);
    }
  }
  bool Snapshot(TArray<PlaylistItem*>* out) const;
  // The item counts of the segments, first to last (for checks of the layout).
  TArray<uint32_t> SegmentCounts() const;
  // True when counts, owners and back-pointers agree (for tests).
  bool CheckConsistency() const;

 private:
  ListSegment* NewSegmentBefore(ListSegment* s);
  void Unlink(ListSegment* s);
  bool ReserveSegments(uint32_t n);
  // Frees the spare segments beyond the first `keep`.
  void FreeSpares(uint32_t keep = 0);
  // Places item at slot i of s, keeping the item's back-pointer right.
  static void Place(ListSegment* s, uint32_t i, PlaylistItem* item);
  // Shifts slots [from, count) of s by `delta` (positive: up), rewriting back-pointers.
  static void Shift(ListSegment* s, uint32_t from, int32_t delta);
  void InsertAt(ListSegment* s, uint32_t p, PlaylistItem* const* items, uint32_t n);
  ListSegment* Locate(uint32_t index, uint32_t* position) const;
  void MergeAround(ListSegment* s);
  // Rebuilds the position index from the chain.
  void IndexChain();

  ListSegment* first_;
  ListSegment* last_;
  uint32_t count_ = 0;
  SegmentIndex index_;
  // Segments allocated ahead of an insertion, so that it never fails halfway.
  ListSegment* spares_ = nullptr;
};

}  // namespace vk2
